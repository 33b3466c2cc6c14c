// The editor's database work: tests of statements, the connection test and the SQL console, on
// real SQLite files and the test PostgreSQL server, all on workers that Cancel ends.
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestServices.h"
#include "support/UiTestSupport.h"

#include "external/db/CDB.h"
#include "model/Quorvel.h"
#include "ui/editor/EvSQL.h"
#include "ui/editor/EventProps.h"
#include "ui/editor/PgAction.h"
#include "ui/editor/PgConnect.h"
#include "ui/editor/PgEvent.h"
#include "ui/editor/StatementTest.h"
#include "ui/gui/CAdvConnect.h"
#include "ui/gui/CRunSQL.h"
#include "ui/gui/ResultModel.h"
#include "ui/gui/SqlEditor.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

const char* kFiveRows = "CREATE TABLE t (name TEXT, qty INTEGER);"
                        "INSERT INTO t VALUES ('apple', 3), ('pear', 1), ('fig', 4), ('kiwi', 1), ('plum', 5);";

EvSQL& SqlPage(EventProps& editor)
{
    return static_cast<EvSQL&>(static_cast<PgEvent&>(editor.Page(EventProps::kEvent)).SubPage(EVENT_SQL));
}

// Runs the test of `statement` on `conn` from the Event page, or from the Action page (`action`),
// and returns the message it ended with.
QString TestMessage(const CONN_INFO& conn, const std::string& statement, bool action = false)
{
    ScriptedDialogs dialogs;
    Quorvel event;
    (action ? event.actionConn : event.checkConn) = conn;
    event.SQL = event.ActionSQL = statement;
    event.action = ACTION_SQL;
    EventProps editor(nullptr, event);
    auto& actionPage = static_cast<PgAction&>(editor.Page(EventProps::kAction));
    StatementTest& tester = action ? actionPage.Tester() : SqlPage(editor).Tester();
    if (action)
        actionPage.Test();
    else
        SqlPage(editor).Test();
    EXPECT_TRUE(ServeUntil([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_FALSE(tester.Running());
    return dialogs.messages.value(0);
}

// A check test counts rows up to the bound and shows the first value; an action test executes the
// statement, as the check after it sees; Cancel ends a slow one.
TEST(StatementTest, ChecksCountRowsActionsExecuteAndCancelEndsASlowOne)
{
    TempDir dir;
    const CONN_INFO sqlite = SqliteConnection(dir.File("t.db"), kFiveRows);
    struct Case {
        CONN_INFO conn;
        std::string statement;
        QString message; // after "Success: Statement: <statement>", or the start of the message
        bool action = false;
    } cases[] = {
        { sqlite, "SELECT name FROM t WHERE qty > 9", QStringLiteral("\n\nRows in results: 0\nFirst value: ") },
        { sqlite, "SELECT name, qty FROM t ORDER BY rowid",
            QStringLiteral("\n\nRows in results: 5\nFirst value: apple") },
        { sqlite, "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c LIMIT 100001) SELECT x FROM c",
            QStringLiteral("\n\nRows in results: more than 100,000 rows\nFirst value: 1") },
        { sqlite, "SELECT x FROM nowhere", QStringLiteral("SQL Statement Failed: no such table: nowhere") },
        { SqliteConnection(dir.File("missing/none.db"), ""), "SELECT 1", QStringLiteral("Connection Failed: ") },
        { PostgresConnection(), "SELECT 7 UNION ALL SELECT 8",
            QStringLiteral("\n\nRows in results: 2\nFirst value: 7") },
        { MariaDbConnection(false), "SELECT 'Grüße' UNION ALL SELECT NULL",
            QStringLiteral("\n\nRows in results: 2\nFirst value: Grüße") },
        { MariaDbConnection(true), "SET @quorvel = 1", QStringLiteral("Success: SET @quorvel = 1"), true },
        { sqlite, "UPDATE t SET qty = 0", QStringLiteral("Success: UPDATE t SET qty = 0"), true },
        { sqlite, "SELECT sum(qty) FROM t", QStringLiteral("\n\nRows in results: 1\nFirst value: 0") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        const QString message = TestMessage(c.conn, c.statement, c.action);
        if (c.message.startsWith(QLatin1Char('\n')))
            EXPECT_EQ(
                message, QStringLiteral("Success: Statement: ") + QString::fromStdString(c.statement) + c.message);
        else
            EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
    }

    // A slow statement keeps the window serving its events; Cancel frees the page at once, and a
    // window closed while its worker runs goes without harm.
    ScriptedDialogs dialogs;
    Quorvel event;
    event.checkConn = PostgresConnection();
    event.SQL = "SELECT pg_sleep(30)";
    auto editor = std::make_unique<EventProps>(nullptr, event);
    EvSQL& page = SqlPage(*editor);
    page.Test();
    EXPECT_TRUE(ServeTicks(20));
    EXPECT_TRUE(page.Tester().Running());
    EXPECT_TRUE(page.CancelButton().isEnabled());
    page.CancelButton().click();
    EXPECT_FALSE(page.Tester().Running());

    page.Test();
    EXPECT_TRUE(page.Tester().Running());
    editor.reset(); // closed while the worker runs
    ServeUntil([] { return false; }, 300);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// The password typed into the set-up dialog shows nowhere: not in the failure, the description or
// the program log.
TEST(CAdvConnect, TestConnectionReportsWithoutThePasswordAndOdbcListsItsSources)
{
    const std::string user = ServiceEnv("QUORVEL_TEST_PG_PASSWORD_USER");
    const std::string server = ServiceEnv("QUORVEL_TEST_PG_SERVER");
    const QString typed = QStringLiteral("Typed-Secret-4711");
    ScriptedDialogs dialogs;
    CAdvConnect setup;
    setup.Kind().setCurrentIndex(DS_POSTGRES);
    setup.Target().setEditText(QString::fromStdString(server) + QStringLiteral(" password=") + typed);
    setup.User().setText(QString::fromStdString(user));
    setup.Password().setText(typed);
    setup.TestConnection();
    ASSERT_TRUE(ServeUntil([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_TRUE(dialogs.messages.front().startsWith(QStringLiteral("Connection Failed: ")))
        << dialogs.messages.front().toStdString();

    TempDir dir;
    setup.Kind().setCurrentIndex(DS_SQLITE);
    setup.Target().setEditText(QString::fromStdString(SqliteConnection(dir.File("ok.db"), kFiveRows).target));
    setup.TestConnection();
    ASSERT_TRUE(ServeUntil([&] { return dialogs.messages.size() == 2; }));
    EXPECT_EQ(dialogs.messages.back(), QStringLiteral("Test connection: Connection succeeded."));

    Quorvel event;
    event.checkConn.type = DS_POSTGRES;
    event.checkConn.target = server + std::string(" password=") + typed.toStdString();
    EventProps editor(nullptr, event);
    dialogs.messages << static_cast<PgConnect&>(editor.Page(EventProps::kConnection)).Description().text()
                     << QString::fromStdString(ReadFile(TestStateDir() + "/state/quorvel/quorvel.log"));
    for (const QString& text : dialogs.messages)
        EXPECT_FALSE(text.contains(typed)) << text.toStdString();

    setup.Kind().setCurrentIndex(DS_ODBC); // ODBC lists the driver manager's sources
    EXPECT_GE(setup.Target().findText(QString::fromStdString(ServiceEnv("QUORVEL_TEST_ODBC_PG_DSN"))), 0);
}

// The console offers the tables and columns of its connection, runs statements on a worker, and
// Cancel or closing it ends a slow one.
TEST(CRunSQL, TheConsoleRunsStatementsAndCancelEndsASlowOne)
{
    TempDir dir;
    ScriptedDialogs dialogs;
    CRunSQL& console = CRunSQL::Instance();
    console.SetSmartInput(true);
    console.Open(SqliteConnection(dir.File("c.db"), kFiveRows));
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(console.StatusText(), QStringLiteral("Connected"));
    EXPECT_EQ(console.Editor().CompletionWords(),
        (QStringList { QStringLiteral("name"), QStringLiteral("qty"), QStringLiteral("t") }));
    // The grid is headed by the result's names; its selection and the whole result copy out.
    console.Editor().setText(QStringLiteral("SELECT name AS fruit, qty FROM t WHERE qty > 3 ORDER BY qty"));
    console.Run();
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(console.Result().headerData(0, Qt::Horizontal).toString(), QStringLiteral("fruit"));
    console.Grid().selectAll();
    console.Grid().actions().value(0)->trigger(); // "Copy", Ctrl+C in the grid
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("fig\t4\nplum\t5"));
    const QList<QPushButton*> buttons = console.findChildren<QPushButton*>();
    const auto copyCsv = std::find_if(buttons.begin(), buttons.end(),
        [](const QPushButton* button) { return button->accessibleName() == QStringLiteral("Copy as CSV"); });
    ASSERT_NE(copyCsv, buttons.end());
    (*copyCsv)->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("fruit,qty\r\nfig,4\r\nplum,5\r\n"));
    console.reject();

    console.SetSmartInput(false);
    console.Open(PostgresConnection());
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    console.Editor().setText(QStringLiteral("SELECT pg_sleep(30)"));
    console.Run();
    EXPECT_TRUE(ServeTicks(20));
    EXPECT_TRUE(console.Busy());
    console.Cancel();
    EXPECT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(console.StatusText(), QStringLiteral("Cancelled: ERROR:  canceling statement due to user request"));

    console.Editor().setText(QStringLiteral("SELECT 'a', 1 UNION ALL SELECT 'b', 2"));
    console.Run();
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(std::make_tuple(console.StatusText(), console.Result().rowCount(), console.Result().columnCount(),
                  console.Result().index(1, 0).data().toString()),
        std::make_tuple(QStringLiteral("Rows: 2"), 2, 2, QStringLiteral("b")));
    EXPECT_EQ(console.Result().headerData(1, Qt::Horizontal).toString(), QStringLiteral("?column?"));

    console.Editor().setText(QStringLiteral("SELECT pg_sleep(30)"));
    console.Run();
    console.reject(); // closed while the statement runs
    EXPECT_FALSE(console.Busy());
    ServeUntil([] { return false; }, 300);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // The Connection tab's "SQL Console": a connection that fails ends the modal run with a message.
    Quorvel event;
    event.checkConn = SqliteConnection(dir.File("missing/none.db"), "");
    EventProps editor(nullptr, event);
    static_cast<PgConnect&>(editor.Page(EventProps::kConnection)).OpenConsole();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.front().startsWith(QStringLiteral("Connection Failed: ")));
    EXPECT_FALSE(console.isVisible());
}

// MariaDB through ODBC: the set-up dialog's test with a DRIVER= string and the typed user and
// password, the console on the DSN with the tables and columns the user may query, and Cancel of a
// slow statement.
TEST(CRunSQL, MariaDbByDriverStringAndByDsnWithCompletionAndCancel)
{
    ScriptedDialogs dialogs;
    CAdvConnect setup;
    setup.Kind().setCurrentIndex(DS_ODBC);
    setup.Target().setEditText(QString::fromStdString(ServiceEnv("QUORVEL_TEST_MARIADB_SERVER")));
    const CONN_INFO dsn = MariaDbConnection(true);
    setup.User().setText(QString::fromStdString(dsn.user));
    setup.Password().setText(QString::fromStdString(dsn.password));
    setup.TestConnection();
    ASSERT_TRUE(ServeUntil([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_EQ(dialogs.messages.front(), QStringLiteral("Test connection: Connection succeeded."));

    const std::string table = "quorvel_ui" + std::to_string(QCoreApplication::applicationPid());
    std::unique_ptr<CDB> db = CDB::newDB(DS_ODBC);
    ASSERT_TRUE(CDB::isOK(db->connect(&dsn))) << db->errorText;
    ASSERT_TRUE(CDB::isOK(db->execute("CREATE TABLE " + table + " (quorvel_col INT)", 0))) << db->errorText;
    CRunSQL& console = CRunSQL::Instance();
    console.SetSmartInput(true);
    console.Open(dsn);
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(console.StatusText(), QStringLiteral("Connected"));
    EXPECT_TRUE(console.Editor().CompletionWords().contains(QString::fromStdString(table)));
    EXPECT_TRUE(console.Editor().CompletionWords().contains(QStringLiteral("quorvel_col")));
    console.Editor().setText(QStringLiteral("SELECT 7 AS counted"));
    console.Run();
    ASSERT_TRUE(ServeUntil([&] { return !console.Busy(); }));
    EXPECT_EQ(console.Result().headerData(0, Qt::Horizontal).toString(), QStringLiteral("counted"));
    console.Editor().setText(QStringLiteral("SELECT SLEEP(30)"));
    console.Run();
    EXPECT_TRUE(ServeTicks(20));
    console.Cancel();
    EXPECT_TRUE(ServeUntil([&] { return !console.Busy(); }, 5000));
    // The driver puts its own and the server's version before the server's words.
    const QString cancelled = console.StatusText();
    EXPECT_TRUE(cancelled.startsWith(QStringLiteral("Cancelled: [ma-"))
        && cancelled.endsWith(QStringLiteral("]Query execution was interrupted")))
        << cancelled.toStdString();
    console.reject();
    db->execute("DROP TABLE " + table, 0);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

} // namespace
