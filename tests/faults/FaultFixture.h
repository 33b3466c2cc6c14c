#pragma once

#include "model/QuorvelRunner.h"
#include "support/RunningQuorvel.h"
#include "support/TestEnv.h"
#include "support/TestEvents.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// One entry of the program log: "time<TAB>context<TAB>message[<TAB>source]".
struct LogEntry {
    std::string context;
    std::string message;
};

// A test folder for one quorvel run: the project file, the run's output files, and the program
// log of the started program ($XDG_STATE_HOME points into the folder).
class FaultTest : public ::testing::Test {
protected:
    // Saves `project` as project.qvl in the folder; its path.
    std::string SaveProject();
    // How to start quorvel so that its program log is this test's.
    QuorvelStart Isolated() const;
    std::string ProgramLogPath() const;
    std::vector<LogEntry> ProgramLog() const;
    // The entries whose context is `context` and whose message contains `part`.
    size_t LogCount(const std::string& context, const std::string& part = "") const;

    TempDir dir;
    QuorvelRunner project;
};
