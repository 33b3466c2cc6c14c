// The part of the project check that looks at how a file would run, not at how it reads: no event
// to run, output files that cannot be written, a password that others can read, a status page that
// would not be served. What one event would do badly is EventRunProblems' to tell.
#include "engine/ProjectCheck.h"

#include "external/support/StrFormat.h"
#include "model/ListenAddress.h"
#include "model/ListenCredentials.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kCommon = "Common";

// The folder a run writes an output file into: "." for a bare name.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

void ProjectCheck::CheckRun()
{
    if (eventCount_ == 0) {
        Add(LineOf(kCommon, "Items"), false, "the project has no event: a run refuses it");
        return;
    }
    bool anyEnabled = false;
    for (int i = 0; i < eventCount_; ++i)
        anyEnabled = anyEnabled || Int(StrFormat("Item%d", i), "enabled") != 0;
    if (!anyEnabled)
        Add(LineOf(kCommon, "Items"), true, "no event is enabled: a run has nothing to do and refuses it");
    for (const char* key : { "Report", "Log", "Summary", "Metrics" })
        CheckOutputFolder(key);
    CheckPasswordReadable();
    CheckListen();
}

void ProjectCheck::CheckListen()
{
    const std::string listen = Text(kCommon, "Listen");
    const std::string auth = Text(kCommon, "ListenAuth");
    std::string why;
    ListenAddress address;
    if (!listen.empty() && ListenAddress::Parse(listen, &address, &why) != 0) {
        Add(LineOf(kCommon, "Listen"), false, "[Common] Listen " + why + ": the run serves no status page", kCommon,
            "Listen");
        return;
    }
    if (!listen.empty() && !address.Loopback() && auth.empty())
        Add(LineOf(kCommon, "Listen"), false,
            StrFormat("[Common] Listen %s is reachable from other machines, but no ListenAuth names a credentials "
                      "file: the run serves no status page",
                address.Text().c_str()),
            kCommon, "Listen");
    if (!auth.empty() && ListenCredentials::PrivateToOwner(auth, &why) != 0)
        Add(LineOf(kCommon, "ListenAuth"), false,
            "[Common] ListenAuth " + why + ": the run serves no status page", kCommon, "ListenAuth");
}

void ProjectCheck::CheckOutputFolder(const char* key)
{
    const std::string path = Text(kCommon, key);
    const std::string folder = FolderOf(path);
    // A relative path is taken from the folder the run starts in, which may not be this one; a
    // folder named with date or time macros is made by the run's expansion.
    if (path.empty() || path[0] != '/' || folder.find('$') != std::string::npos)
        return;
    struct stat st {};
    std::string why;
    if (::stat(folder.c_str(), &st) != 0)
        why = std::strerror(errno);
    else if (!S_ISDIR(st.st_mode))
        why = "not a folder";
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        why = "it cannot be written: " + std::string(std::strerror(errno));
    if (!why.empty())
        Add(LineOf(kCommon, key), true,
            StrFormat("%s \"%s\": its folder %s cannot be used (%s): the run cannot write it", key, path.c_str(),
                folder.c_str(), why.c_str()),
            kCommon, key);
}

void ProjectCheck::CheckPasswordReadable()
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IROTH)) == 0)
        return;
    for (int i = 0; i < eventCount_; ++i) {
        for (const char* suffix : { "_connect", "_action" }) {
            const std::string section = StrFormat("Item%d%s", i, suffix);
            if (Text(section, "password").empty())
                continue;
            Add(LineOf(section, "password"), true,
                StrFormat("[%s] holds a password, but the file can be read by others (mode %03o): chmod 600 it",
                    section.c_str(), static_cast<unsigned>(st.st_mode & 0777)),
                section, "password");
            return; // one line says it for the file
        }
    }
}
