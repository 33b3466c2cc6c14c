#include "ui/editor/PgConnect.h"

#include "external/support/CSettings.h"
#include "model/Quorvel.h"
#include "ui/gui/CAdvConnect.h"
#include "ui/gui/CRunSQL.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

PgConnect::PgConnect(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , setup_(new CAdvConnect(this))
    , uses_(new QRadioButton(tr("Event uses database &Connection"), this))
    , notRequired_(new QRadioButton(tr("Connection is &not required for this event"), this))
    , setupButton_(new QPushButton(tr("&Setup Connection"), this))
    , console_(new QPushButton(tr("SQL Console"), this))
    , description_(new QLineEdit(this))
{
    console_->setToolTip(tr("Open SQL console window"));
    description_->setReadOnly(true);
    description_->setAccessibleName(tr("Connection Description"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(uses_, 0, 0);
    layout->addWidget(setupButton_, 0, 1);
    layout->addWidget(console_, 0, 2);
    layout->addWidget(new QLabel(tr("Connection Description"), this), 1, 0, 1, 4);
    layout->addWidget(description_, 2, 0, 1, 4);
    layout->addWidget(notRequired_, 3, 0, 1, 4);
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(4, 1);

    (event_.bNeedConnect > 0 ? uses_ : notRequired_)->setChecked(true);
    connect(uses_, &QRadioButton::toggled, this, &PgConnect::ApplyEnableRule);
    connect(setupButton_, &QPushButton::clicked, this, &PgConnect::SetupConnection);
    connect(console_, &QPushButton::clicked, this, &PgConnect::OpenConsole);
    ApplyEnableRule();
    ShowDescription();
}

void PgConnect::Store()
{
    event_.bNeedConnect = uses_->isChecked() ? 1 : 0;
}

// The dialog opens on the event's connection, so that a change starts from what is there.
void PgConnect::SetupConnection()
{
    if (setup_->Edit(&event_.checkConn) == 1)
        ShowDescription();
}

void PgConnect::OpenConsole()
{
    CRunSQL& console = CRunSQL::Instance();
    console.SetSmartInput(SettingInt("SmartInput") != 0);
    console.RunOn(event_.checkConn);
}

void PgConnect::ApplyEnableRule()
{
    const bool on = uses_->isChecked();
    setupButton_->setEnabled(on);
    console_->setEnabled(on);
    description_->setEnabled(on);
}

void PgConnect::ShowDescription()
{
    description_->setText(QString::fromStdString(event_.checkConn.ConInfo()));
    description_->setCursorPosition(0);
}
