// What only the PostgreSQL connections promise: the target may be a URI or a key=value string
// with the user and password given beside it, and a server that went away is noticed and
// reconnected to.

#include "DbTestSetup.h"
#include "external/db/DriverModule.h"
#include "support/PrivateDbServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

std::string CurrentUser(const CONN_INFO& info)
{
    std::unique_ptr<CDB> db = CDB::newDB(info.type);
    if (!CDB::isOK(db->connect(&info)))
        return "error: " + db->errorText;
    return FirstValue(*db, "SELECT current_user");
}

// The user and password fields win over a user named in the target. The ODBC module also answers
// the editor's question which data sources the driver manager knows.
TEST(PostgresAndOdbcDB, TakeAUriAKeyValueStringOrADsnWithUserAndPasswordBeside)
{
    EXPECT_THAT(OdbcModuleDataSources(), ::testing::Contains(ServiceEnv("QUORVEL_TEST_ODBC_PG_DSN")));
    const std::string uri = "postgresql://127.0.0.1:" + ServiceEnv("QUORVEL_TEST_PG_PORT") + "/quorvel_test";
    const std::string user = ServiceEnv("QUORVEL_TEST_PG_PASSWORD_USER");
    const std::string password = ServiceEnv("QUORVEL_TEST_PG_PASSWORD");
    const std::pair<CONN_INFO, std::string> cases[] = {
        { MakeConnInfo(DS_POSTGRES, uri, "quorvel"), "quorvel" },
        { MakeConnInfo(DS_POSTGRES, ServiceEnv("QUORVEL_TEST_PG"), user, password), user },
        { MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_ODBC_PG_DSN"), "quorvel"), "quorvel" },
        { MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_ODBC_PG_SERVER"), user, password), user },
    };
    for (const auto& [info, expected] : cases)
        EXPECT_EQ(CurrentUser(info), expected) << info.target;
}

class ServerRestartTest : public ::testing::TestWithParam<DS_TYPE> {
protected:
    CONN_INFO PrivateConnection()
    {
        if (GetParam() == DS_POSTGRES)
            return MakeConnInfo(DS_POSTGRES, server_.ConnInfo());
        return MakeConnInfo(DS_ODBC,
            DriverTarget("QUORVEL_TEST_ODBC_PG_DRIVER", "Servername=127.0.0.1;Database=quorvel_test;UID=quorvel;Port=" + server_.Port()));
    }

    PrivateDbServer server_ { "pg-test-server" };
};

TEST_P(ServerRestartTest, FirstStatementAfterTheServerWentAwayFailsThenConnectReconnects)
{
    const CONN_INFO info = PrivateConnection();
    std::unique_ptr<CDB> db = CDB::newDB(info.type);
    ASSERT_TRUE(CDB::isOK(db->connect(&info))) << db->errorText;
    EXPECT_EQ(FirstValue(*db, "SELECT 1"), "1");

    server_.Stop();
    server_.Start();
    db->closeCursor(0);
    EXPECT_FALSE(CDB::isOK(db->execute("SELECT 2", 0)));
    EXPECT_FALSE(db->errorText.empty());
    EXPECT_EQ(db->connected, 0);

    ASSERT_TRUE(CDB::isOK(db->connect(&info))) << db->errorText;
    EXPECT_NE(db->connected, 0);
    EXPECT_EQ(FirstValue(*db, "SELECT 3"), "3");
}

INSTANTIATE_TEST_SUITE_P(PostgresAndOdbc, ServerRestartTest, ::testing::Values(DS_POSTGRES, DS_ODBC),
    [](const ::testing::TestParamInfo<DS_TYPE>& info) { return info.param == DS_POSTGRES ? "Postgres" : "Odbc"; });

} // namespace
