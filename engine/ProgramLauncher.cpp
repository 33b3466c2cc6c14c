#include "engine/ProgramLauncher.h"

#include "engine/ChildReaper.h"
#include "external/support/CommandLine.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
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

// The program reads nothing of ours, writes nothing into our output (its standard error goes to
// `errors`, its output nowhere) and sees none of our other descriptors: sockets of database
// connections and open report files stay with us, and a program that outlives the run keeps none
// of them open.
int Prepare(SpawnActions& actions, int errors)
{
    int error = actions.Error();
    if (error == 0)
        error = ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (error == 0)
        error = ::posix_spawn_file_actions_addopen(actions.Get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (error == 0)
        error = ::posix_spawn_file_actions_adddup2(actions.Get(), errors, STDERR_FILENO);
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
int Spawn(std::vector<std::string>& args, int errors, pid_t* pid)
{
    SpawnActions actions;
    SpawnAttributes attributes;
    int error = Prepare(actions, errors);
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

// The descriptors this process has open, -1 when that cannot be told.
int OpenDescriptors()
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir))
        count += entry->d_name[0] != '.' ? 1 : 0;
    ::closedir(dir);
    return count - 1; // the folder's own
}

// Why a program that holds two more descriptors (three while it starts) would leave the process
// too few of them, or empty when there is room.
std::string DescriptorShortage()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return {};
    const int open = OpenDescriptors();
    const auto most = static_cast<long long>(limit.rlim_cur);
    if (open < 0 || open + 3 + ProgramLauncher::kSpareDescriptors <= most)
        return {};
    return "too many descriptors in use (" + std::to_string(open) + " of at most " + std::to_string(most) +
        ", the programs still running hold two each)";
}

// A pipe for the program's standard error: both ends close-on-exec (the child gets its end by
// dup2, which clears the flag on the copy), the reading end non-blocking for the reaper.
int ErrorPipe(UniqueFd* read, UniqueFd* write)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    *read = UniqueFd(fds[0]);
    *write = UniqueFd(fds[1]);
    if (::fcntl(fds[0], F_SETFL, O_NONBLOCK) != 0)
        return errno;
    return 0;
}

} // namespace

int ProgramLauncher::Start(const std::string& commandLine, std::string* error, ChildReaper::OnEnd onEnd)
{
    std::vector<std::string> args;
    std::string splitError;
    if (SplitCommandLine(commandLine, &args, &splitError) != 0)
        return Fail(error, splitError);
    return Start(std::move(args), error, std::move(onEnd));
}

int ProgramLauncher::Start(std::vector<std::string> args, std::string* error, ChildReaper::OnEnd onEnd)
{
    if (args.empty())
        return Fail(error, "empty command line");
    // One start at a time: events that start programs together would otherwise each see the
    // same descriptors to spare, and take more of them between them than there are.
    static std::mutex starting;
    const std::lock_guard lock(starting);
    if (const std::string shortage = DescriptorShortage(); !shortage.empty())
        return Fail(error, shortage);
    UniqueFd errorsRead;
    UniqueFd errorsWrite;
    if (const int pipeError = ErrorPipe(&errorsRead, &errorsWrite); pipeError != 0)
        return Fail(error, std::strerror(pipeError));
    pid_t pid = 0;
    const int spawnError = Spawn(args, errorsWrite.Get(), &pid);
    if (spawnError != 0)
        return Fail(error, std::strerror(spawnError));
    errorsWrite = UniqueFd(); // the child's now: the pipe ends when the child (and what it left) closes it
    ChildReaper::Instance().Watch(pid, std::move(errorsRead), std::move(onEnd));
    return 0;
}
