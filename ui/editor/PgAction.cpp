#include "ui/editor/PgAction.h"

#include "model/Quorvel.h"
#include "ui/editor/StatementTest.h"
#include "ui/gui/CAdvConnect.h"
#include "ui/gui/SqlEditor.h"
#include "ui/gui/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

PgAction::PgAction(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , setup_(new CAdvConnect(this))
    , choice_(new QButtonGroup(this))
    , connection_(new QLabel(this))
    , setupButton_(new QPushButton(tr("..."), this))
    , load_(new QPushButton(tr("&Load..."), this))
    , test_(new QPushButton(tr("&Test"), this))
    , cancel_(new QPushButton(tr("Cancel"), this))
    , editor_(new SqlEditor(this))
    , program_(new QLineEdit(this))
    , browse_(new QPushButton(tr("..."), this))
    , log_(new QLineEdit(this))
    , termEvent_(new QCheckBox(tr("Ter&minate event after this action be executed"), this))
    , termProject_(new QCheckBox(tr("Sto&p the project after this action be executed"), this))
    , tester_(new StatementTest(this, StatementTest::kAction))
{
    setupButton_->setToolTip(tr("Setup connection"));
    setupButton_->setAccessibleName(setupButton_->toolTip());
    load_->setToolTip(tr("Load statement or script from the dist file"));
    test_->setToolTip(tr("Test statement"));
    cancel_->setToolTip(tr("Stop the test"));
    cancel_->setAccessibleName(tr("Cancel the test"));
    browse_->setToolTip(tr("Choose the program"));
    browse_->setAccessibleName(browse_->toolTip());
    connection_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A long description must not widen the page; the tooltip shows it whole.
    connection_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (QPushButton* narrow : { setupButton_, browse_ })
        narrow->setMaximumWidth(narrow->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    connection_->setAccessibleName(tr("Action connection"));
    program_->setAccessibleName(tr("Program"));
    log_->setAccessibleName(tr("Log text"));
    editor_->setAccessibleName(tr("Action statement"));

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QRadioButton(tr("&Do nothing (no action)"), this), 0, 0, 1, 3);
    grid->addLayout(MakeSqlRow(), 1, 0, 1, 3);
    grid->addWidget(editor_, 2, 0, 1, 3);
    grid->addWidget(new QRadioButton(tr("&Execute the program :"), this), 3, 0);
    grid->addWidget(program_, 3, 1);
    grid->addWidget(browse_, 3, 2);
    grid->addWidget(new QRadioButton(tr("&Write to log :"), this), 4, 0);
    grid->addWidget(log_, 4, 1, 1, 2);
    grid->addWidget(separator, 5, 0, 1, 3);
    auto* terminate = new QHBoxLayout;
    terminate->addWidget(termEvent_);
    terminate->addWidget(termProject_);
    terminate->addStretch(1);
    grid->addLayout(terminate, 6, 0, 1, 3);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    // Radio buttons in the order of ActionType.
    int id = ACTION_NONE;
    for (QRadioButton* button : findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        choice_->addButton(button, id++);

    ShowConnection();
    editor_->SetText(event_.ActionSQL);
    if (QAbstractButton* button = choice_->button(event_.action))
        button->setChecked(true);
    program_->setText(QString::fromStdString(event_.sProgram));
    log_->setText(QString::fromStdString(event_.sLogItem));
    termEvent_->setChecked(event_.bTermEvent != 0);
    termProject_->setChecked(event_.bTermProject != 0);

    connect(choice_, &QButtonGroup::idToggled, this, &PgAction::ApplyEnableRule);
    connect(tester_, &StatementTest::RunningChanged, this, &PgAction::ApplyEnableRule);
    connect(setupButton_, &QPushButton::clicked, this, &PgAction::SetupConnection);
    connect(load_, &QPushButton::clicked, this, &PgAction::Load);
    connect(test_, &QPushButton::clicked, this, &PgAction::Test);
    connect(cancel_, &QPushButton::clicked, tester_, &StatementTest::Cancel);
    connect(browse_, &QPushButton::clicked, this, &PgAction::BrowseProgram);
    ApplyEnableRule();
}

QLayout* PgAction::MakeSqlRow()
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QRadioButton(tr("Execute &SQL at :"), this));
    row->addWidget(connection_, 1);
    row->addWidget(setupButton_);
    row->addWidget(load_);
    row->addWidget(test_);
    row->addWidget(cancel_);
    return row;
}

void PgAction::Store()
{
    if (choice_->checkedId() >= 0)
        event_.action = choice_->checkedId();
    event_.sProgram = program_->text().toStdString();
    event_.sLogItem = log_->text().toStdString();
    event_.ActionSQL = editor_->Text();
    event_.bTermEvent = termEvent_->isChecked() ? 1 : 0;
    event_.bTermProject = termProject_->isChecked() ? 1 : 0;
}

void PgAction::SetupConnection()
{
    if (setup_->Edit(&event_.actionConn) == 1)
        ShowConnection();
}

void PgAction::Load()
{
    editor_->ChooseAndLoad();
}

// The statement runs as it is, without its macros replaced, and really changes the database.
void PgAction::Test()
{
    event_.ActionSQL = editor_->Text();
    tester_->Start(event_.actionConn, event_.ActionSQL);
}

void PgAction::BrowseProgram()
{
    const QString path = Dialogs().OpenFile(this, QString(), tr("Programs (*);;Scripts (*.sh)"), QString());
    if (!path.isEmpty())
        program_->setText(path);
}

void PgAction::ApplyEnableRule()
{
    const int action = choice_->checkedId();
    const bool sql = action == ACTION_SQL;
    setupButton_->setEnabled(sql);
    load_->setEnabled(sql);
    editor_->setEnabled(sql);
    test_->setEnabled(sql && !tester_->Running());
    cancel_->setEnabled(tester_->Running());
    program_->setEnabled(action == ACTION_PROGRAM);
    browse_->setEnabled(action == ACTION_PROGRAM);
    log_->setEnabled(action == ACTION_LOG);
}

void PgAction::ShowConnection()
{
    connection_->setText(QString::fromStdString(event_.actionConn.ConInfo()));
    connection_->setToolTip(connection_->text());
}
