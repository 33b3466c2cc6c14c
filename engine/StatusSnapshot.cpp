#include "engine/StatusSnapshot.h"

#include "external/support/Clock.h"
#include "model/EventTypes.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>
#include <unistd.h>
#include <vector>

namespace {

using Json = nlohmann::ordered_json; // the keys in the order a reader expects them

// What the snapshot needs of one event, copied under the runner's lock.
struct EventCopy {
    int number = 0;
    const Quorvel* event = nullptr;
    EventLive live;
    int count = 0;
    int failed = 0;
    int actions = 0;
    int heldBack = 0;
    std::deque<ExecStats::Recent> recent;
};

// In the order of EventLive::State.
constexpr const char* kStateNames[] = { "", "starting", "waiting", "executing", "paused", "completed", "cancelled" };

const char* StateName(EventLive::State state)
{
    return kStateNames[static_cast<size_t>(state)];
}

Json TimeOrNull(int64_t unixMs)
{
    return unixMs > 0 ? Json(UtcText(unixMs)) : Json(nullptr);
}

// A failed check keeps no value worth showing: the value column then says nothing.
Json ValueOf(const ExecStats::Recent& execution)
{
    return execution.status == "FAILED" ? Json(nullptr) : Json(execution.value);
}

// The later of the two failures, or null when neither kind has failed in this run.
Json LatestFailure(const EventLive& live)
{
    const bool action = live.actionFailure.latestMs() > live.checkFailure.latestMs();
    const FailureStreak& streak = action ? live.actionFailure : live.checkFailure;
    if (streak.latestMs() == 0)
        return nullptr;
    return { { "what", action ? "action" : "check" }, { "reason", streak.reason() },
        { "since", TimeOrNull(streak.sinceMs()) }, { "latest", TimeOrNull(streak.latestMs()) },
        { "count", streak.count() }, { "open", streak.failing() } };
}

Json EventJson(const EventCopy& copy, int64_t nowMs)
{
    const Quorvel& event = *copy.event;
    const bool executing = copy.live.state == EventLive::State::kExecuting;
    const bool waiting = copy.live.state == EventLive::State::kWaiting;
    Json recent = Json::array();
    for (const ExecStats::Recent& execution : copy.recent)
        recent.push_back({ { "t", UtcText(execution.endMs) }, { "ms", execution.checkMs },
            { "ok", execution.passed }, { "value", ValueOf(execution) } });
    const ExecStats::Recent* latest = copy.recent.empty() ? nullptr : &copy.recent.back();
    Json problem = nullptr;
    if (event.iActWhen == ACT_ON_START)
        problem = { { "open", copy.live.problemOpen }, { "since", TimeOrNull(copy.live.problemSinceMs) } };
    return {
        { "number", copy.number },
        { "note", event.EventNote },
        { "description", event.Description(-1) },
        { "state", StateName(copy.live.state) },
        { "until", waiting ? TimeOrNull(copy.live.untilMs) : Json(nullptr) },
        { "executingSeconds", executing ? Json((nowMs - copy.live.sinceMs) / 1000.0) : Json(nullptr) },
        { "status", latest != nullptr ? latest->status : std::string() },
        { "value", latest != nullptr ? ValueOf(*latest) : Json(nullptr) },
        { "checkMs", latest != nullptr ? Json(latest->checkMs) : Json(nullptr) },
        { "checked", latest != nullptr ? TimeOrNull(latest->endMs) : Json(nullptr) },
        { "failure", LatestFailure(copy.live) },
        { "counts", { { "executions", copy.count }, { "failed", copy.failed }, { "actions", copy.actions },
                        { "heldBack", copy.heldBack } } },
        { "problem", problem },
        { "recent", recent },
    };
}

} // namespace

std::string UtcText(int64_t unixMs)
{
    const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[40];
    const size_t size = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    std::snprintf(text + size, sizeof text - size, ".%03dZ", static_cast<int>(unixMs % 1000));
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
            copies.push_back({ static_cast<int>(i) + 1, &event, event.live, stats.count, stats.Failed(),
                stats.actions, stats.heldBack, stats.recent });
        }
    }
    const int64_t now = LocalNow().unixMs;
    Json events = Json::array();
    for (const EventCopy& copy : copies)
        events.push_back(EventJson(copy, now));
    const Json snapshot = {
        { "project", project.projectName },
        { "file", project.projectFile },
        { "pid", static_cast<int>(::getpid()) },
        { "started", TimeOrNull(started) },
        { "updated", UtcText(now) },
        { "running", running },
        { "events", events },
    };
    // Notes and reasons may hold bytes that are not UTF-8: replaced, never an exception.
    return snapshot.dump(2, ' ', false, Json::error_handler_t::replace);
}
