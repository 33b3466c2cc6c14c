#include "ui/gui/CAdvConnect.h"

#include "external/db/OdbcDataSources.h"
#include "external/support/MessageBox.h"
#include "ui/gui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAdvConnect::CAdvConnect(QWidget* parent)
    : QDialog(parent)
    , kind_(new QComboBox(this))
    , target_(new QComboBox(this))
    , browse_(new QPushButton(tr("..."), this))
    , user_(new QLineEdit(this))
    , password_(new QLineEdit(this))
    , savePassword_(new QCheckBox(tr("S&ave password in the project file"), this))
    , test_(new QPushButton(tr("&Test connection"), this))
    , cancelTest_(new QPushButton(tr("Cancel &test"), this))
    , hint_(new QLabel(this))
    , status_(new QLabel(this))
{
    setWindowTitle(tr("Setup Connection"));
    // Item index = DS_TYPE.
    kind_->addItems({ tr("SQLite"), tr("PostgreSQL"), tr("ODBC") });
    target_->setEditable(true);
    target_->setInsertPolicy(QComboBox::NoInsert);
    target_->setMinimumContentsLength(40);
    browse_->setToolTip(tr("Choose the database file"));
    browse_->setMaximumWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    browse_->setAccessibleName(browse_->toolTip());
    password_->setEchoMode(QLineEdit::Password);
    hint_->setWordWrap(true);
    status_->setAccessibleName(tr("Test result"));

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(target_, 1);
    targetRow->addWidget(browse_);
    auto* form = new QFormLayout;
    auto row = [&](const QString& text, QWidget* buddy, QLayout* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        if (field != nullptr)
            form->addRow(label, field);
        else
            form->addRow(label, buddy);
    };
    row(tr("&Kind"), kind_, nullptr);
    row(tr("Tar&get"), target_, targetRow);
    form->addRow(QString(), hint_);
    row(tr("&User"), user_, nullptr);
    row(tr("&Password"), password_, nullptr);
    form->addRow(QString(), savePassword_);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(test_);
    testRow->addWidget(cancelTest_);
    testRow->addWidget(status_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(testRow);
    layout->addStretch(1);
    layout->addWidget(buttons);
    target_->setAccessibleName(tr("Target"));
    user_->setAccessibleName(tr("User"));
    password_->setAccessibleName(tr("Password"));
    kind_->setAccessibleName(tr("Kind"));

    connect(kind_, &QComboBox::currentIndexChanged, this, &CAdvConnect::KindChanged);
    connect(browse_, &QPushButton::clicked, this, &CAdvConnect::Browse);
    connect(test_, &QPushButton::clicked, this, &CAdvConnect::TestConnection);
    connect(cancelTest_, &QPushButton::clicked, this, &CAdvConnect::CancelTest);
    connect(&task_, &DbTask::Finished, this, &CAdvConnect::TestFinished);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    KindChanged();
    SetTesting(false);
}

int CAdvConnect::Edit(CONN_INFO* info)
{
    SetConnection(*info);
    if (exec() != QDialog::Accepted)
        return 0;
    *info = Connection();
    return 1;
}

void CAdvConnect::SetConnection(const CONN_INFO& info)
{
    kind_->setCurrentIndex(info.type >= DS_SQLITE && info.type <= DS_ODBC ? info.type : -1);
    target_->setEditText(QString::fromStdString(info.target));
    user_->setText(QString::fromStdString(info.user));
    password_->setText(QString::fromStdString(info.password));
    savePassword_->setChecked(info.savePassword != 0);
}

CONN_INFO CAdvConnect::Connection() const
{
    CONN_INFO info;
    info.type = static_cast<DS_TYPE>(kind_->currentIndex() < 0 ? DS_SQLITE : kind_->currentIndex());
    info.target = target_->currentText().toStdString();
    info.user = user_->text().toStdString();
    info.password = password_->text().toStdString();
    info.savePassword = savePassword_->isChecked() ? 1 : 0;
    return info;
}

void CAdvConnect::KindChanged()
{
    const QString target = target_->currentText();
    target_->clear();
    const int kind = kind_->currentIndex();
    if (kind == DS_ODBC) {
        for (const std::string& name : ListOdbcDataSources())
            target_->addItem(QString::fromStdString(name));
    }
    target_->setEditText(target);
    browse_->setEnabled(kind == DS_SQLITE);
    switch (kind) {
    case DS_SQLITE:
        hint_->setText(tr("The database file; empty for a private in-memory database."));
        break;
    case DS_POSTGRES:
        hint_->setText(tr("A connection string (host=db1 dbname=sales), a URI or a database name."));
        break;
    default:
        hint_->setText(tr("A data source name, or a connection string with DRIVER=."));
        break;
    }
}

void CAdvConnect::Browse()
{
    const QString path = Dialogs().OpenFile(this, tr("Database file"),
        tr("SQLite databases (*.db *.sqlite *.sqlite3);;All files (*)"), target_->currentText());
    if (!path.isEmpty())
        target_->setEditText(path);
}

void CAdvConnect::TestConnection()
{
    const CONN_INFO info = Connection();
    std::shared_ptr<CDB> db = CDB::newDB(info.type);
    if (!db
        || !task_.Start(std::move(db), &info, [](CDB& db, DbOutcome&, const std::atomic<bool>&) { db.disconnect(); }))
        return;
    SetTesting(true);
    status_->setText(tr("Connecting..."));
}

void CAdvConnect::CancelTest()
{
    task_.Abandon();
    SetTesting(false);
    status_->setText(tr("Test cancelled"));
}

void CAdvConnect::TestFinished(const DbOutcome& outcome)
{
    SetTesting(false);
    if (outcome.failedAt == DbOutcome::kConnect) {
        status_->setText(tr("Connection failed"));
        AskUser(this, QString::fromStdString(outcome.error), tr("Connection Failed"), MB_ICONERROR);
        return;
    }
    status_->setText(tr("Connection succeeded"));
    AskUser(this, tr("Connection succeeded."), tr("Test connection"), MB_ICONINFORMATION);
}

void CAdvConnect::SetTesting(bool testing)
{
    test_->setEnabled(!testing);
    cancelTest_->setEnabled(testing);
}

void CAdvConnect::done(int result)
{
    if (Testing())
        CancelTest();
    QDialog::done(result);
}
