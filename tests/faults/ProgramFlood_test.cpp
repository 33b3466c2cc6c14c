// Ten thousand program actions whose program ends at once: every start succeeds, the finished
// programs are collected as they end (no defunct children pile up), and the process keeps the
// same number of open descriptors throughout.

#include "engine/Actions.h"
#include "external/support/FileOps.h"
#include "external/support/StrFormat.h"
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
    project.AddEvent(WithAction(Times(Endless(FileEvent("starter", dir.path())), kPrograms), ACTION_PROGRAM, "true"));
    // Keeps the process alive after the programs, to see it at rest.
    project.AddEvent(EverySeconds(Endless(FileEvent("keeper", dir.path())), 3600));
    project.reportFile = dir.File("report.txt");
    RunningQuorvel quorvel(SaveProject(), Isolated());
    // Watched from the first program on: before it, the run is still opening what it keeps open.
    ASSERT_TRUE(quorvel.WaitFor("(starter) -> Do action", 1, 60s));
    // Looks at the running program every few milliseconds from a thread of its own.
    std::vector<size_t> fds;
    size_t mostDefunct = 0;
    std::jthread sampler([&](const std::stop_token& stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(50ms)) {
            fds.push_back(OpenDescriptors(quorvel.Pid()));
            mostDefunct = std::max(mostDefunct, ChildrenOf(quorvel.Pid(), 'Z').size());
        }
    });
    ASSERT_TRUE(quorvel.WaitFor("(starter) -> Completed", 1, 240s));
    sampler.request_stop();
    sampler.join();

    EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(quorvel.Pid(), 'Z').empty(); }, 2s));
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

// Programs that do not end: each event runs at most kProgramsPerEvent of them at a time, and
// the process keeps descriptors to spare for its files even under a low limit. Every iteration
// still has its report line, each refusal is an "Action Error", and standard error says why once
// per event.
TEST_F(ProgramFlood, ProgramsThatKeepRunningAreBoundedAndTheFilesStillGetDescriptors)
{
    constexpr int kEvents = 24;
    constexpr int kIterations = 12;
    // The programs outlive the run (also a slow one), not the test by much.
    for (int i = 0; i < kEvents; ++i)
        project.AddEvent(
            WithAction(Times(Endless(FileEvent("starter " + std::to_string(i + 1), dir.path())), kIterations),
                ACTION_PROGRAM, "sleep 10"));
    project.reportFile = dir.File("report.txt");
    project.summaryFile = dir.File("summary.html");
    const std::string path = SaveProject();
    RunningQuorvel quorvel({ "prlimit", "--nofile=256:256", QUORVEL_BINARY, "-c", path }, Isolated());
    ASSERT_EQ(quorvel.Wait(), 0) << quorvel.Errors();

    EXPECT_EQ(ReportColumn(2).size(), static_cast<size_t>(kEvents * kIterations));
    EXPECT_TRUE(PathExists(project.summaryFile));
    const size_t refused = quorvel.Count("-> Action Error");
    EXPECT_GE(refused, static_cast<size_t>(kEvents * (kIterations - kProgramsPerEvent)));
    const std::string errors = quorvel.Errors();
    for (int i = 1; i <= kEvents; ++i) {
        const std::string event = StrFormat("event %d \"starter %d\": action failed: sleep not started: ", i, i);
        EXPECT_NE(errors.find(event), std::string::npos) << event << "\n" << errors;
    }
    EXPECT_EQ(errors.find("Too many open files"), std::string::npos) << errors;
    EXPECT_EQ(LogCount("ReportFile"), 0u) << ProgramLog();
}

} // namespace
