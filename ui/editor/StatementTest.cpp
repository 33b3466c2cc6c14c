#include "ui/editor/StatementTest.h"

#include "external/support/MessageBox.h"
#include "ui/gui/UserDialogs.h"

#include <QWidget>

StatementTest::StatementTest(QWidget* page, Kind kind)
    : QObject(page)
    , page_(page)
    , kind_(kind)
{
    connect(&task_, &DbTask::Finished, this, &StatementTest::Finished);
}

void StatementTest::Start(const CONN_INFO& info, const std::string& statement)
{
    std::shared_ptr<CDB> db = CDB::newDB(info.type);
    if (!db)
        return;
    statement_ = statement;
    DbJob job = kind_ == kCheck ? DbTask::FetchRows(statement, kRowCountBound, 1) : DbTask::Execute(statement);
    if (task_.Start(std::move(db), &info, std::move(job)))
        emit RunningChanged();
}

void StatementTest::Cancel()
{
    task_.Abandon();
    emit RunningChanged();
}

void StatementTest::Finished(const DbOutcome& outcome)
{
    emit RunningChanged();
    const QString error = QString::fromStdString(outcome.error);
    if (outcome.failedAt == DbOutcome::kConnect) {
        AskUser(page_, error, tr("Connection Failed"), MB_ICONERROR);
        return;
    }
    if (outcome.failedAt == DbOutcome::kStatement) {
        AskUser(page_, error, tr("SQL Statement Failed"), MB_ICONERROR);
        return;
    }
    const QString statement = QString::fromStdString(statement_);
    if (kind_ == kAction) {
        AskUser(page_, statement, tr("Success"), MB_ICONINFORMATION);
        return;
    }
    const QString first = outcome.rows.empty() || outcome.rows.front().empty()
        ? QString()
        : QString::fromStdString(outcome.rows.front().front());
    AskUser(page_,
        tr("Statement: %1\n\nRows in results: %2\nFirst value: %3").arg(statement, RowCountText(outcome), first),
        tr("Success"), MB_ICONINFORMATION);
}
