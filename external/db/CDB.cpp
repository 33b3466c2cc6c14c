#include "external/db/CDB.h"

#include "external/db/OdbcDB.h"
#include "external/db/PostgresDB.h"
#include "external/db/SqliteDB.h"

std::unique_ptr<CDB> CDB::newDB(DS_TYPE type)
{
    switch (type) {
    case DS_SQLITE:
        return std::make_unique<SqliteDB>();
    case DS_POSTGRES:
        return std::make_unique<PostgresDB>();
    case DS_ODBC:
        return std::make_unique<OdbcDB>();
    }
    return nullptr;
}
