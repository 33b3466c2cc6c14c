#include "support/TestServices.h"
#include "support/TestEnv.h"

#include <cstdlib>
#include <stdexcept>

std::string ServiceEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name)
            + " is not set: run the tests through `make test` (scripts/run-tests), which starts the "
              "database servers and the node_exporter and registers the ODBC drivers they need");
    return value;
}

CONN_INFO MakeConnInfo(DS_TYPE type, std::string target, std::string user, std::string password)
{
    return CONN_INFO { type, std::move(target), std::move(user), std::move(password), 0 };
}

CONN_INFO SqliteConnection(const std::string& path, const std::string& sql)
{
    // Without statements nothing is made: the path may name a file that cannot be.
    return MakeConnInfo(DS_SQLITE, sql.empty() ? path : MakeSqliteFile(path, sql));
}

CONN_INFO PostgresConnection()
{
    return MakeConnInfo(DS_POSTGRES, ServiceEnv("QUORVEL_TEST_PG"));
}

CONN_INFO MariaDbConnection(bool dsn)
{
    if (!dsn)
        return MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_MARIADB"));
    return MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_MARIADB_DSN"), ServiceEnv("QUORVEL_TEST_MARIADB_USER"),
        ServiceEnv("QUORVEL_TEST_MARIADB_PASSWORD"));
}

std::string DriverTarget(const char* variable, const std::string& attributes)
{
    return "DRIVER={" + ServiceEnv(variable) + "};" + attributes;
}
