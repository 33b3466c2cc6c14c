#pragma once

#include "external/counters/CounterSource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// What the remote counter module (quorvel_remote.so, the only part that links libcurl) gives the
// program. Its one exported function, quorvel_remote_module, returns this table; kAbi changes
// whenever the table or CounterSource changes.
struct RemoteCounterModule {
    static constexpr int kAbi = 1;

    // The program log's entry point: the module writes to the program's one log.
    using LogFn = void (*)(const std::string& message, const char* context, const char* file, int line);

    int abi = kAbi;
    // The counters of `host`:`port`, read over HTTP; `cancelled` must outlive the source.
    std::unique_ptr<CounterSource> (*newSource)(
        const std::string& host, uint16_t port, const std::atomic<bool>& cancelled, LogFn log)
        = nullptr;
};

extern "C" const RemoteCounterModule* quorvel_remote_module();

// The counters of a remote machine through the module, loaded at the first call from any thread.
// When it cannot be loaded, a source whose every reading fails as an unreachable machine, with the
// reason in the program log.
std::unique_ptr<CounterSource> NewRemoteCounterSource(
    const std::string& host, uint16_t port, const std::atomic<bool>& cancelled);
