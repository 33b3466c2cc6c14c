// The summary report of a long run: size and writing time of the report of 24 events with
// 1,000,000 executions between them (a tenth failed, numeric values, an action on every third),
// charts included. A report that is mailed or archived must stay small and open at once.
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"
#include "reports/HeadTemplate.h"

#include <filesystem>

namespace {

constexpr int kEvents = 24;
constexpr int kExecutions = 1000000;
constexpr double kTargetMiB = 2;
constexpr double kTargetSeconds = 1;

} // namespace

int main()
{
    bench::Workspace workspace;
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
    std::printf("summary report of %d events, %d executions in all\n", kEvents, kExecutions);
    bench::PrintLoad("before");
    for (const int events : { 1, kEvents }) {
        QuorvelRunner project;
        project.events.resize(static_cast<size_t>(events));
        ExecRecord record;
        for (int i = 0; i < kExecutions; ++i) {
            record.status = i % 10 == 0 ? "FAILED" : "OK";
            record.checkTime = static_cast<uint32_t>(5 + i % 97 + (i % 50000 == 0 ? 400 : 0));
            record.actionRun = i % 3 == 0;
            record.value = std::to_string(i % 1013);
            record.endMs = 1700000000000 + i * 3;
            project.events[static_cast<size_t>(i % events)].results.Add(record);
        }
        project.summaryFile = workspace.File("summary.html");
        const auto start = std::chrono::steady_clock::now();
        project.WriteSummaryReport();
        const double seconds = bench::SecondsSince(start);
        const double mib = static_cast<double>(std::filesystem::file_size(project.currentSummaryFile)) / 1048576.0;
        const std::string what = StrFormat("%d event(s): size / write time", events);
        bench::PrintFigure(what.c_str(), StrFormat("%.2f MiB %.3f s", mib, seconds),
            StrFormat("< %.0f MiB, < %.0f s", kTargetMiB, kTargetSeconds), mib < kTargetMiB && seconds < kTargetSeconds);
    }
    bench::PrintLoad("after");
    return 0;
}
