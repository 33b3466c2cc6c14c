// The ODBC module also answers the editor's question which data sources the driver manager knows.

#include "DbTestSetup.h"
#include "external/db/DriverModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(OdbcModule, ListsTheDataSourcesOfTheDriverManager)
{
    EXPECT_THAT(OdbcModuleDataSources(), ::testing::Contains(ServiceEnv("QUORVEL_TEST_ODBC_PG_DSN")));
}

} // namespace
