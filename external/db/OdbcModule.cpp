// The entry of quorvel_odbc.so: connections through the unixODBC driver manager, which only this
// module links, and the list of its data sources for the editor.
#include "external/db/DriverModule.h"
#include "external/db/OdbcDB.h"

#include <sqlext.h>

namespace {

std::unique_ptr<CDB> NewConnection()
{
    return std::make_unique<OdbcDB>();
}

std::vector<std::string> ListDataSources()
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

} // namespace

extern "C" __attribute__((visibility("default"))) const DriverModule* quorvel_driver_module()
{
    static const DriverModule module { DriverModule::kAbi, &NewConnection, &ListDataSources };
    return &module;
}
