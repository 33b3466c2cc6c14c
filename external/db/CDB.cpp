#include "external/db/CDB.h"

#include "external/db/DriverModule.h"
#include "external/db/SqliteDB.h"
#include "external/db/UnavailableDB.h"

std::unique_ptr<CDB> CDB::newDB(DS_TYPE type)
{
    switch (type) {
    case DS_SQLITE:
        return std::make_unique<SqliteDB>();
    case DS_POSTGRES:
    case DS_ODBC: {
        std::string error;
        const DriverModule* module = LoadDriverModule(type, &error);
        if (module == nullptr)
            return std::make_unique<UnavailableDB>(error);
        return module->newConnection();
    }
    }
    return nullptr;
}
