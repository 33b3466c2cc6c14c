#include "app/StatusCommand.h"

#include "external/support/XdgPaths.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

using Json = nlohmann::json;

constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoneRuns = 3;

struct Snapshot {
    std::string path;
    std::string text;
    Json json;
    bool stale = false;
};

std::string Text(const Json& json, const char* key)
{
    const auto found = json.find(key);
    return found != json.end() && found->is_string() ? found->get<std::string>() : std::string();
}

long long Number(const Json& json, const char* key)
{
    const auto found = json.find(key);
    return found != json.end() && found->is_number() ? found->get<long long>() : 0;
}

// The process that wrote the snapshot is gone (a crash, SIGKILL): its file was never removed.
bool ProcessGone(long long pid)
{
    return pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

std::string Canonical(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

std::vector<Snapshot> ReadSnapshots()
{
    std::vector<Snapshot> found;
    for (const std::string& dir : RuntimeDirsToRead()) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
            if (entry.path().extension() != ".json")
                continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            Json json = Json::parse(text.str(), nullptr, false);
            if (json.is_discarded() || !json.is_object())
                continue;
            const bool stale = ProcessGone(Number(json, "pid"));
            found.push_back({ entry.path().string(), text.str(), std::move(json), stale });
        }
    }
    std::sort(found.begin(), found.end(), [](const Snapshot& a, const Snapshot& b) {
        const std::string nameA = Text(a.json, "project");
        const std::string nameB = Text(b.json, "project");
        return nameA != nameB ? nameA < nameB : Number(a.json, "pid") < Number(b.json, "pid");
    });
    return found;
}

bool Named(const Snapshot& snapshot, const std::vector<std::string>& files)
{
    if (files.empty())
        return true;
    const std::string file = Canonical(Text(snapshot.json, "file"));
    return std::any_of(files.begin(), files.end(), [&](const std::string& named) { return Canonical(named) == file; });
}

// Unix seconds of "2026-12-07T17:00:00.123Z"; 0 when it is not such a time.
std::time_t ParseUtc(const std::string& text)
{
    std::tm tm{};
    if (::strptime(text.c_str(), "%Y-%m-%dT%H:%M:%S", &tm) == nullptr)
        return 0;
    return ::timegm(&tm);
}

std::string LocalTimeText(std::time_t when)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

std::string Duration(long long seconds)
{
    char text[48];
    if (seconds >= 86400)
        std::snprintf(text, sizeof text, "%lldd %02lldh %02lldm", seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60);
    else if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lldh %02lldm %02llds", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lldm %02llds", seconds / 60, seconds % 60);
    return text;
}

// `text` on one line in exactly `width` columns: cut with "~" when longer, padded when shorter.
// Columns count characters, not bytes, so UTF-8 is never cut inside a character.
std::string Cell(const std::string& text, size_t width)
{
    std::string out;
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        if (columns + 1 == width && i + length < text.size()) {
            out += '~';
            ++columns;
            break;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            out += ' ';
        else
            out.append(text, i, length);
        ++columns;
        i += length;
        if (columns == width)
            break;
    }
    return out + std::string(width - columns, ' ');
}

std::string ValueText(const Json& event)
{
    const auto value = event.find("value");
    return value != event.end() && value->is_string() ? value->get<std::string>() : std::string();
}

std::string CheckText(const Json& event)
{
    const auto ms = event.find("checkMs");
    return ms != event.end() && ms->is_number() ? std::to_string(ms->get<long long>()) + " ms" : std::string();
}

// The open failure's reason; "action: ...", "execution report: ..." for what is not the check.
std::string FailureText(const Json& event)
{
    const auto failure = event.find("failure");
    if (failure == event.end() || !failure->is_object() || !failure->value("open", false))
        return {};
    const std::string reason = Text(*failure, "reason");
    const std::string what = Text(*failure, "what");
    return what.empty() || what == "check" ? reason : what + ": " + reason;
}

// One row in 79 columns: mark, number, note, state, status, value, check time, failure.
std::string Row(const char* mark, const std::string& number, const std::vector<std::string>& cells)
{
    static constexpr size_t kWidths[] = { 16, 9, 6, 8, 8, 21 };
    // Appended piece by piece: GCC 12 at -O3 takes chains of literal + string for overlapping copies.
    std::string row = mark;
    row.append(number.size() < 3 ? 3 - number.size() : 0, ' ');
    row += number;
    row += ' ';
    for (size_t i = 0; i < cells.size(); ++i) {
        row += ' ';
        row += Cell(cells[i], kWidths[i]);
    }
    while (!row.empty() && row.back() == ' ')
        row.pop_back();
    return row;
}

// One event: a "!" in front of a failed check.
std::string EventRow(const Json& event)
{
    const std::string status = Text(event, "status");
    return Row(status == "FAILED" ? "!" : " ", std::to_string(Number(event, "number")),
        { Text(event, "note"), Text(event, "state"), status, ValueText(event), CheckText(event), FailureText(event) });
}

void PrintBlock(const Snapshot& snapshot, std::time_t now)
{
    const Json& json = snapshot.json;
    std::printf("%s  %s\n", Text(json, "project").c_str(), Text(json, "file").c_str());
    const std::time_t started = ParseUtc(Text(json, "started"));
    std::string line = "  pid " + std::to_string(Number(json, "pid"));
    if (started != 0)
        line += ", started " + LocalTimeText(started);
    if (snapshot.stale)
        line += ", stale: the process is gone (" + snapshot.path + ")";
    else if (started != 0)
        line += ", running for " + Duration(std::max<long long>(0, now - started));
    std::printf("%s\n", line.c_str());
    std::printf("%s\n", Row(" ", "#", { "note", "state", "status", "value", "check", "failure" }).c_str());
    const auto events = json.find("events");
    if (events != json.end() && events->is_array())
        for (const Json& event : *events)
            std::printf("%s\n", EventRow(event).c_str());
}

bool AnyFailed(const Snapshot& snapshot)
{
    const auto events = snapshot.json.find("events");
    if (snapshot.stale || events == snapshot.json.end() || !events->is_array())
        return false;
    return std::any_of(events->begin(), events->end(), [](const Json& e) { return Text(e, "status") == "FAILED"; });
}

} // namespace

int StatusCommand(const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--status" || (i == 0 && arg == "status"))
            continue;
        if (arg == "--json") {
            json = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "quorvel: status takes no %s: quorvel status [--json] [project.qvl...]\n", arg.c_str());
            return kExitUsage;
        }
        files.push_back(arg);
    }
    std::vector<Snapshot> shown;
    for (Snapshot& snapshot : ReadSnapshots())
        if (Named(snapshot, files))
            shown.push_back(std::move(snapshot));
    const bool anyRuns = std::any_of(shown.begin(), shown.end(), [](const Snapshot& s) { return !s.stale; });
    if (json) {
        std::string text = "[";
        for (size_t i = 0; i < shown.size(); ++i)
            text += (i == 0 ? "\n" : ",\n") + shown[i].text;
        std::printf("%s\n]\n", text.c_str());
    } else {
        const std::time_t now = std::time(nullptr);
        for (size_t i = 0; i < shown.size(); ++i) {
            if (i > 0)
                std::printf("\n");
            PrintBlock(shown[i], now);
        }
        if (!anyRuns)
            std::fputs("quorvel: no project runs on this machine\n", stderr);
    }
    if (!anyRuns)
        return kExitNoneRuns;
    return std::any_of(shown.begin(), shown.end(), AnyFailed) ? kExitFailed : kExitPassed;
}
