#include "external/db/OdbcDataSources.h"

#include "external/db/DriverModule.h"

// The ODBC driver manager lives in the ODBC module: listing loads it like a first connection.
std::vector<std::string> ListOdbcDataSources()
{
    return OdbcModuleDataSources();
}
