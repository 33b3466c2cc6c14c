#pragma once

#include "external/db/CDB.h"

#include <memory>
#include <string>
#include <vector>

// What a database module (quorvel_pg.so, quorvel_odbc.so) gives the program. Its one exported
// function, quorvel_driver_module, returns this table. A module is built from the same sources and
// with the same compiler as the program, so C++ types pass between them; kAbi changes whenever
// the table or CDB changes, so that a module left from another version is refused.
struct DriverModule {
    static constexpr int kAbi = 2;

    int abi = kAbi;
    // A new, unconnected connection.
    std::unique_ptr<CDB> (*newConnection)() = nullptr;
    // The data source names the driver manager knows; null for a kind without such a list.
    std::vector<std::string> (*listDataSources)() = nullptr;
};

extern "C" const DriverModule* quorvel_driver_module();

// The module of a PostgreSQL or ODBC connection, loaded at the first call from any thread; null
// with `error` set to the text a user sees ("PostgreSQL support is not installed: ...") when it
// cannot be loaded.
const DriverModule* LoadDriverModule(DS_TYPE type, std::string* error);

// The ODBC data source names (user and system DSNs); empty when there are none or the ODBC module
// cannot be loaded.
std::vector<std::string> OdbcModuleDataSources();
