#pragma once

#include "external/db/CDB.h"

#include <chrono>
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
    // How long a cancelled statement may take to end before its connection is given up.
    static constexpr int kCancelGraceMs = 2000;

    PostgresDB();
    ~PostgresDB() override;

    int connect(const CONN_INFO* info) override;
    int disconnect() override;
    int execute(const std::string& statement, int) override;
    int fetch(int) override;
    int getData(int column, std::string* out, int, int, int) override;
    int columnName(int column, std::string* out) override;
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
    // Shared with the thread that sends a cancel request, which may outlive the connection.
    using Canceller = std::shared_ptr<PGcancel>;

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
    PGresult* NextResult();
    void AwaitInput();
    void SendCancel();
    bool BeginStatement();
    void EndStatement();
    void CloseResults();

    Connection conn_;
    Result row_;
    Cursor cursor_ = Cursor::Closed;
    // True until libpq has handed out every result of the last statement.
    bool resultsPending_ = false;
    std::string password_;
    // cancel() may run on another thread: the canceller and the cancel state change only under
    // this lock.
    std::mutex cancelMutex_;
    Canceller canceller_;
    bool inStatement_ = false;   // a statement was sent and its results are not all read
    bool cancelPending_ = false; // cancel() came; the statement (or the next one) is to end
    std::chrono::steady_clock::time_point cancelAt_;
    // The statement thread's own: it gave up the connection after a cancel went unanswered.
    bool abandoned_ = false;
    // Wakes the statement's wait for the server when a cancel comes (an eventfd).
    int wakeFd_ = -1;
};
