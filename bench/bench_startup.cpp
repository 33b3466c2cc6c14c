// What a start costs: processor time and peak resident size of `quorvel --version`, of a console
// run of a one-event file-check project and of 24 file checks a second for 10 s, beside a C
// program that does nothing (the floor) and, when QUORVEL_BASELINE names one, another build of
// quorvel (the one that linked every database and HTTP library). Then what loading the PostgreSQL
// module on the first connect adds, and a one-event PostgreSQL project end to end.
#include "bench/EngineBench.h"
#include "external/db/DriverModule.h"
#include "external/support/StrFormat.h"

#include <algorithm>
#include <unistd.h>

namespace {

constexpr int kStartRuns = 21;
constexpr double kFloorCpuMarginMs = 3;
constexpr double kFloorRssMarginMB = 2;
constexpr double kRateRssTargetMB = 6;
constexpr double kModuleLoadTargetMs = 5;

using bench::Usage;

Usage Run(const std::vector<std::string>& args)
{
    return bench::RunToEnd(args);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Program {
    std::string label;
    std::string path;
};

// The medians of kStartRuns runs of each program with `args`, the programs taking turns so that
// a change in the machine's load touches all alike.
std::vector<Usage> Medians(const std::vector<Program>& programs, const std::vector<std::string>& args, int runs)
{
    std::vector<std::vector<Usage>> all(programs.size());
    for (int run = 0; run < runs; ++run)
        for (size_t i = 0; i < programs.size(); ++i) {
            std::vector<std::string> command { programs[i].path };
            command.insert(command.end(), args.begin(), args.end());
            all[i].push_back(Run(command));
        }
    std::vector<Usage> medians;
    for (const std::vector<Usage>& usages : all) {
        std::vector<double> cpu, rss, wall;
        for (const Usage& usage : usages) {
            cpu.push_back(usage.cpuMs);
            rss.push_back(usage.rssMB);
            wall.push_back(usage.wallMs);
        }
        medians.push_back(Usage { Median(cpu), Median(rss), Median(wall) });
    }
    return medians;
}

void PrintUsage(const std::string& label, const Usage& usage)
{
    bench::PrintValue(label.c_str(),
        StrFormat("%.1f ms processor, %.1f MB peak RSS, %.0f ms wall", usage.cpuMs, usage.rssMB, usage.wallMs));
}

std::string SaveProject(const bench::Workspace& workspace, const std::string& name, std::vector<Quorvel> events)
{
    QuorvelRunner project;
    project.events = std::move(events);
    const std::string path = workspace.File(name);
    if (project.Save(path) != 0)
        std::fprintf(stderr, "cannot save %s\n", path.c_str());
    return path;
}

// Start-up figures of `args` for the floor, quorvel and the baseline, against the floor.
void CompareStarts(const char* title, const std::vector<Program>& programs, const std::vector<std::string>& args)
{
    std::printf("%s, median of %d runs\n", title, kStartRuns);
    const std::vector<Usage> medians = Medians(programs, args, kStartRuns);
    for (size_t i = 0; i < programs.size(); ++i)
        PrintUsage(programs[i].label, medians[i]);
    const Usage& floor = medians[0];
    const Usage& quorvel = medians[1];
    bench::PrintFigure("processor time above the floor", StrFormat("%.1f ms", quorvel.cpuMs - floor.cpuMs),
        StrFormat("<= %.0f ms", kFloorCpuMarginMs), quorvel.cpuMs - floor.cpuMs <= kFloorCpuMarginMs);
    bench::PrintFigure("peak RSS above the floor", StrFormat("%.1f MB", quorvel.rssMB - floor.rssMB),
        StrFormat("<= %.0f MB", kFloorRssMarginMB), quorvel.rssMB - floor.rssMB <= kFloorRssMarginMB);
}

// 24 file-check events, each checking once a second for 10 s.
void CompareRate(const bench::Workspace& workspace, const std::vector<Program>& programs)
{
    std::vector<Quorvel> events;
    for (int i = 0; i < 24; ++i) {
        Quorvel event = bench::FileCheckEvent(StrFormat("file %d", i), workspace.Watched());
        event.iterType = ITER_COUNT;
        event.iExecs = 10;
        event.intType = INTERVAL_WAIT;
        event.iInterval = 1;
        event.intTimeType = UNIT_SECONDS;
        events.push_back(event);
    }
    const std::string project = SaveProject(workspace, "rate.qvl", events);
    std::printf("24 file checks a second for 10 s, one run each\n");
    std::vector<Usage> usages;
    for (size_t i = 1; i < programs.size(); ++i) {
        usages.push_back(Run({ programs[i].path, "-c", project }));
        PrintUsage(programs[i].label, usages.back());
    }
    bench::PrintFigure("peak RSS", StrFormat("%.1f MB", usages[0].rssMB), StrFormat("<= %.0f MB", kRateRssTargetMB),
        usages[0].rssMB <= kRateRssTargetMB);
    if (usages.size() > 1)
        bench::PrintFigure("processor time against the baseline",
            StrFormat("%.0f / %.0f ms", usages[0].cpuMs, usages[1].cpuMs), "not more",
            usages[0].cpuMs <= usages[1].cpuMs);
}

// What the first PostgreSQL connection pays for loading the module, in a fresh process each time.
void ModuleLoadCost()
{
    std::vector<double> costs, cpu;
    for (int run = 0; run < kStartRuns; ++run) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuBefore = bench::ProcessCpuSeconds();
            std::string error;
            const bool loaded = LoadDriverModule(DS_POSTGRES, &error) != nullptr;
            const double ms[2]
                = { loaded ? bench::SecondsSince(start) * 1e3 : -1, (bench::ProcessCpuSeconds() - cpuBefore) * 1e3 };
            if (!loaded)
                std::fprintf(stderr, "%s\n", error.c_str());
            ::_exit(::write(fds[1], ms, sizeof ms) == sizeof ms ? 0 : 1);
        }
        double ms[2] = { -1, -1 };
        if (::read(fds[0], ms, sizeof ms) != sizeof ms)
            ms[0] = -1;
        ::waitpid(pid, nullptr, 0);
        ::close(fds[0]);
        ::close(fds[1]);
        costs.push_back(ms[0]);
        cpu.push_back(ms[1]);
    }
    const double median = Median(costs);
    std::printf("PostgreSQL module loaded by the first connect, median of %d fresh processes\n", kStartRuns);
    bench::PrintFigure("added to the first connect", StrFormat("%.1f ms", median),
        StrFormat("<= %.0f ms", kModuleLoadTargetMs), median >= 0 && median <= kModuleLoadTargetMs);
    bench::PrintValue("of which processor time", StrFormat("%.1f ms", Median(cpu)));
}

} // namespace

