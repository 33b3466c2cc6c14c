#pragma once

#include "external/db/CONN_INFO.h"
#include "support/TestEnv.h"

#include <string>

// The servers and drivers that scripts/test-services.d starts and registers (`make test`): the
// PostgreSQL server, the MariaDB server, the ODBC drivers and data sources, a node_exporter.

// A variable that the test services export. Missing, it throws with a message that says how to
// run the tests, which fails the test that needs it.
std::string ServiceEnv(const char* name);

inline CONN_INFO MakeConnInfo(DS_TYPE type, std::string target, std::string user = {}, std::string password = {})
{
    return CONN_INFO { type, std::move(target), std::move(user), std::move(password), 0 };
}

// A new SQLite database file at `path` made by `sql`; without statements nothing is made (the path
// may name a file that cannot be).
inline CONN_INFO SqliteConnection(const std::string& path, const std::string& sql)
{
    return MakeConnInfo(DS_SQLITE, sql.empty() ? path : MakeSqliteFile(path, sql));
}
// The PostgreSQL server as the test role.
inline CONN_INFO PostgresConnection()
{
    return MakeConnInfo(DS_POSTGRES, ServiceEnv("QUORVEL_TEST_PG"));
}
// The MariaDB server through ODBC: by its DSN with the user and password of the connection, or by
// a DRIVER= string that holds them.
CONN_INFO MariaDbConnection(bool dsn);
// "DRIVER={<the driver that `variable` names>};<attributes>".
inline std::string DriverTarget(const char* variable, const std::string& attributes)
{
    return "DRIVER={" + ServiceEnv(variable) + "};" + attributes;
}
