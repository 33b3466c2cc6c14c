// Iterations per second of one file-check event without interval that writes the execution
// report, beside a plain loop that makes the same system calls: what the engine adds on top of
// the work it cannot avoid. First in this process with a status page that shows nothing, then as
// `quorvel -c` runs it, with its console lines to /dev/null, beside a C program that makes those
// system calls (bench/floor/rate_floor.c) and, when QUORVEL_BASELINE names one, another build. Rounds of the two alternate, so that a change in the machine's load
// hits both alike. Besides the rate by the clock, the rate per second of processor time: on a
// machine that others load, the share of the processor each round gets moves the first, while
// the second is the cost of an iteration.
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto kRound = std::chrono::seconds(3);
constexpr int kRounds = 3;
constexpr double kTargetRatio = 0.7;
constexpr int kConsoleIterations = 20000;
constexpr int kConsoleRounds = 7;
constexpr double kConsoleTargetRatio = 0.85;

// Iterations of one round, and the time they took by the clock and in processor time.
struct Round {
    double iterations = 0;
    double seconds = 0;
    double cpuSeconds = 0;

    double PerSecond() const { return seconds > 0 ? iterations / seconds : 0; }
    double PerCpuSecond() const { return cpuSeconds > 0 ? iterations / cpuSeconds : 0; }
};

// Times what `body` does; `body` returns the number of iterations.
template <typename Body> Round Measure(Body body)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = bench::ProcessCpuSeconds();
    Round round;
    round.iterations = body(start + kRound);
    round.cpuSeconds = bench::ProcessCpuSeconds() - cpuStart;
    round.seconds = bench::SecondsSince(start);
    return round;
}

// The engine's iterations until `deadline`: it runs on its worker thread while this one sleeps.
long EngineIterations(const std::string& watched, const std::string& report,
                      std::chrono::steady_clock::time_point deadline)
{
    QuorvelRunner project;
    project.reportFile = report;
    project.events.push_back(bench::FileCheckEvent("rate", watched));
    bench::SilentPage page;
    {
        bench::BackgroundRun run(project, &page);
        page.WaitForRows(1, std::chrono::seconds(10));
        std::this_thread::sleep_until(deadline);
    }
    return project.events[0].execCount;
}

// The least a file check that reports could do: look at the file, take its size, append one
// UTF-16LE line under an exclusive lock to a report that exists, as the engine's does after its
// first line (an open that may create the file costs more).
long PlainIterations(const std::string& watched, const std::string& report,
                     std::chrono::steady_clock::time_point deadline)
{
    std::ofstream(report, std::ios::binary) << "\xFF\xFE";
    long iterations = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat st {};
        if (::access(watched.c_str(), F_OK) != 0 || ::stat(watched.c_str(), &st) != 0)
            return 0;
        const std::string line = Utf8ToUtf16Le(
            StrFormat("06-Dec-2026\t12:00:00.000\trate\t0\t0\t0\t0\t0\tOK\t%d\r\n", static_cast<int>(st.st_size)));
        const int fd = ::open(report.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            return 0;
        ::flock(fd, LOCK_EX);
        const ssize_t written = ::write(fd, line.data(), line.size());
        ::close(fd); // also releases the lock
        if (written != static_cast<ssize_t>(line.size()))
            return 0;
        ++iterations;
    }
    return iterations;
}

double Best(const std::vector<Round>& rounds, double (Round::*rate)() const)
{
    double best = 0;
    for (const Round& round : rounds)
        best = std::max(best, (round.*rate)());
    return best;
}

// The best round of each: the one least disturbed by whatever else the machine was doing.
void PrintComparison(const char* what, const std::vector<Round>& engine, const std::vector<Round>& plain,
                     double (Round::*rate)() const)
{
    const double bestEngine = Best(engine, rate);
    const double bestPlain = Best(plain, rate);
    const double ratio = bestPlain > 0 ? bestEngine / bestPlain : 0;
    bench::PrintValue(StrFormat("%s, best round", what).c_str(),
                      StrFormat("engine %.0f, plain loop %.0f", bestEngine, bestPlain));
    bench::PrintFigure("  engine / plain loop", StrFormat("%.2f", ratio),
                       StrFormat(">= %.1f", kTargetRatio), ratio >= kTargetRatio);
}

struct Program {
    std::string label;
    std::vector<std::string> command;
};

