#include "engine/ProgramLauncher.h"

#include "engine/ChildReaper.h"
#include "engine/CommandLine.h"

#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

// A posix_spawn settings object, destroyed with its owner. Error() is the result of its init.
template <typename T, int (*Init)(T*), int (*Destroy)(T*)> class SpawnSettings {
public:
    SpawnSettings()
        : error_(Init(&object_))
    {
    }
    ~SpawnSettings()
    {
        if (error_ == 0)
            Destroy(&object_);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    int Error() const { return error_; }
    T* Get() { return &object_; }

private:
    T object_;
    int error_;
};

// What the child does between its creation and the exec of the program.
using SpawnActions
    = SpawnSettings<posix_spawn_file_actions_t, ::posix_spawn_file_actions_init, ::posix_spawn_file_actions_destroy>;
using SpawnAttributes = SpawnSettings<posix_spawnattr_t, ::posix_spawnattr_init, ::posix_spawnattr_destroy>;

// The program reads nothing of ours and sees none of our descriptors but 0, 1 and 2: sockets of
// database connections and open report files stay with us, and a program that outlives the run
// keeps none of them open.
int Prepare(SpawnActions& actions)
{
    int error = actions.Error();
    if (error == 0)
        error = ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (error == 0)
        error = ::posix_spawn_file_actions_addclosefrom_np(actions.Get(), STDERR_FILENO + 1);
    return error;
}

// The engine's threads may block or ignore signals for their own reasons; a started program
// should begin as if started from a terminal.
int Prepare(SpawnAttributes& attributes)
{
    sigset_t none;
    sigset_t all;
    ::sigemptyset(&none);
    ::sigfillset(&all);
    int error = attributes.Error();
    if (error == 0)
        error = ::posix_spawnattr_setsigmask(attributes.Get(), &none);
    if (error == 0)
        error = ::posix_spawnattr_setsigdefault(attributes.Get(), &all);
    if (error == 0)
        error = ::posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    return error;
}

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
    int error = Prepare(actions);
    if (error == 0)
        error = Prepare(attributes);
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
    return Start(std::move(args), error);
}

int ProgramLauncher::Start(std::vector<std::string> args, std::string* error)
{
    if (args.empty())
        return Fail(error, "empty command line");
    pid_t pid = 0;
    const int spawnError = Spawn(args, &pid);
    if (spawnError != 0)
        return Fail(error, std::strerror(spawnError));
    ChildReaper::Instance().Watch(pid);
    return 0;
}
