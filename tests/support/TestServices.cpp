#include "support/TestServices.h"

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

CONN_INFO MariaDbConnection(bool dsn)
{
    if (!dsn)
        return MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_MARIADB"));
    return MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_MARIADB_DSN"), ServiceEnv("QUORVEL_TEST_MARIADB_USER"),
        ServiceEnv("QUORVEL_TEST_MARIADB_PASSWORD"));
}
