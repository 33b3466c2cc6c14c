#pragma once

#include "external/support/UniqueFd.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// A quorvel running a project in console mode, or any program (args[0] searched on PATH), with
// `env` ("NAME=value" entries) replacing or adding to the test's own environment. A thread of its
// own reads the program's standard output and error all the time, so a program that prints a lot
// never blocks on a full pipe.
class RunningQuorvel {
public:
    explicit RunningQuorvel(const std::string& project, const std::vector<std::string>& env = {});
    RunningQuorvel(std::vector<std::string> args, const std::vector<std::string>& env);
    // Kills (SIGKILL) and reaps the program when it still runs.
    ~RunningQuorvel();
    RunningQuorvel(const RunningQuorvel&) = delete;
    RunningQuorvel& operator=(const RunningQuorvel&) = delete;

    // Waits until standard output holds `text` at least `count` times, or `timeout` has passed.
    bool WaitFor(
        const std::string& text, size_t count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // How often `text` occurs in standard output so far.
    size_t Count(const std::string& text) const;

    void Signal(int sig);
    // Waits for the end; the exit status, or 128 + the signal that ended it.
    int Wait();
    pid_t Pid() const { return pid_; }

    // Standard output and error so far (all of it once Wait has returned).
    std::string Output() const;
    std::string Errors() const;

private:
    void Spawn(std::vector<std::string> args, const std::vector<std::string>& env, int out, int err);
    void Read(UniqueFd& out, UniqueFd& err);

    pid_t pid_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable grown_;
    std::string output_; // guarded by mutex_
    std::string errors_; // guarded by mutex_
    bool ended_ = false; // guarded by mutex_: both pipes are at their end
};
