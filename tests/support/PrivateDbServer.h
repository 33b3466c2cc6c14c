#pragma once

#include "external/support/StrFormat.h"
#include "support/TestEnv.h"

#include <string>

// A database server of the test's own (scripts/pg-test-server or scripts/mariadb-test-server),
// which it may stop and start again without disturbing the shared server that other tests use.
// Removed with its data when the object goes.
class PrivateDbServer {
public:
    // `script` is the name of the control script in scripts/.
    explicit PrivateDbServer(std::string script);
    ~PrivateDbServer() { Control("stop"); }
    PrivateDbServer(const PrivateDbServer&) = delete;
    PrivateDbServer& operator=(const PrivateDbServer&) = delete;

    // Stops the server but keeps its data: to its clients it has gone away.
    void Stop() { Control("pause"); }
    // Starts it again on the same port; returns once it accepts connections.
    void Start() { Control("resume"); }
    // Sends `sig` to the PostgreSQL server and every process it started: SIGSTOP makes a server
    // that still accepts connections on the system's side but never answers, SIGCONT wakes it.
    void SignalProcesses(int sig);
    std::string Port() { return TrimLineEnd(Control("port").out); }
    // How the test user connects, as the script prints it: a libpq connection string for
    // PostgreSQL, the ODBC attributes without DRIVER= for MariaDB.
    std::string ConnInfo() { return TrimLineEnd(Control("conninfo").out); }

private:
    ProcessResult Control(const char* command);

    std::string script_;
    TempDir dir_;
};
