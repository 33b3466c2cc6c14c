#pragma once

#include "support/Files.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A folder that exists for the life of the object and is removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A SQLite database file at `path` made with `sql`; the path. The driver never creates a database,
// so the tests make their files beforehand.
std::string MakeSqliteFile(const std::string& path, const std::string& sql);

// The fields of a tab-separated line (an execution report line, a program-log entry).
std::vector<std::string> SplitTabs(const std::string& line);

// The rows of this process's program log (its last ones, as CLog keeps them) that hold `needle`.
std::vector<std::string> LogRowsNaming(const std::string& needle);

// Polls `condition` until it holds or `timeout` has passed; whether it held. The limit only ends a
// test that would otherwise hang: nothing is asserted about the time taken.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(60));

// The lines of a UTF-16LE file that Quorvel wrote (execution report, custom log), read strictly.
struct TextLines {
    std::vector<std::string> lines; // UTF-8, without their line ends
    std::string defect; // what is wrong with the file's bytes; empty when nothing is
};

// Reads `path` byte by byte: the byte-order mark, then whole UTF-16LE code units, every line
// ended by CR LF, no CR or LF elsewhere, no unpaired surrogate. A line cut short by a crash or a
// full disk shows as a defect.
TextLines ReadUtf16Lines(const std::string& path);

// What is wrong with an execution report's lines (header first, ten fields in every line); empty
// when nothing is.
std::string ReportDefect(const TextLines& report);

// The lines of an execution report or custom log (UTF-8, header first); a test fails when the
// file's bytes are not whole (see ReadUtf16Lines).
std::vector<std::string> ReportLines(const std::string& path);

// The open descriptors of a process (of this one: one more, for the listing itself).
size_t OpenDescriptors(pid_t pid);
// The children of `parent` in `state` ('Z': ended and not collected), or in any state for 0.
std::vector<pid_t> ChildrenOf(pid_t parent, char state = 0);

// The result of running a program to its end.
struct ProcessResult {
    int status = -1; // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs `args` (args[0] searched on PATH) with standard input from /dev/null, and waits for it.
ProcessResult RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

// Runs `body(i)` for i in [0, count) in child processes of its own, which start together; a test
// fails unless every child's body returns 0.
void RunInProcesses(int count, const std::function<int(int)>& body);

// Runs the built quorvel binary.
ProcessResult RunQuorvel(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

// The tests' own preferences and program log, in a folder made fresh for each test program, so
// that they never touch the user's own. A test program's main holds one while its tests run.
class TestState {
public:
    TestState();
    TestState(const TestState&) = delete;
    TestState& operator=(const TestState&) = delete;

private:
    TempDir dir_;
};

// The folder of the running TestState.
const std::string& TestStateDir();
