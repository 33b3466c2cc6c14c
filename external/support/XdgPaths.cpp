#include "external/support/XdgPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string BaseDir(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/" + fallback;
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

int MakeDirs(const std::string& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return error ? -1 : 0;
}
