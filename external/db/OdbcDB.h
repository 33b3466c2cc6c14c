#pragma once

#include "external/db/CDB.h"
#include "external/db/OdbcHandle.h"

#include <mutex>
#include <string>
#include <vector>

// Any other database through the unixODBC driver manager. The target is a DSN name, or a
// connection string ("DRIVER={...};...") for anything that holds "=". Text goes through the
// ANSI calls as UTF-8. Rows are fetched one at a time; whether the driver itself streams them
// is the driver's setting (see docs/databases.md).
class OdbcDB final : public CDB {
public:
    // Seconds a connect waits for a data source that does not answer, where the driver honours it.
    static constexpr SQLULEN kLoginTimeout = 10;

    ~OdbcDB() override;

    int connect(const CONN_INFO* info) override;
    int disconnect() override;
    int execute(const std::string& statement, int) override;
    int fetch(int) override;
    int getData(int column, std::string* out, int, int, int) override;
    int columnName(int column, std::string* out) override;
    int closeCursor(int) override;
    void cancel() override;

private:
    int FailFrom(SQLSMALLINT type, SQLHANDLE handle);
    int ReadColumn(int column, std::string* value);
    bool ConnectionDead() const;

    OdbcHandle env_;
    OdbcHandle dbc_;
    OdbcHandle stmt_; // changes only under stmtMutex_, which cancel() holds too
    SQLSMALLINT columns_ = 0;
    bool onRow_ = false;
    // The values of the current row read so far: a driver hands out each column only once
    // (the MariaDB driver gives no data the second time), callers may ask again. The texts keep
    // their buffers from row to row.
    std::vector<std::string> values_;
    std::vector<bool> read_;
    std::string password_;
    std::mutex stmtMutex_;
};
