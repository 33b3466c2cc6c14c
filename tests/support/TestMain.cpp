#include "support/TestEnv.h"

#include "external/support/CLog.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

TempDir* g_stateDir = nullptr;

} // namespace

const std::string& TestStateDir()
{
    return g_stateDir->path();
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Preferences and the program log of the tests never touch the user's own.
    auto stateDir = std::make_unique<TempDir>();
    g_stateDir = stateDir.get();
    ::setenv("XDG_CONFIG_HOME", (stateDir->path() + "/config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (stateDir->path() + "/state").c_str(), 1);
    CLog::SetPath(stateDir->path() + "/quorvel.log");
    const int result = RUN_ALL_TESTS();
    g_stateDir = nullptr;
    return result;
}
