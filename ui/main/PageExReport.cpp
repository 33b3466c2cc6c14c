#include "ui/main/PageExReport.h"

#include <QLabel>
#include <QVBoxLayout>

PageExReport::PageExReport(QuorvelRunner& project, QWidget* parent) : CSmPage(parent), project_(project)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("This page comes with the next version."), this));
    layout->addStretch();
}
