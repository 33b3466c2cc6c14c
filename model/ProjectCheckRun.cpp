// The part of the project check that looks at how a file would run, not at how it reads: events
// that would check back to back, output files that cannot be written, command lines and counter
// paths that the run would refuse, texts that the run would cut, a password that others can read.
#include "model/ProjectCheck.h"

#include "external/support/CommandLine.h"
#include "external/counters/CounterCatalog.h"
#include "external/counters/CounterPath.h"
#include "external/counters/CounterQuery.h"
#include "external/support/StrFormat.h"
#include "model/EventTypes.h"
#include "model/ListenAddress.h"
#include "model/ListenCredentials.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Section = ProjectSchema::Section;

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

void ProjectCheck::CheckEventRun(const std::string& section, bool enabled)
{
    const int type = Int(section, "type");
    const bool endless = Int(section, "iterType") == ITER_ENDLESS;
    const bool waits = Int(section, "intType") == INTERVAL_WAIT && Int(section, "iInterval") > 0;
    if (endless && !waits)
        Add(LineOf(section, Int(section, "intType") == INTERVAL_WAIT ? "iInterval" : "intType"), true,
            StrFormat("[%s] runs without end and without an interval: it checks back to back, thousands of times a "
                      "second (set intType = 1 and an iInterval)%s",
                section.c_str(), Disabled(enabled)),
            section, "intType");
    if (type == EVENT_SQL && Int(section, "bNeedConnect") == 0 && !Text(section + "_connect", "target").empty())
        Add(LineOf(section, "bNeedConnect"), true,
            StrFormat("[%s] is an SQL check with a connection, but bNeedConnect is 0: the editor shows its connection "
                      "as not required (set bNeedConnect = 1)",
                section.c_str()),
            section, "bNeedConnect");
    if (Int(section, "action") == ACTION_PROGRAM && !Text(section, "sProgram").empty()) {
        std::vector<std::string> words;
        std::string error;
        if (SplitCommandLine(Text(section, "sProgram"), &words, &error) != 0)
            Add(LineOf(section, "sProgram"), true,
                StrFormat("[%s] sProgram cannot be started: %s; every action fails%s", section.c_str(), error.c_str(),
                    Disabled(enabled)),
                section, "sProgram");
    }
    if (type == EVENT_COUNTER)
        CheckCounter(section, enabled);
    for (const ProjectSchema::Key& key : ProjectSchema::Keys()) {
        if (key.section == Section::Item && key.type == ProjectSchema::Type::Text
            && Text(section, key.name).find('\0') != std::string::npos)
            Add(LineOf(section, key.name), true,
                StrFormat("[%s] %s holds a NUL character: the run cuts the text there%s", section.c_str(), key.name,
                    Disabled(enabled)),
                section, key.name);
    }
}

void ProjectCheck::CheckCounter(const std::string& section, bool enabled)
{
    const std::string text = Text(section, "PerfCounter");
    if (text.empty())
        return; // told as a check without a counter path
    CounterPath path;
    if (!ParseCounterPath(CounterFullPath(Text(section, "Machine"), text), &path)) {
        Add(LineOf(section, "PerfCounter"), true,
            StrFormat("[%s] PerfCounter \"%s\" is no counter path (\\Object(instance)\\Counter): every check fails%s",
                section.c_str(), text.c_str(), Disabled(enabled)),
            section, "PerfCounter");
        return;
    }
    ResolvedCounter counter {};
    if (FindCounter(path, &counter) != 0)
        Add(LineOf(section, "PerfCounter"), true,
            StrFormat("[%s] PerfCounter \"%s\" is no counter that Quorvel knows: every check fails%s",
                section.c_str(), text.c_str(), Disabled(enabled)),
            section, "PerfCounter");
}
