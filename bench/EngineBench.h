// What the engine benchmarks share: a private folder with its own preferences and program log,
// status pages that cost next to nothing, a project run on a thread of its own, and readings of
// the process from /proc and getrusage. Header only: every bench/*.cpp is a program of its own.
#pragma once

#include "BenchSupport.h"
#include "engine/RunControl.h"
#include "engine/StatusPage.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "model/QuorvelRunner.h"
#include "tests/support/TestEvents.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench {

// A temporary folder holding the preferences and the program log of the benchmark, so that a run
// neither reads the user's preferences nor writes to the user's program log. Removed at the end.
class Workspace {
public:
    Workspace() : settings_(std::make_unique<CSettings>(File("settings.toml")))
    {
        std::ofstream(Watched()) << "looked at by the file checks\n";
        g_settings = settings_.get();
        CLog::SetPath(File("quorvel.log"));
    }
    ~Workspace()
    {
        CLog::SetPath("");
        g_settings = nullptr;
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    std::string File(const std::string& name) const { return dir_.File(name); }
    // A file that exists, for file checks that pass.
    std::string Watched() const { return File("watched.txt"); }

private:
    ScratchDir dir_;
    std::unique_ptr<CSettings> settings_;
};

// Shows nothing. Without a page the engine writes a console line per status, and the terminal
// would then be what is measured. Counts the rows added, one per event, at its first status.
class SilentPage : public StatusPage {
public:
    void ClearLists() override {}
    void EnableRunControls(bool) override {}
    int AddActiveRow(Quorvel&, const std::string& text) override
    {
        ++rows_;
        SetRowStatus(0, text);
        return 0;
    }
    void SetRowStatus(int, const std::string&) override {}
    void KeepAlive() override {}

    // Waits until `count` events have posted their first status; false after `timeout`.
    bool WaitForRows(int count, std::chrono::seconds timeout) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (rows_.load() < count) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

private:
    std::atomic<int> rows_ {0};
};

// Counts the posts of one status text, and lets a benchmark wait until there were enough.
class StatusCounter : public SilentPage {
public:
    explicit StatusCounter(std::string status) : status_(std::move(status)) {}
    void SetRowStatus(int, const std::string& text) override
    {
        if (text != status_)
            return;
        std::lock_guard lock(mutex_);
        ++count_;
        reached_.notify_all();
    }
    // False when `count` posts did not come within `timeout`.
    bool WaitFor(int count, std::chrono::seconds timeout)
    {
        std::unique_lock lock(mutex_);
        return reached_.wait_for(lock, timeout, [&] { return count_ >= count; });
    }

private:
    const std::string status_;
    std::mutex mutex_;
    std::condition_variable reached_;
    int count_ = 0;
};

// Runs a project on a thread of its own until the project ends by itself or Stop() breaks it.
// `page` may be null for a console-mode run. Run clears the break flag of an earlier run before
// the first status is posted: callers stop a run only after they have seen a status of it.
class BackgroundRun {
public:
    BackgroundRun(QuorvelRunner& project, StatusPage* page)
        : thread_([&project, page] { project.Run(page, nullptr); })
    {
    }
    ~BackgroundRun() { Stop(); }
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    void Stop()
    {
        if (!thread_.joinable())
            return;
        BreakAll();
        thread_.join();
    }
    // Waits for a run that ends by itself (a fixed number of iterations).
    void Join()
    {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};

// A file check without action, condition "always", no first delay; it runs without end and
// without interval until the caller changes that.
inline Quorvel FileCheckEvent(const std::string& note, const std::string& path)
{
    Quorvel event = FileEvent(note, path);
    event.iterType = ITER_ENDLESS;
    return event;
}

// The resident set of this process in KiB, from /proc/self/status; -1 when unreadable.
inline long VmRssKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// User plus system time of the whole process so far.
inline double ProcessCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What a program run to its end cost: processor time (user + system), peak resident size, wall.
struct Usage {
    double cpuMs = 0;
    double rssMB = 0;
    double wallMs = 0;
};

// Runs `args` to its end with its output thrown away (standard output to /dev/null, as a console
// run whose lines nobody reads). Forked, not spawned with a shared address space: the kernel counts
// the peak of the address space that exec replaces too, which for a fork is the little this
// process has written, while for a vfork it would be all of this process.
inline Usage RunToEnd(const std::vector<std::string>& args)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127)
        std::fprintf(stderr, "%s did not run to its end (status %d)\n", args[0].c_str(), status);
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return Usage { ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss / 1024.0, wallMs };
}

// The three load averages, as /proc/loadavg has them: the figures mean little without them on a
// machine that others share.
inline std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One result line: the figure, its target, and whether it was met.
inline void PrintFigure(const char* what, const std::string& figure, const std::string& target, bool met)
{
    std::printf("  %-46s %-16s target %-12s %s\n", what, figure.c_str(), target.c_str(), met ? "met" : "MISSED");
}

// A figure that has no target of its own.
inline void PrintValue(const char* what, const std::string& figure)
{
    std::printf("  %-46s %s\n", what, figure.c_str());
}

inline void PrintLoad(const char* when)
{
    std::printf("  load average %s: %s\n", when, LoadAverage().c_str());
}

} // namespace bench
