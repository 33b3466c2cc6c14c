#include "support/RunningQuorvel.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace {

// The test's environment with `overrides` ("NAME=value") put in place of entries of that name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& overrides)
{
    std::vector<std::string> env = overrides;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        const std::string_view name = text.substr(0, text.find('=') + 1);
        if (std::none_of(
                overrides.begin(), overrides.end(), [name](const std::string& o) { return o.starts_with(name); }))
            env.emplace_back(text);
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& t : texts)
        pointers.push_back(t.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The reading and the writing end. Close-on-exec: only the child's standard output and error, made
// by dup2, stay open in it.
std::pair<UniqueFd, UniqueFd> MakePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    return { UniqueFd(fds[0]), UniqueFd(fds[1]) };
}

// Reads what is there; at the end of the pipe (or on an error) closes it.
void ReadInto(UniqueFd& fd, std::string& into)
{
    char buffer[65536];
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n > 0)
        into.append(buffer, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR)
        fd.Reset();
}

} // namespace

RunningQuorvel::RunningQuorvel(const std::string& project, const std::vector<std::string>& env)
    : RunningQuorvel(std::vector<std::string> { QUORVEL_BINARY, "-c", project }, env)
{
}

RunningQuorvel::RunningQuorvel(std::vector<std::string> args, const std::vector<std::string>& env)
{
    auto [out, outWrite] = MakePipe();
    auto [err, errWrite] = MakePipe();
    Spawn(std::move(args), env, outWrite.Get(), errWrite.Get());
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    outWrite.Reset(); // the child's copies are the only ones left: their end is the pipe's end
    errWrite.Reset();
    reader_ = std::thread([this, o = std::move(out), e = std::move(err)]() mutable { Read(o, e); });
}

// Only async-signal-safe calls between fork and exec: the test process has threads.
void RunningQuorvel::Spawn(std::vector<std::string> args, const std::vector<std::string>& env, int out, int err)
{
    std::vector<std::string> childEnv = ChildEnvironment(env);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(childEnv);
    const UniqueFd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    pid_ = ::fork();
    if (pid_ != 0)
        return;
    ::dup2(devNull.Get(), 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execvpe(argv[0], argv.data(), envp.data());
    ::_exit(127);
}

void RunningQuorvel::Read(UniqueFd& out, UniqueFd& err)
{
    while (out.Valid() || err.Valid()) {
        pollfd fds[2] = { { out.Get(), POLLIN, 0 }, { err.Get(), POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0)
            continue;
        std::lock_guard lock(mutex_);
        if (fds[0].revents != 0)
            ReadInto(out, output_);
        if (fds[1].revents != 0)
            ReadInto(err, errors_);
        grown_.notify_all();
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    grown_.notify_all();
}

RunningQuorvel::~RunningQuorvel()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable())
        reader_.join();
}

bool RunningQuorvel::WaitFor(const std::string& text, size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    size_t found = 0;
    size_t scanned = 0; // output_ before this is counted in `found`
    auto enough = [&] {
        for (size_t at = output_.find(text, scanned); at != std::string::npos; at = output_.find(text, scanned)) {
            ++found;
            scanned = at + text.size();
        }
        scanned = std::max(scanned, output_.size() >= text.size() ? output_.size() - text.size() + 1 : 0);
        return found >= count || ended_;
    };
    grown_.wait_until(lock, deadline, enough);
    return found >= count;
}

size_t RunningQuorvel::Count(const std::string& text) const
{
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (size_t at = output_.find(text); at != std::string::npos; at = output_.find(text, at + text.size()))
        ++count;
    return count;
}

void RunningQuorvel::Signal(int sig)
{
    if (pid_ > 0)
        ::kill(pid_, sig);
}

int RunningQuorvel::Wait()
{
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (reader_.joinable())
        reader_.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string RunningQuorvel::Output() const
{
    std::lock_guard lock(mutex_);
    return output_;
}

std::string RunningQuorvel::Errors() const
{
    std::lock_guard lock(mutex_);
    return errors_;
}
