#include "external/db/DriverModule.h"

#include "external/support/ModuleLoader.h"

namespace {

const DriverModule* Load(ModuleLoader& loader, const char* kind, std::string* error)
{
    std::string why;
    auto* entry = reinterpret_cast<const DriverModule* (*)()>(loader.Entry(&why));
    const DriverModule* module = entry != nullptr ? entry() : nullptr;
    if (module != nullptr && module->abi != DriverModule::kAbi) {
        why = "the module belongs to another version of the program";
        module = nullptr;
    }
    if (module == nullptr && error != nullptr)
        *error = std::string(kind) + " support is not installed: " + why;
    return module;
}

} // namespace

const DriverModule* LoadDriverModule(DS_TYPE type, std::string* error)
{
    switch (type) {
    case DS_POSTGRES: {
        static ModuleLoader loader("quorvel_pg.so", "quorvel_driver_module", "libpq5");
        return Load(loader, "PostgreSQL", error);
    }
    case DS_ODBC: {
        static ModuleLoader loader("quorvel_odbc.so", "quorvel_driver_module", "libodbc2");
        return Load(loader, "ODBC", error);
    }
    case DS_SQLITE:
        break;
    }
    if (error != nullptr)
        *error = "no module for this kind of connection";
    return nullptr;
}

std::vector<std::string> OdbcModuleDataSources()
{
    const DriverModule* module = LoadDriverModule(DS_ODBC, nullptr);
    if (module == nullptr || module->listDataSources == nullptr)
        return {};
    return module->listDataSources();
}
