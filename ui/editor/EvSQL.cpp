#include "ui/editor/EvSQL.h"

#include "model/Quorvel.h"
#include "ui/editor/StatementTest.h"
#include "ui/gui/SqlEditor.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

EvSQL::EvSQL(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , editor_(new SqlEditor(this))
    , testButton_(new QPushButton(tr("Test"), this))
    , cancel_(new QPushButton(tr("Cancel"), this))
    , test_(new StatementTest(this, StatementTest::kCheck))
{
    auto* load = new QPushButton(tr("Load..."), this);
    load->setToolTip(tr("Load statement or script from the dist file"));
    testButton_->setToolTip(tr("Test statement"));
    cancel_->setToolTip(tr("Stop the test"));
    cancel_->setAccessibleName(tr("Cancel the test"));
    auto* label = new QLabel(tr("SQL statement"), this);
    label->setBuddy(editor_);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, 0);
    layout->setColumnStretch(1, 1);
    layout->addWidget(load, 0, 2);
    layout->addWidget(testButton_, 0, 3);
    layout->addWidget(cancel_, 0, 4);
    layout->addWidget(editor_, 1, 0, 1, 5);

    editor_->SetText(event_.SQL);
    connect(load, &QPushButton::clicked, this, &EvSQL::Load);
    connect(testButton_, &QPushButton::clicked, this, &EvSQL::Test);
    connect(cancel_, &QPushButton::clicked, test_, &StatementTest::Cancel);
    connect(test_, &StatementTest::RunningChanged, this, &EvSQL::ApplyEnableRule);
    ApplyEnableRule();
}

void EvSQL::Store()
{
    event_.SQL = editor_->Text();
}

void EvSQL::Load()
{
    editor_->ChooseAndLoad();
}

// The statement goes into the working copy first, as a test of it is meant to keep it.
void EvSQL::Test()
{
    event_.SQL = editor_->Text();
    test_->Start(event_.checkConn, event_.SQL);
}

void EvSQL::ApplyEnableRule()
{
    testButton_->setEnabled(!test_->Running());
    cancel_->setEnabled(test_->Running());
}
