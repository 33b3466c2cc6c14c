// Schedule accuracy: 20 iterations of one event at a 1 s interval. The ideal schedule puts the
// last start 19 s after the first; the drift is how far the last start lies from that. Start
// times are the steady_clock readings at which the event posts "Executing".
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kIterations = 20;
constexpr auto kInterval = std::chrono::seconds(1);
constexpr double kTargetDriftMs = 20;

using Clock = std::chrono::steady_clock;

// Keeps the time of every "Executing".
class StartRecorder : public bench::SilentPage {
public:
    StartRecorder() { starts_.reserve(kIterations); }
    void SetRowStatus(int, const std::string& text) override
    {
        if (text != "Executing")
            return;
        const Clock::time_point now = Clock::now();
        std::lock_guard lock(mutex_);
        starts_.push_back(now);
    }
    std::vector<Clock::time_point> Starts() const
    {
        std::lock_guard lock(mutex_);
        return starts_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Clock::time_point> starts_;
};

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main()
{
    bench::Workspace workspace;
    QuorvelRunner project;
    project.reportFile = workspace.File("report.txt");
    Quorvel event = bench::FileCheckEvent("schedule", workspace.Watched());
    event.iterType = ITER_COUNT;
    event.iExecs = kIterations;
    event.intType = INTERVAL_WAIT;
    event.iInterval = static_cast<int>(kInterval.count());
    event.intTimeType = UNIT_SECONDS;
    project.events.push_back(event);

    std::printf("%d iterations at a %lld s interval\n", kIterations, static_cast<long long>(kInterval.count()));
    bench::PrintLoad("before");
    StartRecorder page;
    {
        bench::BackgroundRun run(project, &page);
        run.Join();
    }
    const std::vector<Clock::time_point> starts = page.Starts();
    if (starts.size() != static_cast<size_t>(kIterations)) {
        std::fprintf(stderr, "bench_engine_schedule: %zu iterations instead of %d\n", starts.size(), kIterations);
        return 1;
    }
    // How late each start is against the ideal schedule: lateness that adds up grows from start
    // to start, while the lateness of single wake-ups on a busy machine does not.
    std::vector<double> late;
    for (size_t i = 1; i < starts.size(); ++i)
        late.push_back(Milliseconds(starts[i] - starts.front() - static_cast<int>(i) * kInterval));
    const double drift = late.back();
    std::sort(late.begin(), late.end());
    bench::PrintValue("starts after the ideal schedule, median", StrFormat("%.2f ms", late[late.size() / 2]));
    bench::PrintValue("starts after the ideal schedule, latest", StrFormat("%.2f ms", late.back()));
    bench::PrintFigure("drift of the last start", StrFormat("%.2f ms", drift),
                       StrFormat("< %.0f ms", kTargetDriftMs), std::fabs(drift) < kTargetDriftMs);
    bench::PrintLoad("after");
    return 0;
}