int main()
{
    bench::Workspace workspace;
    // The programs started here keep their preferences and log in the workspace too.
    ::setenv("XDG_CONFIG_HOME", workspace.File("config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", workspace.File("state").c_str(), 1);

    std::vector<Program> programs { { "floor (a C program that does nothing)", QUORVEL_FLOOR_BINARY },
        { "quorvel", QUORVEL_BINARY } };
    // The same do-nothing program linked with the libraries that quorvel always links: what of
    // the distance to the floor they account for.
    std::vector<Program> floors { programs[0],
        { "floor linked with libstdc++, libsqlite3, toml++", QUORVEL_FLOOR_LIBS_BINARY } };
    if (const char* baseline = std::getenv("QUORVEL_BASELINE"); baseline != nullptr && *baseline != '\0')
        programs.push_back({ "baseline (QUORVEL_BASELINE)", baseline });
    else
        std::printf("(set QUORVEL_BASELINE to a quorvel of another build to compare with it)\n");
    bench::PrintLoad("before");

    std::printf("do-nothing programs, median of %d runs\n", kStartRuns);
    const std::vector<Usage> floorUsages = Medians(floors, {}, kStartRuns);
    for (size_t i = 0; i < floors.size(); ++i)
        PrintUsage(floors[i].label, floorUsages[i]);
    CompareStarts("quorvel --version", programs, { "--version" });
    Quorvel once = bench::FileCheckEvent("once", workspace.Watched());
    once.iterType = ITER_ONCE;
    CompareStarts("console run of a one-event file-check project", programs,
        { "-c", SaveProject(workspace, "once.qvl", { once }) });
    CompareRate(workspace, programs);
    ModuleLoadCost();

    if (const char* pg = std::getenv("QUORVEL_TEST_PG"); pg != nullptr) {
        Quorvel event;
        event.EventNote = "pg";
        event.type = EVENT_SQL;
        event.SQL = "SELECT 1";
        event.checkConn.type = DS_POSTGRES;
        event.checkConn.target = pg;
        event.actionConn = event.checkConn;
        event.iterType = ITER_ONCE;
        std::vector<Program> quorvels(programs.begin() + 1, programs.end());
        std::printf(
            "console run of a one-event PostgreSQL project (start, connect, query), median of %d runs\n", kStartRuns);
        const std::vector<Usage> medians
            = Medians(quorvels, { "-c", SaveProject(workspace, "pg.qvl", { event }) }, kStartRuns);
        for (size_t i = 0; i < quorvels.size(); ++i)
            PrintUsage(quorvels[i].label, medians[i]);
    }
    bench::PrintLoad("after");
    return 0;
}
