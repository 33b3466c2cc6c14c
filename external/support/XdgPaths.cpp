#include "external/support/XdgPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

std::string BaseDir(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/" + fallback;
}

constexpr const char* kServiceRuntimeDir = "/run/quorvel";

std::string UserRuntimeDir()
{
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    return value != nullptr && value[0] == '/' ? std::string(value) + "/quorvel" : std::string();
}

std::string TmpRuntimeDir()
{
    return "/tmp/quorvel-" + std::to_string(::getuid());
}

} // namespace

std::string ConfigDir()
{
    return BaseDir("XDG_CONFIG_HOME", ".config") + "/quorvel";
}

std::string StateDir()
{
    return BaseDir("XDG_STATE_HOME", ".local/state") + "/quorvel";
}

std::string RuntimeDir()
{
    const std::string user = UserRuntimeDir();
    if (!user.empty())
        return user;
    if (::access(kServiceRuntimeDir, W_OK) == 0)
        return kServiceRuntimeDir;
    return TmpRuntimeDir();
}

std::vector<std::string> RuntimeDirsToRead()
{
    const std::string user = UserRuntimeDir();
    std::vector<std::string> dirs;
    if (!user.empty())
        dirs.push_back(user);
    if (user != kServiceRuntimeDir)
        dirs.emplace_back(kServiceRuntimeDir);
    if (user.empty())
        dirs.push_back(TmpRuntimeDir());
    return dirs;
}

int MakeDirs(const std::string& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return error ? -1 : 0;
}
