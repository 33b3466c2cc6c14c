#include "support/TestEnv.h"

#include "external/support/CLog.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

TempDir::TempDir()
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/quorvel-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

namespace {

std::string Drain(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    return text;
}

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    int outPipe[2];
    int errPipe[2];
    // Close-on-exec: a daemon that the program starts must not hold the pipes open, or reading
    // them would wait for the daemon's end.
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(0);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        for (const std::string& e : extraEnv)
            ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProcessResult result;
    std::thread errReader([&] { result.err = Drain(errPipe[0]); });
    result.out = Drain(outPipe[0]);
    errReader.join();
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

ProcessResult RunQuorvel(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> all { QUORVEL_BINARY };
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(all, extraEnv);
}

namespace {

const std::string* g_stateDir = nullptr;

} // namespace

TestState::TestState()
{
    g_stateDir = &dir_.path();
    ::setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir_.path() + "/state").c_str(), 1);
    CLog::SetPath(dir_.path() + "/quorvel.log");
}

TestState::~TestState()
{
    g_stateDir = nullptr;
}

const std::string& TestStateDir()
{
    return *g_stateDir;
}
