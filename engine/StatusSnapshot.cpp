#include "engine/StatusSnapshot.h"

#include "engine/JsonWriter.h"
#include "external/support/Clock.h"
#include "model/EventTypes.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// What the snapshot needs of one event, copied under the runner's lock.
struct EventCopy {
    int number = 0;
    const Quorvel* event = nullptr;
    EventLive live;
    int count = 0;
    int failed = 0;
    int actions = 0;
    int heldBack = 0;
    std::optional<ExecStats::Recent> latest; // none before the first execution
    std::string recent; // the list as JSON text
};

// Each recent execution sits this deep in the snapshot: document, events, event, recent.
constexpr size_t kRecentDepth = 4;

// In the order of EventLive::State.
constexpr const char* kStateNames[] = { "", "starting", "waiting", "executing", "paused", "completed", "cancelled" };

const char* StateName(EventLive::State state)
{
    return kStateNames[static_cast<size_t>(state)];
}

void TimeOrNull(JsonWriter& json, int64_t unixMs)
{
    if (unixMs > 0)
        json.String(UtcText(unixMs));
    else
        json.Null();
}

// A failed check keeps no value worth showing: the value column then says nothing.
void ValueOf(JsonWriter& json, const ExecStats::Recent& execution)
{
    if (execution.status == "FAILED")
        json.Null();
    else
        json.String(execution.value);
}

// The latest failure of the check, the action or the writing of the event's lines ("execution
// report", "custom log"), or null when none has failed in this run.
void LatestFailure(JsonWriter& json, const EventLive& live)
{
    std::string what;
    const FailureStreak* streak = live.Latest(&what);
    if (streak == nullptr) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.StringMember("what", what);
    json.StringMember("reason", streak->reason());
    json.Key("since");
    TimeOrNull(json, streak->sinceMs());
    json.Key("latest");
    TimeOrNull(json, streak->latestMs());
    json.IntMember("count", streak->count());
    json.BoolMember("open", streak->failing());
    json.EndObject();
}

// The recent executions as the value of the event's "recent", from the texts made when they were
// recorded: writing each anew every second cost more than the checks themselves.
std::string RecentList(const std::deque<ExecStats::Recent>& recent)
{
    std::string text;
    text.reserve(recent.empty() ? 2 : recent.size() * (recent.back().shown.size() + 16));
    JsonWriter json(text, kRecentDepth - 1);
    json.BeginArray();
    for (const ExecStats::Recent& execution : recent)
        json.Raw(execution.shown.empty() ? SnapshotRecentText(execution) : execution.shown);
    json.EndArray();
    return text;
}

void Counts(JsonWriter& json, const EventCopy& copy)
{
    json.BeginObject();
    json.IntMember("executions", copy.count);
    json.IntMember("failed", copy.failed);
    json.IntMember("actions", copy.actions);
    json.IntMember("heldBack", copy.heldBack);
    json.EndObject();
}

void Problem(JsonWriter& json, const EventCopy& copy)
{
    if (copy.event->iActWhen != ACT_ON_START) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.BoolMember("open", copy.live.problemOpen);
    json.Key("since");
    TimeOrNull(json, copy.live.problemSinceMs);
    json.EndObject();
}

// What the latest execution came to; null each when there has been none.
void Latest(JsonWriter& json, const ExecStats::Recent* latest)
{
    json.StringMember("status", latest != nullptr ? std::string_view(latest->status) : std::string_view());
    json.Key("value");
    if (latest != nullptr)
        ValueOf(json, *latest);
    else
        json.Null();
    json.Key("checkMs");
    if (latest != nullptr)
        json.Int(latest->checkMs);
    else
        json.Null();
    json.Key("checked");
    TimeOrNull(json, latest != nullptr ? latest->endMs : 0);
}

void Event(JsonWriter& json, const EventCopy& copy, int64_t nowMs)
{
    const Quorvel& event = *copy.event;
    json.BeginObject();
    json.IntMember("number", copy.number);
    json.StringMember("note", event.EventNote);
    json.StringMember("description", event.Description(-1));
    json.StringMember("state", StateName(copy.live.state));
    json.Key("until");
    TimeOrNull(json, copy.live.state == EventLive::State::kWaiting ? copy.live.untilMs : 0);
    json.Key("executingSeconds");
    if (copy.live.state == EventLive::State::kExecuting)
        json.Double((nowMs - copy.live.sinceMs) / 1000.0);
    else
        json.Null();
    Latest(json, copy.latest ? &*copy.latest : nullptr);
    json.Key("failure");
    LatestFailure(json, copy.live);
    json.Key("counts");
    Counts(json, copy);
    json.Key("problem");
    Problem(json, copy);
    json.Key("recent");
    json.Raw(copy.recent);
    json.EndObject();
}

} // namespace

