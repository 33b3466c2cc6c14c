// The entry of quorvel_remote.so: the counters of other machines, read over HTTP with libcurl,
// which only this module links.
#include "external/counters/RemoteCounterModule.h"
#include "external/counters/RemoteCounterSource.h"

namespace {

std::unique_ptr<CounterSource> NewSource(
    const std::string& host, uint16_t port, const std::atomic<bool>& cancelled, RemoteCounterModule::LogFn log)
{
    return std::make_unique<RemoteCounterSource>(host, port, cancelled, log);
}

} // namespace

extern "C" __attribute__((visibility("default"))) const RemoteCounterModule* quorvel_remote_module()
{
    static const RemoteCounterModule module { RemoteCounterModule::kAbi, &NewSource };
    return &module;
}
