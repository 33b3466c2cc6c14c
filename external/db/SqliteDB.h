#pragma once

#include "external/db/CDB.h"

#include <memory>
#include <mutex>

struct sqlite3;
struct sqlite3_stmt;

// SQLite through its C API. The target is a database file, opened read-write and never created;
// an empty target is a private in-memory database. Rows are stepped one at a time, so a result
// is never held in memory as a whole.
class SqliteDB final : public CDB {
public:
    // How long a statement waits for a database that another connection has locked.
    static constexpr int kBusyTimeoutMs = 5000;

    ~SqliteDB() override;

    int connect(const CONN_INFO* info) override;
    int disconnect() override;
    int execute(const std::string& statement, int) override;
    int fetch(int) override;
    int getData(int column, std::string* out, int, int, int) override;
    int columnName(int column, std::string* out) override;
    int closeCursor(int) override;
    void cancel() override;

private:
    struct CloseDatabase {
        void operator()(sqlite3* db) const;
    };
    struct FinalizeStatement {
        void operator()(sqlite3_stmt* stmt) const;
    };
    using Database = std::unique_ptr<sqlite3, CloseDatabase>;
    using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

    // Where the result of the last statement stands.
    enum class Cursor {
        Closed, // no rows (left)
        FirstRowWaiting, // execute stepped onto the first row; the first fetch hands it out
        OnRow, // getData reads the current row
    };

    static int Open(const std::string& path, Database& db, std::string& error);
    int Step();
    int FailFromDatabase();

    Database db_;
    Statement stmt_;
    Cursor cursor_ = Cursor::Closed;
    // Held while db_ changes, and by cancel(), so that an interrupt never meets a closed handle.
    std::mutex handleMutex_;
};
