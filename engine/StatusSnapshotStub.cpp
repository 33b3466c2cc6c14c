// STUB, to be replaced by the real status snapshot (engine/StatusSnapshot.cpp) when both meet: a
// snapshot of the agreed shape made from what the statistics already hold, so that the status
// page has something true to show. States, waits and failure reasons are not known here.
#include "engine/CheckWatch.h"
#include "external/support/StrFormat.h"
#include "model/QuorvelRunner.h"

#include <ctime>
#include <unistd.h>

namespace {

std::string Json(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
            out += StrFormat("\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        else
            out += c;
    }
    return out + "\"";
}

std::string Time(int64_t ms)
{
    if (ms <= 0)
        return "null";
    const time_t seconds = static_cast<time_t>(ms / 1000);
    std::tm utc {};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return StrFormat("\"%s.%03dZ\"", text, static_cast<int>(ms % 1000));
}

std::string Recent(const RunSeries& series)
{
    const auto& buckets = series.Buckets();
    const size_t first = buckets.size() > 60 ? buckets.size() - 60 : 0;
    std::string out = "[";
    for (size_t i = first; i < buckets.size(); ++i) {
        const RunSeries::Bucket& b = buckets[i];
        out += StrFormat("%s{\"t\":%s,\"ms\":%u,\"ok\":%s,\"value\":%s}", i == first ? "" : ",", Time(b.lastMs).c_str(),
            b.checkMax, b.failed == 0 ? "true" : "false",
            b.numeric > 0 ? Json(StrFormat("%g", b.valueMax)).c_str() : "null");
    }
    return out + "]";
}

std::string Event(int number, const Quorvel& event, const ExecStats& stats, double executing)
{
    const bool ran = stats.count > 0;
    return StrFormat("{\"number\":%d,\"note\":%s,\"description\":%s,\"state\":\"%s\",\"until\":null,"
                     "\"executingSeconds\":%s,\"status\":\"%s\",\"value\":%s,\"checkMs\":%s,\"checked\":%s,"
                     "\"failure\":null,\"counts\":{\"executions\":%d,\"failed\":%d,\"actions\":%d,\"heldBack\":%d},"
                     "\"problem\":null,\"recent\":%s}",
        number, Json(event.EventNote).c_str(), Json(event.Description(-1)).c_str(),
        executing > 0 ? "executing" : "waiting", executing > 0 ? StrFormat("%.1f", executing).c_str() : "null",
        !ran ? "" : stats.lastPassed ? "OK" : "FAILED", ran ? Json(stats.lastValue).c_str() : "null",
        ran ? StrFormat("%u", stats.lastCheck).c_str() : "null", Time(stats.lastTime * 1000).c_str(), stats.count,
        stats.Failed(), stats.actions, stats.heldBack, Recent(stats.series).c_str());
}

} // namespace

std::string StatusSnapshotJson(const QuorvelRunner& project)
{
    auto& runner = const_cast<QuorvelRunner&>(project); // the lock is the only thing changed
    std::vector<ExecStats> stats;
    {
        std::lock_guard guard(runner.lock);
        for (const Quorvel& event : project.events)
            stats.push_back(event.results);
    }
    std::string events;
    for (size_t i = 0; i < stats.size(); ++i) {
        const Quorvel& event = project.events[i];
        if (event.enabled == 0)
            continue;
        events += (events.empty() ? "" : ",")
            + Event(static_cast<int>(i) + 1, event, stats[i], CheckWatch::RunningSeconds(&event));
    }
    const std::string now = Time(static_cast<int64_t>(std::time(nullptr)) * 1000);
    return StrFormat("{\"project\":%s,\"file\":%s,\"pid\":%d,\"started\":null,\"updated\":%s,\"running\":true,"
                     "\"events\":[%s]}",
        Json(project.projectName).c_str(), Json(project.projectName + ".qvl").c_str(), static_cast<int>(::getpid()),
        now.c_str(), events.c_str());
}
