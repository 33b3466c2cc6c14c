#pragma once

#include "support/TestEnv.h"

#include <string>

// A PostgreSQL server of the test's own (scripts/pg-test-server), which it may stop and start
// again without disturbing the shared server that other tests use. Removed with its data when
// the object goes.
class PrivatePgServer {
public:
    PrivatePgServer();
    ~PrivatePgServer();
    PrivatePgServer(const PrivatePgServer&) = delete;
    PrivatePgServer& operator=(const PrivatePgServer&) = delete;

    // Stops the server but keeps its data: to its clients it has gone away.
    void Stop();
    // Starts it again on the same port; returns once it accepts connections.
    void Start();
    std::string Port();
    // The libpq connection string of the test role.
    std::string ConnInfo();

private:
    ProcessResult Control(const char* command);

    TempDir dir_;
};
