#include "ui/main/PgLogView.h"

#include <QLabel>
#include <QVBoxLayout>

PgLogView::PgLogView(QuorvelRunner& project, int mode, QWidget* parent) : CSmPage(parent), project_(project), mode_(mode)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("This page comes with the next version."), this));
    layout->addStretch();
}
