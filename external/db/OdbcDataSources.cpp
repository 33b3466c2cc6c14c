#include "external/db/OdbcDataSources.h"

#include "external/db/OdbcHandle.h"

#include <sqlext.h>

std::vector<std::string> ListOdbcDataSources()
{
    std::vector<std::string> names;
    OdbcHandle env = AllocOdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    if (!env)
        return names;
    SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSources(
        env.get(), direction, name, sizeof name, &nameLength, description, sizeof description, &descriptionLength))) {
        names.emplace_back(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}
