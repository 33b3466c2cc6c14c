// The entry of quorvel_pg.so: PostgreSQL connections through libpq, which only this module links.
#include "external/db/DriverModule.h"
#include "external/db/PostgresDB.h"

namespace {

std::unique_ptr<CDB> NewConnection()
{
    return std::make_unique<PostgresDB>();
}

} // namespace

extern "C" __attribute__((visibility("default"))) const DriverModule* quorvel_driver_module()
{
    static const DriverModule module { DriverModule::kAbi, &NewConnection, nullptr };
    return &module;
}
