#pragma once

#include <memory>
#include <sql.h>

// Frees an ODBC handle as the kind it was made for. A connection handle is disconnected first,
// which is harmless when it never connected.
struct FreeOdbcHandle {
    SQLSMALLINT type = 0;
    void operator()(SQLHANDLE handle) const;
};

using OdbcHandle = std::unique_ptr<void, FreeOdbcHandle>;

// A new handle of `type` below `parent` (SQL_NULL_HANDLE for an environment); null when the
// driver manager refuses one.
OdbcHandle AllocOdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
