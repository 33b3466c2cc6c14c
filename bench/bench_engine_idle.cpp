// The processor time that a run costs while all of its events wait: 24 events in a one-hour
// interval, measured over 30 s once every one of them waits. Measured as `quorvel -c` runs (no
// status page, console lines), and with a status page, whose run loop serves the window between
// waits.
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"

#include <poll.h>
#include <unistd.h>

namespace {

constexpr auto kMeasure = std::chrono::seconds(30);
constexpr auto kStartLimit = std::chrono::seconds(60);
constexpr double kTargetPercent = 0.1;

// Standard output goes into a pipe while the object lives, so that the console lines of a run
// can be counted instead of printed.
class ConsoleCapture {
public:
    ConsoleCapture()
    {
        int ends[2];
        if (::pipe(ends) != 0)
            return;
        read_ = ends[0];
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
    }
    ~ConsoleCapture()
    {
        if (saved_ < 0)
            return;
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        ::close(read_);
    }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Reads console lines until `count` of them end with `ending`; false after `timeout`.
    bool WaitForLines(const std::string& ending, int count, std::chrono::seconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::string pending;
        int seen = 0;
        while (seen < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd fd { read_, POLLIN, 0 };
            char buffer[4096];
            if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                return false;
            const ssize_t got = ::read(read_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            pending.append(buffer, static_cast<size_t>(got));
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                if (end >= ending.size() && pending.compare(end - ending.size(), ending.size(), ending) == 0)
                    ++seen;
            }
        }
        return true;
    }

private:
    int read_ = -1;
    int saved_ = -1;
};

void AddWaitingEvents(QuorvelRunner& project, const bench::Workspace& workspace)
{
    project.reportFile = workspace.File("report.txt");
    for (int i = 0; i < kMaxEvents; ++i) {
        Quorvel event = bench::FileCheckEvent(StrFormat("idle %d", i), workspace.Watched());
        event.intType = INTERVAL_WAIT;
        event.iInterval = 1;
        event.intTimeType = UNIT_HOURS;
        project.events.push_back(event);
    }
}

// The share of one core that the process used over kMeasure; the events already wait.
double CpuPercentOverMeasure()
{
    const double cpuBefore = bench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_until(start + kMeasure);
    return 100.0 * (bench::ProcessCpuSeconds() - cpuBefore) / bench::SecondsSince(start);
}

// -1 when the events did not all begin to wait.
double ConsoleModePercent(const bench::Workspace& workspace)
{
    QuorvelRunner project;
    AddWaitingEvents(project, workspace);
    ConsoleCapture console;
    bench::BackgroundRun run(project, nullptr);
    if (!console.WaitForLines("-> Paused", kMaxEvents, kStartLimit))
        return -1;
    return CpuPercentOverMeasure();
}

double PageModePercent(const bench::Workspace& workspace)
{
    QuorvelRunner project;
    AddWaitingEvents(project, workspace);
    bench::StatusCounter page("Paused");
    bench::BackgroundRun run(project, &page);
    if (!page.WaitFor(kMaxEvents, kStartLimit))
        return -1;
    return CpuPercentOverMeasure();
}

} // namespace

int main()
{
    bench::Workspace workspace;
    std::printf("%d events waiting in a one-hour interval, process CPU over %lld s\n", kMaxEvents,
                static_cast<long long>(kMeasure.count()));
    bench::PrintLoad("before");
    const double console = ConsoleModePercent(workspace);
    const double page = PageModePercent(workspace);
    if (console < 0 || page < 0) {
        std::fputs("bench_engine_idle: the events did not all begin to wait\n", stderr);
        return 1;
    }
    bench::PrintFigure("share of one core, console mode (quorvel -c)", StrFormat("%.4f %%", console),
                       StrFormat("< %.1f %%", kTargetPercent), console < kTargetPercent);
    bench::PrintValue("share of one core, with a status page",
                      StrFormat("%.4f %% (its run loop serves the page every 25 ms)", page));
    bench::PrintLoad("after");
    return 0;
}
