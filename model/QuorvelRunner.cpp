#include "model/QuorvelRunner.h"

#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/FileOps.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "res/Strings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

namespace {

constexpr const char* kCommon = "Common";

// So that the status snapshot names the file whatever folder the run was started in.
std::string AbsolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string ItemSection(int index)
{
    return StrFormat("Item%d", index);
}

// The events Item0 to Item<count - 1>.
std::vector<Quorvel> LoadEvents(CSysReg& store, int count)
{
    std::vector<Quorvel> events;
    for (int i = 0; i < count; ++i)
        events.emplace_back().Load(store, ItemSection(i));
    return events;
}

} // namespace

int QuorvelRunner::Load(const std::string& path)
{
    CSysReg store(path);
    events.clear();
    store.Read(kCommon, "Report", &reportFile, "");
    store.Read(kCommon, "Log", &logFile, "");
    store.Read(kCommon, "Summary", &summaryFile, "");
    store.Read(kCommon, "Author", &author, "");
    store.Read(kCommon, "Description", &description, "");
    store.Read(kCommon, "Metrics", &metricsFile, "");
    store.Read(kCommon, "MetricsProject", &metricsProject, "");
    store.Read(kCommon, "TextEncoding", &textEncoding, "");
    store.Read(kCommon, "ConsoleLines", &consoleLines, "");
    store.Read(kCommon, "CheckTimeout", &checkTimeout, 0);
    store.Read(kCommon, "ShareConnections", &shareConnections, 0);
    store.Read(kCommon, "Listen", &listen, "");
    store.Read(kCommon, "ListenAuth", &listenAuth, "");
    projectName = std::filesystem::path(path).stem().string();
    projectFile = AbsolutePath(path);
    int items = 0;
    store.Read(kCommon, "Items", &items, 0);
    items = std::min(items, LastItemSection(store) + 1);
    const int count = EventsToLoad(store, items);
    if (count < items)
        CLog::Bug(StrFormat("%s lacks more than %d of its %d event sections; loaded the first %d events",
                            path.c_str(), kMaxEvents, items, count),
                  "QuorvelRunner::Load");
    events = LoadEvents(store, count);
    if (Count() > kMaxEvents)
        CLog::Bug(StrFormat("%s holds %d events; a run takes at most %d", path.c_str(), Count(), kMaxEvents),
                  "QuorvelRunner::Load");
    return 0;
}

int QuorvelRunner::LastItemSection(const CSysReg& store)
{
    int last = -1;
    for (const std::string& name : store.Sections()) {
        if (name.size() > 4 && name.compare(0, 4, "Item") == 0 &&
            name.find_first_not_of("0123456789", 4) == std::string::npos && name.size() < 14) {
            last = std::max(last, std::stoi(name.substr(4)));
        }
    }
    return last;
}

int QuorvelRunner::EventsToLoad(const CSysReg& store, int items)
{
    // A missing section before the last one loads as a default event, but a few sections with huge
    // numbers ("Item99999999") must not make millions of them: after kMaxEvents made-up events the
    // loading stops.
    items = std::min(items, LastItemSection(store) + 1);
    int missing = 0;
    for (int i = 0; i < items; ++i) {
        if (!store.HasSection(ItemSection(i)) && ++missing > kMaxEvents)
            return i;
    }
    return std::max(items, 0);
}

std::string QuorvelRunner::BackupPath(const std::string& path)
{
    // Only the file name is lower-cased: folders on this system are case-sensitive.
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(nameStart);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path.substr(0, nameStart) + ReplaceAll(name, ".qvl", ".bak");
}

int QuorvelRunner::Save(const std::string& path)
{
    // When the backup cannot be made (one exists, or the name has no ".qvl"), the store below
    // opens the old file and rewrites it; the rewrite is atomic, so it is never half written.
    MoveFileNoReplace(path, BackupPath(path));
    CSysReg store(path);
    store.Save(kCommon, "Report", reportFile);
    store.Save(kCommon, "Log", logFile);
    store.Save(kCommon, "Summary", summaryFile);
    store.Save(kCommon, "Author", author);
    store.Save(kCommon, "Description", description);
    // Optional: a project without a metrics file is written as before it existed.
    if (metricsFile.empty())
        store.Remove(kCommon, "Metrics");
    else
        store.Save(kCommon, "Metrics", metricsFile);
    for (const auto& [key, value] : { std::pair("MetricsProject", &metricsProject), std::pair("TextEncoding", &textEncoding),
             std::pair("ConsoleLines", &consoleLines), std::pair("Listen", &listen),
             std::pair("ListenAuth", &listenAuth) }) {
        if (value->empty())
            store.Remove(kCommon, key);
        else
            store.Save(kCommon, key, *value);
    }
    if (checkTimeout == 0)
        store.Remove(kCommon, "CheckTimeout");
    else
        store.Save(kCommon, "CheckTimeout", checkTimeout);
    if (shareConnections == 0)
        store.Remove(kCommon, "ShareConnections");
    else
        store.Save(kCommon, "ShareConnections", shareConnections);
    projectName = std::filesystem::path(path).stem().string();
    projectFile = AbsolutePath(path);
    store.Save(kCommon, "Items", Count());
    for (int i = 0; i < Count(); ++i)
        events[static_cast<size_t>(i)].Save(store, ItemSection(i));
    return store.Close();
}

int QuorvelRunner::ConsoleLinesNamed(const std::string& name)
{
    static const char* const names[] = { "all", "changes", "none" }; // in CONSOLE_LINES_* order
    for (int i = 0; i < 3; ++i) {
        if (name == names[i])
            return i;
    }
    return -1;
}

void QuorvelRunner::Clear()
{
    events.clear();
    description.clear();
    author.clear();
    summaryFile.clear();
    reportFile.clear();
    logFile.clear();
    metricsFile.clear();
    metricsProject.clear();
    textEncoding.clear();
    consoleLines.clear();
    listen.clear();
    listenAuth.clear();
    checkTimeout = 0;
    shareConnections = 0;
    projectName.clear();
    projectFile.clear();
}

int QuorvelRunner::AddEvent(const Quorvel& record)
{
    if (Count() >= kMaxEvents) {
        ShowMessageBox(StrFormat(LoadString(IDS_MAX_EVENTS), kMaxEvents), LoadString(IDS_ERROR), MB_ICONERROR);
        return -1;
    }
    events.push_back(record);
    return 0;
}

Quorvel* QuorvelRunner::GetEvent(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    return &events[static_cast<size_t>(index)];
}

void QuorvelRunner::DeleteEvent(int index)
{
    if (index < 0 || index >= Count())
        return;
    events.erase(events.begin() + index);
}

int QuorvelRunner::WarnIfEmpty() const
{
    if (!events.empty())
        return 0;
    ShowMessageBox(LoadString(IDS_EVENTS_EMPTY), LoadString(IDS_WARNING), MB_ICONERROR);
    return 1;
}

int QuorvelRunner::IndexOf(const Quorvel& event) const
{
    // std::less orders any two pointers; a subtraction is only defined within the vector.
    const Quorvel* first = events.data();
    const Quorvel* end = first + events.size();
    const std::less<const Quorvel*> before;
    if (before(&event, first) || !before(&event, end))
        return -1;
    return static_cast<int>(&event - first);
}
