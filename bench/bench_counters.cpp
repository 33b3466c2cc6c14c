// The cost of one collection and reading per counter: from /proc and statvfs locally, and from a
// node_exporter over loopback (QUORVEL_TEST_NODE_EXPORTER=host:port, set by scripts/run-bench).
#include "external/counters/CounterQuery.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

const char* const kCounters[] = {
    "\\Processor(_Total)\\% Processor Time",
    "\\Processor(0)\\% Processor Time",
    "\\Processor(_Total)\\Interrupts/sec",
    "\\Processor(0)\\Interrupts/sec",
    "\\Memory\\Available MBytes",
    "\\Memory\\% Committed Bytes In Use",
    "\\System\\Processes",
    "\\System\\Threads",
    "\\System\\Context Switches/sec",
    "\\System\\System Up Time",
    "\\LogicalDisk(/)\\% Free Space",
    "\\Network Interface(lo)\\Bytes Total/sec",
    "\\Load Average\\1 Minute x100",
};

void Collect(benchmark::State& state, const std::string& path)
{
    std::unique_ptr<CounterQuery> query;
    CounterQuery::Open(&query);
    if (const uint32_t status = query->AddCounter(path); status != 0) {
        state.SkipWithError(("AddCounter failed for " + path).c_str());
        return;
    }
    for (auto _ : state) {
        int32_t value = 0;
        uint32_t cstatus = 0;
        const uint32_t status = query->Collect();
        query->GetFormattedValue(&value, &cstatus);
        benchmark::DoNotOptimize(value);
        if (status != 0) {
            // Counters a default exporter lacks (System\Processes, Threads, per-processor interrupts).
            state.SkipWithError("not published by this source");
            break;
        }
    }
}

void RegisterAll()
{
    const char* exporter = std::getenv("QUORVEL_TEST_NODE_EXPORTER");
    for (const char* counter : kCounters) {
        benchmark::RegisterBenchmark((std::string("local ") + counter).c_str(), Collect, std::string(counter));
        if (exporter != nullptr) {
            const std::string path = CounterFullPath(exporter, counter);
            benchmark::RegisterBenchmark((std::string("remote ") + counter).c_str(), Collect, path)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
