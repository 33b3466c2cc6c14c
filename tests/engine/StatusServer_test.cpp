#include "engine/EngineFixture.h"
#include "support/RunningQuorvel.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <crypt.h>
#include <filesystem>
#include <regex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A connection; with `wait` false the connect is only begun (a full backlog would hold it up).
UniqueFd Connect(const char* host, uint16_t port, bool wait = true)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    ::inet_pton(AF_INET, host, &address.sin_addr);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        && (wait || errno != EINPROGRESS))
        return UniqueFd();
    return fd;
}

uint16_t FreePort()
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

struct Reply {
    int status = 0;
    std::string head;
    std::string body;
};

// One request over a connection of its own; status 0 when nothing came back.
Reply Request(uint16_t port, const std::string& method, const std::string& path, const std::string& headers = "",
    const char* host = "127.0.0.1")
{
    Reply reply;
    const UniqueFd fd = Connect(host, port);
    if (!fd.Valid())
        return reply;
    const std::string request = method + " " + path + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n" + headers
        + (method == "POST" ? "Content-Length: 2\r\n\r\nx=" : "\r\n");
    if (::send(fd.Get(), request.data(), request.size(), MSG_NOSIGNAL) < 0)
        return reply;
    std::string text;
    char buffer[8192];
    for (ssize_t n; (n = ::recv(fd.Get(), buffer, sizeof buffer, 0)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    const size_t end = text.find("\r\n\r\n");
    if (text.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return reply;
    reply.status = std::stoi(text.substr(9, 3));
    reply.head = text.substr(0, end);
    reply.body = text.substr(end + 4);
    return reply;
}

bool WaitServing(uint16_t port, const char* host = "127.0.0.1")
{
    return WaitUntil([&] { return Connect(host, port).Valid(); }, 10s);
}

bool OnPath(const char* program)
{
    return RunProcess({ "sh", "-c", std::string("command -v ") + program }).status == 0;
}

class StatusServerTest : public EngineTest {
protected:
    // Runs TwoEvents with the page on 127.0.0.1:`port`, until it serves.
    void Serve()
    {
        TwoEvents();
        const std::vector<std::string> args { QUORVEL_BINARY, "-c", SaveProject(),
            "--listen=127.0.0.1:" + std::to_string(port) };
        quorvel = std::make_unique<RunningQuorvel>(args, std::vector<std::string> {});
        ASSERT_TRUE(WaitServing(port)) << quorvel->Errors();
    }

    // Two events checked every second: one passes with a value, one fails.
    void TwoEvents()
    {
        project.AddEvent(EverySeconds(Endless(FileEvent("folder here", dir.path())), 1));
        project.AddEvent(EverySeconds(Endless(FileEvent("file gone", dir.File("absent"))), 1));
        project.reportFile = dir.File("report.txt");
        project.consoleLines = "none";
    }

    // Each event's `field`s of a JSON document, one a line, read by a real JSON parser.
    std::string JsonFields(const std::string& json, const std::string& fields)
    {
        WriteFile(dir.File("status.json"), json);
        return RunProcess({ "python3", "-c",
                              "import json,sys; [print(*[e[f] for f in sys.argv[2].split()]) "
                              "for e in json.load(open(sys.argv[1]))['events']]",
                              dir.File("status.json"), fields })
            .out;
    }

    const uint16_t port = FreePort();
    std::unique_ptr<RunningQuorvel> quorvel;
};

TEST_F(StatusServerTest, ServesTheFourPathsOnlyForReading)
{
    ASSERT_NO_FATAL_FAILURE(Serve());
    std::this_thread::sleep_for(1500ms); // both events have executed

    EXPECT_EQ(JsonFields(Request(port, "GET", "/status.json").body, "number note status"),
        "1 folder here OK\n2 file gone FAILED\n");
    const struct {
        const char* method;
        const char* path;
        int status;
        const char* bodyStarts;
    } cases[] = {
        { "GET", "/", 200, "<!DOCTYPE html>" },
        { "GET", "/summary", 200, "<!DOCTYPE html>" },
        { "GET", "/metrics", 200, "# HELP quorvel_executions_total" },
        { "HEAD", "/metrics", 200, "" },
        { "GET", "/elsewhere", 404, "" },
        { "POST", "/", 405, "" },
        { "DELETE", "/status.json", 405, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        const Reply reply = Request(port, c.method, c.path);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.body.rfind(c.bodyStarts, 0), 0u) << reply.body.substr(0, 200);
    }
    EXPECT_NE(Request(port, "GET", "/summary").body.find("folder here"), std::string::npos);
    if (OnPath("promtool")) {
        WriteFile(dir.File("metrics.txt"), Request(port, "GET", "/metrics").body);
        const ProcessResult check = RunProcess({ "sh", "-c", "promtool check metrics < \"$0\"", dir.File("metrics.txt") });
        EXPECT_EQ(check.status, 0) << check.out << check.err;
    }
    // The run's own summary is not touched by /summary.
    EXPECT_FALSE(std::filesystem::exists(dir.File("summary.html")));
}

// Hundreds of clients that send half a request and wait cost the run nothing: it goes on
// checking, and once they are gone the page answers again.
TEST_F(StatusServerTest, HalfSentRequestsDoNotHoldUpTheRun)
{
    ASSERT_NO_FATAL_FAILURE(Serve());
    std::vector<UniqueFd> clients;
    for (int i = 0; i < 500; ++i)
        clients.push_back(Connect("127.0.0.1", port, false));
    std::this_thread::sleep_for(300ms);
    const std::string half = "GET /status.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    for (const UniqueFd& fd : clients)
        (void)::send(fd.Get(), half.data(), half.size(), MSG_NOSIGNAL); // fails where the connect has not
    EXPECT_GT(std::count_if(clients.begin(), clients.end(), [](const UniqueFd& fd) { return fd.Valid(); }), 64);
    const std::string before = ReadFile(project.reportFile);
    std::this_thread::sleep_for(3s);
    EXPECT_GT(ReadFile(project.reportFile).size(), before.size());
    clients.clear();
    EXPECT_TRUE(WaitUntil([&] { return Request(port, "GET", "/status.json").status == 200; }, 10s));
}

TEST_F(StatusServerTest, CredentialsAreAskedForWhenAFileIsNamed)
{
    TwoEvents();
    crypt_data data {};
    char salt[CRYPT_GENSALT_OUTPUT_SIZE];
    ASSERT_NE(crypt_gensalt_rn("$y$", 0, nullptr, 0, salt, sizeof salt), nullptr);
    const char* hash = crypt_rn("s3cret pass", salt, &data, sizeof data);
    ASSERT_NE(hash, nullptr);
    WriteFile(dir.File("users"), std::string("# who may look\nwatcher:") + hash + "\n");
    ::chmod(dir.File("users").c_str(), 0600);
    project.listen = "127.0.0.2:" + std::to_string(port);
    project.listenAuth = dir.File("users");
    RunningQuorvel served(SaveProject());
    ASSERT_TRUE(WaitServing(port, "127.0.0.2")) << served.Errors();
    // The credentials as Base64 of "user:password".
    const std::pair<std::string, int> cases[] = {
        { "", 401 }, // none
        { "d2F0Y2hlcjp3cm9uZw==", 401 }, // watcher:wrong
        { "b3RoZXI6czNjcmV0IHBhc3M=", 401 }, // other:s3cret pass
        { "d2F0Y2hlcjpzM2NyZXQgcGFzcw==", 200 }, // watcher:s3cret pass
    };
    for (const auto& [credentials, status] : cases) {
        SCOPED_TRACE(credentials);
        const std::string header = credentials.empty() ? "" : "Authorization: Basic " + credentials + "\r\n";
        const Reply reply = Request(port, "GET", "/status.json", header, "127.0.0.2");
        EXPECT_EQ(reply.status, status);
        if (status == 401) {
            EXPECT_NE(reply.head.find("WWW-Authenticate: Basic"), std::string::npos) << reply.head;
        }
    }
}

TEST_F(StatusServerTest, CheckRefusesAnOpenPageWithoutPrivateCredentials)
{
    TwoEvents();
    WriteFile(dir.File("users"), "watcher:$y$j9T$abc$def\n");
    const struct {
        const char* listen;
        const char* auth;
        int mode;
        const char* error; // empty: no problem about listening
    } cases[] = {
        { "127.0.0.1:8080", "", 0600, "" },
        { "8080", "", 0600, "" },
        { "0.0.0.0:8080", "", 0600, "no ListenAuth names a credentials file" },
        { "[::]:8080", "", 0600, "no ListenAuth names a credentials file" },
        { "0.0.0.0:8080", "users", 0600, "" },
        { "0.0.0.0:8080", "users", 0644, "can be read or written by others" },
        { "127.0.0.1:0", "", 0600, "names no port" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.listen) + " " + c.auth);
        project.listen = c.listen;
        project.listenAuth = *c.auth != '\0' ? dir.File(c.auth) : "";
        ::chmod(dir.File("users").c_str(), static_cast<mode_t>(c.mode));
        const ProcessResult result = RunQuorvel({ "--check", SaveProject() });
        EXPECT_EQ(result.status, *c.error != '\0' ? 1 : 0) << result.out;
        if (*c.error != '\0') {
            EXPECT_NE(result.out.find(c.error), std::string::npos) << result.out;
        }
    }
}

// The page as a browser shows it: its script has fetched the snapshot and drawn every event.
TEST_F(StatusServerTest, BrowserShowsEveryEventsNoteStateAndValue)
{
    if (!OnPath("chromium"))
        GTEST_SKIP() << "chromium is not installed";
    ASSERT_NO_FATAL_FAILURE(Serve());
    std::this_thread::sleep_for(1500ms);
    const ProcessResult browser = RunProcess({ "chromium", "--headless", "--no-sandbox", "--disable-gpu",
        "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
        "--user-data-dir=" + dir.File("browser"), "--virtual-time-budget=3000", "--dump-dom",
        "http://127.0.0.1:" + std::to_string(port) + "/" });
    ASSERT_EQ(browser.status, 0) << browser.err;
    const std::string& dom = browser.out;
    std::string value = JsonFields(Request(port, "GET", "/status.json").body, "value");
    value = value.substr(0, value.find('\n'));
    for (const char* text : { "<h2 class=\"note\">folder here</h2>", "<h2 class=\"note\">file gone</h2>",
             "<dd class=\"status status-OK\">OK</dd>",
             "<dd class=\"status status-FAILED\">FAILED</dd>", "<svg class=\"chart\"" })
        EXPECT_NE(dom.find(text), std::string::npos) << text << "\n" << dom;
    EXPECT_NE(dom.find("<dd class=\"value\">" + value + "</dd>"), std::string::npos) << value << "\n" << dom;
    // Between checks an event waits (until its next one); a check may be in progress just then.
    const std::regex state(R"(<dd class="state">(waiting|executing)\b)");
    EXPECT_EQ(std::distance(std::sregex_iterator(dom.begin(), dom.end(), state), std::sregex_iterator()), 2) << dom;
}

} // namespace
