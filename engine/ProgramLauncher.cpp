#include "engine/ProgramLauncher.h"

#include "engine/ChildReaper.h"
#include "engine/CommandLine.h"

#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// What the child does between its creation and the exec of the program.
class SpawnActions {
public:
    SpawnActions()
        : error_(::posix_spawn_file_actions_init(&actions_))
    {
    }
    ~SpawnActions()
    {
        if (error_ == 0)
            ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    // The program reads nothing of ours and sees none of our descriptors but 0, 1 and 2: sockets of
    // database connections and open report files stay with us, and a program that outlives the run
    // keeps none of them open.
    int Prepare()
    {
        if (error_ != 0)
            return error_;
        const int error = ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        return error != 0 ? error : ::posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    }
    const posix_spawn_file_actions_t* Get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    int error_;
};

class SpawnAttributes {
public:
    SpawnAttributes()
        : error_(::posix_spawnattr_init(&attributes_))
    {
    }
    ~SpawnAttributes()
    {
        if (error_ == 0)
            ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    // The engine's threads may block or ignore signals for their own reasons; a started program
    // should begin as if started from a terminal.
    int Prepare()
    {
        if (error_ != 0)
            return error_;
        sigset_t none;
        sigset_t all;
        ::sigemptyset(&none);
        ::sigfillset(&all);
        int error = ::posix_spawnattr_setsigmask(&attributes_, &none);
        if (error == 0)
            error = ::posix_spawnattr_setsigdefault(&attributes_, &all);
        if (error == 0)
            error = ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        return error;
    }
    const posix_spawnattr_t* Get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
    int error_;
};

// posix_spawnp takes a mutable argv for historic reasons; it does not change it.
std::vector<char*> ArgvOf(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

// 0 with `pid` set, or the error number. glibc's posix_spawnp waits until the child has called
// exec, so a program that is missing or not executable is an error here, not a child that exits 127.
int Spawn(std::vector<std::string>& args, pid_t* pid)
{
    SpawnActions actions;
    SpawnAttributes attributes;
    int error = actions.Prepare();
    if (error == 0)
        error = attributes.Prepare();
    if (error != 0)
        return error;
    std::vector<char*> argv = ArgvOf(args);
    return ::posix_spawnp(pid, argv[0], actions.Get(), attributes.Get(), argv.data(), environ);
}

int Fail(std::string* error, const std::string& text)
{
    if (error != nullptr)
        *error = text;
    return -1;
}

} // namespace

int ProgramLauncher::Start(const std::string& commandLine, std::string* error)
{
    std::vector<std::string> args;
    std::string splitError;
    if (SplitCommandLine(commandLine, &args, &splitError) != 0)
        return Fail(error, splitError);
    pid_t pid = 0;
    const int spawnError = Spawn(args, &pid);
    if (spawnError != 0)
        return Fail(error, std::strerror(spawnError));
    ChildReaper::Instance().Watch(pid);
    return 0;
}
