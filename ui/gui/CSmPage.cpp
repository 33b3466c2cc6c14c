#include "ui/gui/CSmPage.h"

CSmPage::CSmPage(QWidget* parent)
    : QWidget(parent)
{
    hide();
}

void CSmPage::Activate()
{
    show();
}

void CSmPage::Deactivate()
{
    hide();
}
