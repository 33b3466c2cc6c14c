#include "external/counters/RemoteCounterModule.h"

#include "external/counters/UnavailableCounterSource.h"
#include "external/support/CLog.h"
#include "external/support/ModuleLoader.h"

namespace {

const RemoteCounterModule* LoadModule(std::string* error)
{
    static ModuleLoader loader("quorvel_remote.so", "quorvel_remote_module", "libcurl4");
    auto* entry = reinterpret_cast<const RemoteCounterModule* (*)()>(loader.Entry(error));
    const RemoteCounterModule* module = entry != nullptr ? entry() : nullptr;
    if (module != nullptr && module->abi != RemoteCounterModule::kAbi) {
        *error = "the module belongs to another version of the program";
        return nullptr;
    }
    return module;
}

} // namespace

std::unique_ptr<CounterSource> NewRemoteCounterSource(
    const std::string& host, uint16_t port, const std::atomic<bool>& cancelled)
{
    std::string error;
    const RemoteCounterModule* module = LoadModule(&error);
    if (module == nullptr)
        return std::make_unique<UnavailableCounterSource>("Remote counter support is not installed: " + error);
    return module->newSource(host, port, cancelled, &CLog::Bug);
}
