#include "engine/StatusServer.h"

#include "engine/StatusPageHtml.h"
#include "engine/StatusSnapshot.h"
#include "external/http/HttpServerModule.h"
#include "external/support/Console.h"
#include "external/support/FailureLine.h"
#include "model/ListenAddress.h"
#include "model/ListenCredentials.h"
#include "model/QuorvelRunner.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

int Refuse(const QuorvelRunner& runner, const std::string& why)
{
    TellFailure(ProjectLine(runner.projectName, "status page not served: " + why), "StatusServer");
    return -1;
}

} // namespace

StatusServer::StatusServer(QuorvelRunner& runner, std::vector<const Quorvel*> taking)
    : runner_(runner)
    , metrics_(runner, std::move(taking))
{
}

StatusServer::~StatusServer()
{
    Stop();
}

int StatusServer::Start()
{
    if (runner_.listen.empty() || server_)
        return 0;
    ListenAddress address;
    std::string error;
    if (ListenAddress::Parse(runner_.listen, &address, &error) != 0)
        return Refuse(runner_, "Listen " + error);
    HttpServerOptions options;
    options.host = address.host;
    options.ipv6 = address.ipv6;
    options.port = address.port;
    if (!address.Loopback() && runner_.listenAuth.empty())
        return Refuse(runner_, address.Text() + " is reachable from other machines: name a credentials file in ListenAuth");
    if (!runner_.listenAuth.empty() && ListenCredentials::Read(runner_.listenAuth, &options.credentials, &error) != 0)
        return Refuse(runner_, "ListenAuth " + error);
    options.content = [this](const std::string& path, std::string* body, std::string* type) {
        return Content(path, body, type);
    };
    server_ = StartHttpServer(options, &error);
    if (!server_)
        return Refuse(runner_, error);
    ConsoleError(ProjectLine(runner_.projectName, "status page on http://" + address.Text() + "/") + "\n");
    return 0;
}

void StatusServer::Stop()
{
    server_.reset(); // waits for the answer in progress, if any
}

int StatusServer::Content(const std::string& path, std::string* body, std::string* type)
{
    if (path == "/" || path == "/index.html") {
        *type = kHtml;
        *body = StatusPageHtml();
        return 0;
    }
    if (path == "/status.json") {
        *type = "application/json; charset=utf-8";
        *body = StatusSnapshotJson(runner_);
        return 0;
    }
    if (path == "/metrics") {
        *type = "text/plain; version=0.0.4; charset=utf-8";
        *body = metrics_.Text();
        return 0;
    }
    if (path == "/summary") {
        *type = kHtml;
        return Summary(body);
    }
    return -1;
}

int StatusServer::Summary(std::string* body)
{
    // The report writer writes files: a folder of this answer's own, so that no other user can put
    // anything in the document's place, removed at once so that a killed run leaves nothing behind.
    std::error_code noTemp;
    std::filesystem::path temp = std::filesystem::temp_directory_path(noTemp);
    if (noTemp)
        temp = "/tmp";
    std::string folder = (temp / "quorvel-status-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        return -1;
    const std::string path = folder + "/summary.html";
    int error = 0;
    if (runner_.WriteSummaryDocument(path, &error) == 0) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        *body = text.str();
    } else {
        *body = "<!DOCTYPE html><title>Summary</title><p>The summary cannot be made: " + std::string(std::strerror(error));
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
