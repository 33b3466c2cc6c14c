#pragma once

// What the database benchmarks share: the table they read, the work done through CDB, and a
// reporter that puts each piece of work through CDB beside the same work on the driver's own
// C API. A benchmark named "kind/work/quorvel" is compared with every "kind/work/<variant>".

#include "external/db/CDB.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace bench {

inline constexpr int kRows = 10000;
inline constexpr const char* kCountSql = "SELECT count(*) FROM bench_items";
inline constexpr const char* kRowsSql = "SELECT id, name, amount FROM bench_items";

// Accepted alike by SQLite and PostgreSQL.
inline constexpr const char* kSetupSql[] = {
    "DROP TABLE IF EXISTS bench_items",
    "CREATE TABLE bench_items (id INTEGER, name VARCHAR(40), amount REAL)",
    "INSERT INTO bench_items WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 10000) "
    "SELECT x, 'item ' || x, x * 0.5 FROM n",
};

// A folder for the benchmark's files, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/quorvel-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string RequireEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        std::fprintf(stderr, "%s is not set: run the benchmarks through `make bench`\n", name);
        std::exit(1);
    }
    return value;
}

inline std::unique_ptr<CDB> ConnectOrExit(const CONN_INFO& info)
{
    std::unique_ptr<CDB> db = CDB::newDB(info.type);
    if (!CDB::isOK(db->connect(&info))) {
        std::fprintf(stderr, "connect: %s\n", db->errorText.c_str());
        std::exit(1);
    }
    return db;
}

// The same table for MariaDB/MySQL, where "||" is no concatenation and INSERT takes no WITH.
inline constexpr const char* kMariaDbSetupSql[] = {
    "DROP TABLE IF EXISTS bench_items",
    "CREATE TABLE bench_items (id INTEGER, name VARCHAR(40), amount REAL)",
    "INSERT INTO bench_items SELECT seq, CONCAT('item ', seq), seq * 0.5 FROM seq_1_to_10000",
};

inline void CreateTable(const CONN_INFO& info, std::span<const char* const> setup = kSetupSql)
{
    std::unique_ptr<CDB> db = ConnectOrExit(info);
    for (const char* sql : setup) {
        if (!CDB::isOK(db->execute(sql, 0))) {
            std::fprintf(stderr, "%s: %s\n", sql, db->errorText.c_str());
            std::exit(1);
        }
    }
}

// One execute and one fetch of a single value, as an SQL check with "FetchAll" off does it.
inline void QuorvelCount(benchmark::State& state, const CONN_INFO& info)
{
    std::unique_ptr<CDB> db = ConnectOrExit(info);
    std::string value;
    for (auto _ : state) {
        db->closeCursor(0);
        db->execute(kCountSql, 0);
        db->fetch(0);
        db->getData(1, &value, 0, 0, 0);
        benchmark::DoNotOptimize(value);
    }
}

// Every row of the table with every column as text.
inline void QuorvelRows(benchmark::State& state, const CONN_INFO& info)
{
    std::unique_ptr<CDB> db = ConnectOrExit(info);
    std::string value;
    for (auto _ : state) {
        db->closeCursor(0);
        db->execute(kRowsSql, 0);
        int rows = 0;
        for (; CDB::isOK(db->fetch(0)); ++rows) {
            for (int column = 1; column <= 3; ++column) {
                db->getData(column, &value, 0, 0, 0);
                benchmark::DoNotOptimize(value);
            }
        }
        if (rows != kRows)
            state.SkipWithError("wrong number of rows");
    }
}

// Registers a benchmark that also reports the fastest of its repetitions: on a machine shared
// with other work, the fastest run is the one least disturbed.
template <class... Args> void Register(const std::string& name, Args&&... args)
{
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

inline void RegisterQuorvel(const std::string& kind, const CONN_INFO& info)
{
    Register(kind + "/count/quorvel", QuorvelCount, info);
    Register(kind + "/10k-rows/quorvel", QuorvelRows, info);
}

// The console output of Google Benchmark, then a table with the time of each piece of work
// through CDB and on the C API, and their ratio. Wall time includes the server's work and
// whatever else the machine does; the process's CPU time is the client library's own cost.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions, the fastest stands for the benchmark.
            const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !fastest))
                continue;
            const double toMicroseconds = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            times_[run.run_name.function_name]
                = { run.GetAdjustedRealTime() * toMicroseconds, run.GetAdjustedCPUTime() * toMicroseconds };
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-22s %-8s %12s %12s %7s %12s %12s %7s\n", "work", "C API", "wall quorvel", "wall C API",
            "ratio", "CPU quorvel", "CPU C API", "ratio");
        for (const auto& [name, direct] : times_) {
            const size_t slash = name.rfind('/');
            const std::string work = name.substr(0, slash);
            const std::string variant = name.substr(slash + 1);
            const auto quorvel = times_.find(work + "/quorvel");
            if (variant == "quorvel" || quorvel == times_.end())
                continue;
            const Times& q = quorvel->second;
            std::printf("%-22s %-8s %9.1f us %9.1f us %7.3f %9.1f us %9.1f us %7.3f\n", work.c_str(), variant.c_str(),
                q.wall, direct.wall, q.wall / direct.wall, q.cpu, direct.cpu, q.cpu / direct.cpu);
        }
        std::fflush(stdout);
    }

private:
    struct Times {
        double wall = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> times_;
};

// Repeated runs in random order by default, so that a burst of other work on the machine does
// not fall on one side of a comparison only; options on the command line take precedence.
inline int RunAll(int argc, char** argv)
{
    std::vector<char*> args { argv[0] };
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    std::string aggregatesOnly = "--benchmark_display_aggregates_only=true";
    args.push_back(repetitions.data());
    args.push_back(interleaving.data());
    args.push_back(aggregatesOnly.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