std::string SnapshotRecentText(const ExecStats::Recent& execution)
{
    std::string text;
    JsonWriter json(text, kRecentDepth);
    json.BeginObject();
    json.StringMember("t", UtcText(execution.endMs));
    json.IntMember("ms", execution.checkMs);
    json.BoolMember("ok", execution.passed);
    json.Key("value");
    ValueOf(json, execution);
    json.EndObject();
    return text;
}

namespace {

// The slow way, for times before 1970 or after 9999, which no clock of a run gives.
std::string UtcTextByLibrary(int64_t unixMs)
{
    const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[40];
    const size_t size = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    std::snprintf(text + size, sizeof text - size, ".%03dZ", static_cast<int>(unixMs % 1000));
    return text;
}

void PutDigits(char* at, int64_t value, int count)
{
    for (int i = count - 1; i >= 0; --i, value /= 10)
        at[i] = static_cast<char>('0' + value % 10);
}

} // namespace

// By hand: the snapshot writes one for every recent execution every second, and gmtime_r and
// strftime take the time zone's lock and read a format each time. The date from the day number is
// the usual count in 400-year eras that begin on 1 March.
std::string UtcText(int64_t unixMs)
{
    constexpr int64_t kYear10000Ms = 253402300800000;
    if (unixMs < 0 || unixMs >= kYear10000Ms)
        return UtcTextByLibrary(unixMs);
    const int64_t seconds = unixMs / 1000;
    const int64_t ofDay = seconds % 86400;
    const int64_t z = seconds / 86400 + 719468;
    const int64_t era = z / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153; // 0 is March
    const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    std::string text = "0000-00-00T00:00:00.000Z";
    PutDigits(&text[0], year, 4);
    PutDigits(&text[5], month, 2);
    PutDigits(&text[8], day, 2);
    PutDigits(&text[11], ofDay / 3600, 2);
    PutDigits(&text[14], ofDay / 60 % 60, 2);
    PutDigits(&text[17], ofDay % 60, 2);
    PutDigits(&text[20], unixMs % 1000, 3);
    return text;
}

void SetLiveState(Quorvel& event, EventLive::State state, int64_t untilMs)
{
    if (event.runner == nullptr)
        return;
    const int64_t now = LocalNow().unixMs;
    std::lock_guard lock(event.runner->lock);
    event.live.state = state;
    event.live.sinceMs = now;
    event.live.untilMs = untilMs;
    ++event.runner->statusChanges;
}

std::string StatusSnapshotJson(const QuorvelRunner& project)
{
    std::vector<EventCopy> copies;
    bool running = false;
    int64_t started = 0;
    {
        std::lock_guard lock(project.lock);
        running = project.running;
        started = project.runStartedMs;
        for (size_t i = 0; i < project.events.size(); ++i) {
            const Quorvel& event = project.events[i];
            if (event.live.state == EventLive::State::kIdle)
                continue;
            const ExecStats& stats = event.results;
            std::optional<ExecStats::Recent> latest; // without its text: the list has that
            if (!stats.recent.empty()) {
                const ExecStats::Recent& last = stats.recent.back();
                latest = ExecStats::Recent { last.endMs, last.checkMs, last.passed, last.status, last.value, {} };
            }
            copies.push_back({ static_cast<int>(i) + 1, &event, event.live, stats.count, stats.Failed(),
                stats.actions, stats.heldBack, std::move(latest), RecentList(stats.recent) });
        }
    }
    const int64_t now = LocalNow().unixMs;
    std::string text;
    text.reserve(1024 + copies.size() * 8192); // about what 60 recent executions take
    JsonWriter json(text);
    json.BeginObject();
    json.StringMember("project", project.projectName);
    json.StringMember("file", project.projectFile);
    json.IntMember("pid", ::getpid());
    json.Key("started");
    TimeOrNull(json, started);
    json.StringMember("updated", UtcText(now));
    json.BoolMember("running", running);
    json.Key("events");
    json.BeginArray();
    for (const EventCopy& copy : copies)
        Event(json, copy, now);
    json.EndArray();
    json.EndObject();
    return text;
}
