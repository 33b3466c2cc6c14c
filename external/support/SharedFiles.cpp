#include "external/support/SharedFiles.h"

#include <climits>
#include <unistd.h>

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

std::string SharedFilePath(const std::string& name)
{
    const std::string folder = ProgramFolder();
    for (const std::string& candidate : {folder + "/" + name, folder + "/../share/quorvel/" + name})
        if (::access(candidate.c_str(), R_OK) == 0)
            return candidate;
    return {};
}
