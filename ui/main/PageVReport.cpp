#include "ui/main/PageVReport.h"

#include <QLabel>
#include <QVBoxLayout>

PageVReport::PageVReport(QuorvelRunner& project, int mode, QWidget* parent) : CSmPage(parent), project_(project), mode_(mode)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("This page comes with the next version."), this));
    layout->addStretch();
}
