#pragma once

#include "external/db/CDB.h"

#include <memory>
#include <mutex>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;
typedef struct pg_cancel PGcancel;

// PostgreSQL through libpq. The target is a libpq connection string or URI; the user and
// password of the connection description are passed beside it. Results arrive in single-row
// mode, so a statement's rows stream from the server as they are fetched instead of being
// gathered in memory first.
class PostgresDB final : public CDB {
public:
    // Seconds a connect waits for a server that does not answer, unless the target sets its own.
    static constexpr const char* kConnectTimeout = "10";

    ~PostgresDB() override;

    int connect(const CONN_INFO* info) override;
    int disconnect() override;
    int execute(const std::string& statement, int) override;
    int fetch(int) override;
    int getData(int column, std::string* out, int, int, int) override;
    int closeCursor(int) override;
    void cancel() override;

private:
    struct FinishConnection {
        void operator()(PGconn* conn) const;
    };
    struct ClearResult {
        void operator()(PGresult* result) const;
    };
    struct FreeCancel {
        void operator()(PGcancel* cancel) const;
    };
    using Connection = std::unique_ptr<PGconn, FinishConnection>;
    using Result = std::unique_ptr<PGresult, ClearResult>;
    using Canceller = std::unique_ptr<PGcancel, FreeCancel>;

    enum class Cursor {
        Closed, // no rows (left)
        FirstRowWaiting, // execute received the first row; the first fetch hands it out
        OnRow, // getData reads row_
    };

    Connection Open(const CONN_INFO& info);
    int NextRow();
    int FailWith(const std::string& message);
    bool TakeBufferedResults();
    bool TakeReadyResults();
    void DrainResults();

    Connection conn_;
    Result row_;
    Cursor cursor_ = Cursor::Closed;
    // True until libpq has handed out every result of the last statement.
    bool resultsPending_ = false;
    std::string password_;
    // cancel() may run on another thread: the canceller changes only under this lock.
    std::mutex cancelMutex_;
    Canceller canceller_;
};
