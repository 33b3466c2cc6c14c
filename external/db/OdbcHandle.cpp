#include "external/db/OdbcHandle.h"

void FreeOdbcHandle::operator()(SQLHANDLE handle) const
{
    if (type == SQL_HANDLE_DBC)
        SQLDisconnect(handle);
    SQLFreeHandle(type, handle);
}

OdbcHandle AllocOdbcHandle(SQLSMALLINT type, SQLHANDLE parent)
{
    SQLHANDLE handle = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle)))
        return OdbcHandle(nullptr, FreeOdbcHandle { type });
    return OdbcHandle(handle, FreeOdbcHandle { type });
}
