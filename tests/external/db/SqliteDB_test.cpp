// What only the SQLite kind promises: an empty target is private to its connection, and a
// database that another connection locks is waited for. (That it never creates a database is
// checked with the engine's checks.)

#include "DbTestSetup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

namespace {

TEST(SqliteDB, EmptyTargetIsAPrivateInMemoryDatabase)
{
    const CONN_INFO info = MakeConnInfo(DS_SQLITE, "");
    std::unique_ptr<CDB> first = CDB::newDB(DS_SQLITE);
    std::unique_ptr<CDB> second = CDB::newDB(DS_SQLITE);
    ASSERT_TRUE(CDB::isOK(first->connect(&info))) << first->errorText;
    ASSERT_TRUE(CDB::isOK(second->connect(&info))) << second->errorText;
    ASSERT_TRUE(CDB::isOK(first->execute("CREATE TABLE mine (x)", 0))) << first->errorText;
    EXPECT_EQ(FirstValue(*first, "SELECT count(*) FROM mine"), "0");
    EXPECT_NE(FirstValue(*second, "SELECT count(*) FROM mine").find("no such table"), std::string::npos);
}

TEST(SqliteDB, WaitsForADatabaseThatAnotherConnectionLocks)
{
    TempDir dir;
    const CONN_INFO info = TestConnection(TestDb::Sqlite, dir);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(info.target.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread releaser([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });

    std::unique_ptr<CDB> db = CDB::newDB(DS_SQLITE);
    const int connectRc = db->connect(&info);
    const int insertRc = db->execute("INSERT INTO created_by_test VALUES (1)", 0);
    releaser.join();
    sqlite3_close(other);
    EXPECT_TRUE(CDB::isOK(connectRc)) << db->errorText;
    EXPECT_TRUE(CDB::isOK(insertRc)) << db->errorText;
}

} // namespace
