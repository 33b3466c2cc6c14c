// Memory of a long run: the resident set before and after 1,000,000 iterations of one file-check
// event without report and without interval. An event may run for months; nothing that one
// iteration allocates may stay.
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"

namespace {

constexpr int kIterations = 1000000;
constexpr long kTargetGrowthKiB = 5 * 1024;

} // namespace

int main()
{
    bench::Workspace workspace;
    QuorvelRunner project; // no report file
    Quorvel event = bench::FileCheckEvent("memory", workspace.Watched());
    event.iterType = ITER_COUNT;
    event.iExecs = kIterations;
    project.events.push_back(event);

    std::printf("%d iterations of one file-check event, no report, no interval\n", kIterations);
    bench::PrintLoad("before");
    bench::SilentPage page;
    const long before = bench::VmRssKiB();
    const auto start = std::chrono::steady_clock::now();
    {
        bench::BackgroundRun run(project, &page);
        run.Join();
    }
    const double elapsed = bench::SecondsSince(start);
    const long after = bench::VmRssKiB();
    const long growth = after - before;
    bench::PrintValue("iterations done", StrFormat("%d in %.1f s", project.events[0].execCount, elapsed));
    bench::PrintValue("VmRSS before / after", StrFormat("%ld KiB / %ld KiB", before, after));
    bench::PrintFigure("VmRSS growth", StrFormat("%ld KiB", growth), StrFormat("< %ld KiB", kTargetGrowthKiB),
                       growth < kTargetGrowthKiB);
    bench::PrintLoad("after");
    return 0;
}
