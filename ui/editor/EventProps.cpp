#include "ui/editor/EventProps.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

// Placeholder until the editor is built.
EventProps::EventProps(QWidget* parent, Quorvel& event) : QDialog(parent), event_(event)
{
    setWindowTitle(tr("Event Properties"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("The event editor comes with the next version."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