// The console runs: each program kConsoleRounds times, taking turns, and the least processor time
// and the least wall time of each (the runs least disturbed by the rest of the machine).
void CompareConsoleRuns(const bench::Workspace& workspace, const std::string& watched)
{
    const std::string report = workspace.File("console-report.txt");
    Quorvel event = bench::FileCheckEvent("rate", watched);
    event.iterType = ITER_COUNT;
    event.iExecs = kConsoleIterations;
    QuorvelRunner project;
    project.reportFile = report;
    project.events.push_back(event);
    const std::string projectFile = workspace.File("rate.qvl");
    if (project.Save(projectFile) != 0)
        std::fprintf(stderr, "cannot save %s\n", projectFile.c_str());
    std::vector<Program> programs {
        { "floor (C program, the same system calls)", { QUORVEL_RATE_FLOOR_BINARY, watched, report,
                                                         std::to_string(kConsoleIterations) } },
        { "floor with 3 console lines per iteration", { QUORVEL_RATE_FLOOR_BINARY, watched, report,
                                                         std::to_string(kConsoleIterations), "3" } },
        { "the same with a second thread waiting", { QUORVEL_RATE_FLOOR_BINARY, watched, report,
                                                      std::to_string(kConsoleIterations), "3", "2" } },
        { "quorvel -c", { QUORVEL_BINARY, "-c", projectFile } } };
    if (const char* baseline = std::getenv("QUORVEL_BASELINE"); baseline != nullptr && *baseline != '\0')
        programs.push_back({ "baseline -c (QUORVEL_BASELINE)", { baseline, "-c", projectFile } });
    ::setenv("XDG_CONFIG_HOME", workspace.File("config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", workspace.File("state").c_str(), 1);
    std::printf("Console run of the same event, %d iterations, lines to /dev/null (%d rounds, taking turns)\n",
                kConsoleIterations, kConsoleRounds);
    std::vector<bench::Usage> best(programs.size(), bench::Usage { 1e18, 0, 1e18 });
    for (int round = 0; round < kConsoleRounds; ++round)
        for (size_t i = 0; i < programs.size(); ++i) {
            std::filesystem::remove(report);
            const bench::Usage usage = bench::RunToEnd(programs[i].command);
            best[i].cpuMs = std::min(best[i].cpuMs, usage.cpuMs);
            best[i].wallMs = std::min(best[i].wallMs, usage.wallMs);
        }
    std::filesystem::remove(report);
    for (size_t i = 0; i < programs.size(); ++i)
        bench::PrintValue(programs[i].label.c_str(),
                          StrFormat("%.1f ms processor, %.1f ms wall (%.2f us per iteration)", best[i].cpuMs,
                                    best[i].wallMs, best[i].cpuMs * 1e3 / kConsoleIterations));
    // Against the floor (the system calls alone), and for information against the floor that
    // also writes the three status lines (Executing, Check passed, Do action), alone and with a
    // second thread waiting as quorvel's main thread does.
    for (size_t i = 3; i < programs.size(); ++i) {
        std::string what = programs[i].label.substr(0, programs[i].label.find(" -c"));
        bench::PrintValue((what + " / floor with its lines, per CPU-second").c_str(),
                          StrFormat("%.2f", best[1].cpuMs / best[i].cpuMs));
        bench::PrintValue((what + " / the same with two threads").c_str(),
                          StrFormat("%.2f", best[2].cpuMs / best[i].cpuMs));
        const double byCpu = best[0].cpuMs / best[i].cpuMs;
        const double byClock = best[0].wallMs / best[i].wallMs;
        what += " / floor";
        bench::PrintFigure((what + ", per CPU-second").c_str(), StrFormat("%.2f", byCpu),
                           StrFormat(">= %.2f", kConsoleTargetRatio), byCpu >= kConsoleTargetRatio);
        bench::PrintFigure((what + ", by the clock").c_str(), StrFormat("%.2f", byClock),
                           StrFormat(">= %.2f", kConsoleTargetRatio), byClock >= kConsoleTargetRatio);
    }
}

} // namespace

int main()
{
    bench::Workspace workspace;
    const std::string watched = workspace.Watched();
    const std::string report = workspace.File("report.txt");

    std::printf("One file-check event, no interval, writing the execution report (%d alternating rounds of %lld s)\n",
                kRounds, static_cast<long long>(kRound.count()));
    bench::PrintLoad("before");
    std::vector<Round> engine;
    std::vector<Round> plain;
    for (int round = 0; round < kRounds; ++round) {
        engine.push_back(Measure([&](auto deadline) { return EngineIterations(watched, report, deadline); }));
        std::filesystem::remove(report);
        plain.push_back(Measure([&](auto deadline) { return PlainIterations(watched, report, deadline); }));
        std::filesystem::remove(report);
        std::printf("  round %d: engine %.0f/s (%.0f per CPU-second), plain loop %.0f/s (%.0f per CPU-second)\n",
                    round + 1, engine.back().PerSecond(), engine.back().PerCpuSecond(), plain.back().PerSecond(),
                    plain.back().PerCpuSecond());
    }
    PrintComparison("iterations per second", engine, plain, &Round::PerSecond);
    PrintComparison("iterations per CPU-second", engine, plain, &Round::PerCpuSecond);
    CompareConsoleRuns(workspace, watched);
    bench::PrintLoad("after");
    return 0;
}
