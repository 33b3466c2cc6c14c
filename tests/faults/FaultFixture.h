#pragma once

#include "model/QuorvelRunner.h"
#include "support/RunningQuorvel.h"
#include "support/TestEnv.h"
#include "support/TestEvents.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// A test folder for one quorvel run: the project file, the run's output files, and the program
// log of the started program ($XDG_STATE_HOME points into the folder).
class FaultTest : public ::testing::Test {
protected:
    // Saves `project` as project.qvl in the folder; its path.
    std::string SaveProject()
    {
        EXPECT_EQ(project.Save(dir.File("project.qvl")), 0);
        return dir.File("project.qvl");
    }
    // How to start quorvel so that its program log is this test's.
    std::vector<std::string> Isolated() const { return { "XDG_STATE_HOME=" + dir.File("state") }; }
    std::string ProgramLog() const { return ReadFile(dir.File("state/quorvel/quorvel.log")); }
    // The program-log entries ("time<TAB>context<TAB>message[<TAB>source]") whose context is
    // `context` (any, for "") and whose message contains `part`.
    size_t LogCount(const std::string& context, const std::string& part = "") const;
    // One field of every line of the execution report after its header; a test fails when the
    // report is not whole.
    std::vector<std::string> ReportColumn(size_t field) const;

    TempDir dir;
    QuorvelRunner project;
};
