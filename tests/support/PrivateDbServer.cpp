#include "support/PrivateDbServer.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

PrivateDbServer::PrivateDbServer(std::string script)
    : script_(QUORVEL_SOURCE_DIR "/scripts/" + std::move(script))
{
    Control("start");
}

ProcessResult PrivateDbServer::Control(const char* command)
{
    ProcessResult result = RunProcess({ script_, command, dir_.path() });
    EXPECT_EQ(result.status, 0) << script_ << ' ' << command << ": " << result.err;
    return result;
}

void PrivateDbServer::SignalProcesses(int sig)
{
    const pid_t postmaster = std::atoi(ReadFile(dir_.File("data/postmaster.pid")).c_str());
    ASSERT_GT(postmaster, 0) << "no server running in " << dir_.path();
    ::kill(postmaster, sig);
    for (const pid_t child : ChildrenOf(postmaster))
        ::kill(child, sig);
}
