// Ten thousand program actions whose program ends at once: every start succeeds, the finished
// programs are collected as they end (no defunct children pile up), and the process keeps the
// same number of open descriptors throughout.

#include "faults/FaultFixture.h"

#include <algorithm>
#include <csignal>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kPrograms = 10000;
// Programs started a moment ago that have not been collected yet: each holds a descriptor (its
// pidfd) until then, and is defunct between its end and its collection. Process creation is slow
// on small virtual machines, so a few dozen may overlap; a leak would reach thousands.
constexpr size_t kInFlight = 64;

size_t Median(std::vector<size_t> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

class ProgramFlood : public FaultTest { };

TEST_F(ProgramFlood, TenThousandShortProgramsLeaveNoDefunctChildAndNoOpenDescriptor)
{
    Quorvel starter = Times(Endless(FileEvent("starter", dir.path())), kPrograms);
    starter.action = ACTION_PROGRAM;
    starter.sProgram = "true";
    project.AddEvent(starter);
    // Keeps the process alive after the programs, to see it at rest.
    project.AddEvent(EverySeconds(Endless(FileEvent("keeper", dir.path())), 3600));
    project.reportFile = dir.File("report.txt");
    RunningQuorvel quorvel(SaveProject(), Isolated());
    // Looks at the running program every few milliseconds from a thread of its own.
    std::vector<size_t> fds;
    size_t mostDefunct = 0;
    std::jthread sampler([&](const std::stop_token& stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(50ms)) {
            fds.push_back(OpenDescriptors(quorvel.Pid()));
            mostDefunct = std::max(mostDefunct, ChildrenOf(quorvel.Pid(), 'Z'));
        }
    });
    ASSERT_TRUE(quorvel.WaitFor("(starter) -> Completed", 1, 240s));
    sampler.request_stop();
    sampler.join();

    EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(quorvel.Pid(), 'Z') == 0; }, 2s));
    const size_t atRest = OpenDescriptors(quorvel.Pid());
    quorvel.Signal(SIGTERM);
    ASSERT_EQ(quorvel.Wait(), 0) << quorvel.Errors();

    EXPECT_EQ(quorvel.Count("(starter) -> Do action"), static_cast<size_t>(kPrograms));
    EXPECT_EQ(quorvel.Count("-> Action Error"), 0u);
    EXPECT_LE(mostDefunct, kInFlight);
    ASSERT_GE(fds.size(), 8u) << "the run was too short to watch";
    const size_t fewest = *std::min_element(fds.begin(), fds.end());
    EXPECT_LE(*std::max_element(fds.begin(), fds.end()), fewest + kInFlight);
    // Flat: the last quarter of the run has no more open than the first.
    const auto quarter = static_cast<std::ptrdiff_t>(fds.size() / 4);
    EXPECT_LE(Median({ fds.end() - quarter, fds.end() }), Median({ fds.begin(), fds.begin() + quarter }) + 4);
    EXPECT_LE(atRest, fewest + 2); // the collector's own wake-up descriptor may have come after
    EXPECT_EQ(ReportColumn(2).size(), static_cast<size_t>(kPrograms + 1)); // the starter's and the keeper's
}

} // namespace
