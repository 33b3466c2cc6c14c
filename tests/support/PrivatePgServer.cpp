#include "support/PrivatePgServer.h"

#include "external/support/StrFormat.h"

#include <gtest/gtest.h>

PrivatePgServer::PrivatePgServer()
{
    Control("start");
}

PrivatePgServer::~PrivatePgServer()
{
    Control("stop");
}

void PrivatePgServer::Stop()
{
    Control("pause");
}

void PrivatePgServer::Start()
{
    Control("resume");
}

std::string PrivatePgServer::Port()
{
    return TrimLineEnd(Control("port").out);
}

std::string PrivatePgServer::ConnInfo()
{
    return TrimLineEnd(Control("conninfo").out);
}

ProcessResult PrivatePgServer::Control(const char* command)
{
    ProcessResult result = RunProcess({ QUORVEL_SOURCE_DIR "/scripts/pg-test-server", command, dir_.path() });
    EXPECT_EQ(result.status, 0) << command << ": " << result.err;
    return result;
}
