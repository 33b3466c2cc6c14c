#include "external/support/SharedFiles.h"

#include <climits>
#include <unistd.h>

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

std::string SharedFilePath(const std::string& name)
{
    const std::string folder = ProgramFolder();
    // The build tree puts the files beside both programs; an installation keeps them in the data
    // folder of its prefix, seen from bin/ (quorvel) or from libexec/quorvel/ (quorvel-window).
    for (const std::string& candidate :
        { folder + "/" + name, folder + "/../share/quorvel/" + name, folder + "/../../share/quorvel/" + name }) {
        if (::access(candidate.c_str(), R_OK) == 0)
            return candidate;
    }
    return {};
}
