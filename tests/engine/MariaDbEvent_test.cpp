// Events on the MariaDB server of the test services, through its ODBC driver: checks by a
// DRIVER= connection string, actions by the DSN, and the server's own texts in the program log.

#include "engine/EngineFixture.h"
#include "external/db/CDB.h"
#include "external/support/CLog.h"
#include "external/support/StrFormat.h"

#include <iterator>
#include <unistd.h>

namespace {

class MariaDbEvent : public EngineTest {
protected:
    MariaDbEvent() { Run("CREATE TABLE " + table + " (id INT, name VARCHAR(40)) CHARACTER SET utf8mb4"); }
    ~MariaDbEvent() override { Run("DROP TABLE IF EXISTS " + table); }

    void Run(const std::string& sql)
    {
        std::unique_ptr<CDB> db = CDB::newDB(DS_ODBC);
        const CONN_INFO info = MariaDbConnection(false);
        ASSERT_TRUE(CDB::isOK(db->connect(&info))) << db->errorText;
        EXPECT_TRUE(CDB::isOK(db->execute(sql, 0))) << sql << ": " << db->errorText;
    }

    Quorvel Event(const std::string& note, const std::string& sql)
    {
        return SqlEvent(note, MariaDbConnection(false).target, ReplaceAll(sql, "$T", table), DS_ODBC);
    }

    const std::string table = "quorvel_e" + std::to_string(::getpid());
};

// Values, NULL and UTF-8 as the server gives them, row counts with "FetchAll", and actions that
// write the value back on the check's connection and on a connection of their own.
TEST_F(MariaDbEvent, ChecksReadValuesAndRowsAndActionsWriteTheValue)
{
    settings->setInt("FetchAll", 1);
    Run("INSERT INTO " + table + " VALUES (1, 'Grüße, 東京 €'), (2, NULL), (3, 'c')");
    struct Case {
        const char* sql;
        const char* value;
        int rows;
        const char* action; // written with $VALUE$, on the check's connection unless `dsn`
        bool dsn;
    };
    // The events run at the same time: the checks look only at the rows below 10, the actions
    // write 10 and above.
    const Case cases[] = {
        { "SELECT COUNT(*) FROM $T WHERE id < 10", "3", 1, "INSERT INTO $T VALUES ($VALUE$ + 10, 'count')", false },
        { "SELECT id FROM $T WHERE id < 10 ORDER BY id", "1", 3, nullptr, false },
        { "SELECT name FROM $T WHERE id = 2", "", 1, nullptr, false },
        { "SELECT name FROM $T WHERE id = 1", "Grüße, 東京 €", 1, "INSERT INTO $T VALUES (20, '$VALUE$')", true },
        { "SELECT name FROM $T WHERE id = 0", "N/A", 0, "INSERT INTO $T VALUES (30, '$VALUE$')", true },
    };
    for (const Case& c : cases) {
        Quorvel event = WithAction(Event(c.sql, c.sql), c.action ? ACTION_SQL : ACTION_NONE,
            ReplaceAll(c.action ? c.action : "", "$T", table));
        if (c.dsn)
            event.actionConn = MariaDbConnection(true);
        project.AddEvent(event);
    }
    project.Run(&page, nullptr);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].sql);
        EXPECT_EQ(project.GetEvent(i)->results.passed, 1);
        EXPECT_EQ(project.GetEvent(i)->value, cases[i].value);
        EXPECT_EQ(project.GetEvent(i)->results.rowSum, cases[i].rows);
        EXPECT_EQ(page.Count(cases[i].sql, "Action Error"), 0);
    }

    // Characters, not bytes, on the server: the text was not encoded twice on its way.
    project.Clear();
    project.AddEvent(Event("written",
        "SELECT GROUP_CONCAT(CONCAT(id, ':', CHAR_LENGTH(name)) ORDER BY id) FROM $T WHERE id >= 10"));
    project.Run(&page, nullptr);
    EXPECT_EQ(project.GetEvent(0)->value, "13:5,20:11,30:3");
}

// A statement the server refuses and a connection it refuses: its own words in the program log.
TEST_F(MariaDbEvent, TheServersOwnErrorTextsReachTheProgramLog)
{
    project.AddEvent(Event("missing table", "SELECT * FROM quorvel_no_such_table"));
    Quorvel denied = Event("denied", "SELECT 1");
    denied.checkConn = MariaDbConnection(true);
    denied.checkConn.password = "wrong";
    project.AddEvent(denied);
    project.Run(&page, nullptr);
    const std::string log = CLog::GetLastRows();
    EXPECT_NE(log.find("Table 'quorvel_test.quorvel_no_such_table' doesn't exist"), std::string::npos) << log;
    EXPECT_NE(log.find("Access denied for user 'quorvel'@'127.0.0.1' (using password: YES)"), std::string::npos)
        << log;
}

} // namespace
