#include "engine/EventRunProblems.h"

#include "external/support/CommandLine.h"
#include "model/StartAt.h"
#include "external/counters/CounterCatalog.h"
#include "external/counters/CounterPath.h"
#include "external/counters/CounterQuery.h"
#include "external/support/StrFormat.h"
#include "model/EventTypes.h"
#include "model/ProjectSchema.h"
#include "model/Quorvel.h"

#include <cstdint>
#include <ctime>

namespace {

// A wait as a message says it: "no time at all", "57 min 3 s".
std::string WaitText(int64_t ms)
{
    if (ms <= 0)
        return "no time at all";
    const int64_t seconds = ms / 1000;
    if (seconds < 60)
        return StrFormat("%lld ms", static_cast<long long>(ms));
    if (seconds < 3600)
        return StrFormat("%lld min %lld s", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
    return StrFormat("%lld h %lld min", static_cast<long long>(seconds / 3600),
        static_cast<long long>(seconds % 3600 / 60));
}

// Collects the problems of one event, in the order the project check has always told them.
class EventChecker {
public:
    EventChecker(const Quorvel& event, const std::string& section)
        : e_(event)
        , section_(section)
        , name_(section.c_str())
        , enabled_(event.enabled != 0)
    {
    }

    std::vector<EventProblem> Run()
    {
        CheckNeeds();
        CheckRun();
        return std::move(problems_);
    }

private:
    void Add(const char* key, bool warning, std::string message, const char* lineKey = nullptr)
    {
        problems_.push_back({ section_, key, lineKey != nullptr ? lineKey : key, warning, std::move(message) });
    }

    void Need(const std::string& value, const char* key, const char* what)
    {
        if (value.empty())
            Add(key, !enabled_, StrFormat("[%s] is %s: %s is empty%s", name_, what, key, DisabledNote(enabled_)));
    }

    void CheckNeeds()
    {
        switch (e_.type) {
        case EVENT_SQL:
            Need(e_.SQL, "SQL", "an SQL check without a statement");
            break;
        case EVENT_FILE:
            Need(e_.FileOrDir, "FileOrDir", "a file check without a path");
            break;
        case EVENT_COUNTER:
            Need(e_.PerfCounter, "PerfCounter", "a counter check without a counter path");
            break;
        default:
            break;
        }
        if (e_.action == ACTION_SQL)
            Need(e_.ActionSQL, "ActionSQL", "an SQL action without a statement");
        if (e_.action == ACTION_PROGRAM)
            Need(e_.sProgram, "sProgram", "a program action without a program");
        if (e_.iActWhen != ACT_ON_START) {
            // Repeating and recovering belong to an event that acts when its condition starts to hold.
            for (const auto& [key, value] : { std::pair { "iRepeatEvery", e_.iRepeatEvery },
                     std::pair { "bActOnRecovery", e_.bActOnRecovery } }) {
                if (value != 0)
                    Add(key, true,
                        StrFormat("[%s] %s is %d, but the event acts every time the condition holds: it has no effect",
                            name_, key, value));
            }
        }
        if (e_.delayType == DELAY_FOR)
            CheckWait("iDelay", e_.iDelay, e_.delayTimeType);
        if (e_.intType == INTERVAL_WAIT)
            CheckWait("iInterval", e_.iInterval, e_.intTimeType);
        std::tm noon {};
        noon.tm_hour = 12;
        int delayMs = 0;
        if (e_.delayType == DELAY_START_AT && StartAtDelay(e_.tmStartAt, noon, &delayMs) != 0)
            Add("tmStartAt", !enabled_,
                StrFormat("[%s] tmStartAt %s is no time of day (HH:MM:SS): the run refuses it and starts the event at "
                          "once%s",
                    name_, QuotedInMessage(e_.tmStartAt).c_str(), DisabledNote(enabled_)));
    }

    void CheckWait(const char* key, int value, int unit)
    {
        constexpr int64_t kYearMs = int64_t { 365 } * 24 * 3600 * 1000;
        const int64_t ms = Quorvel::ToMilliseconds(value, unit);
        const std::string wait = StrFormat("%d %s", value, Quorvel::TimeUnitName(unit).c_str());
        // Earlier versions counted a wait in 32 bits and wrapped: a file may have relied on that.
        const auto wrapped = static_cast<int32_t>(static_cast<uint32_t>(ms));
        if (wrapped != ms)
            Add(key, true,
                StrFormat("[%s] %s is %s, which earlier versions counted in 32 bits and so waited %s; it now waits as "
                          "long as it says",
                    name_, key, wait.c_str(), WaitText(wrapped).c_str()));
        if (ms > kYearMs)
            Add(key, true, StrFormat("[%s] %s is %s, more than a year", name_, key, wait.c_str()));
    }

    void CheckRun()
    {
        const bool endless = e_.iterType == ITER_ENDLESS;
        const bool waits = e_.intType == INTERVAL_WAIT && e_.iInterval > 0;
        if (endless && !waits)
            Add("intType", true,
                StrFormat("[%s] runs without end and without an interval: it checks back to back, thousands of times "
                          "a second (set intType = 1 and an iInterval)%s",
                    name_, DisabledNote(enabled_)),
                e_.intType == INTERVAL_WAIT ? "iInterval" : "intType");
        if (e_.type == EVENT_SQL && e_.bNeedConnect == 0 && !e_.checkConn.target.empty())
            Add("bNeedConnect", true,
                StrFormat("[%s] is an SQL check with a connection, but bNeedConnect is 0: the editor shows its "
                          "connection as not required (set bNeedConnect = 1)",
                    name_));
        if (e_.action == ACTION_PROGRAM && !e_.sProgram.empty()) {
            std::vector<std::string> words;
            std::string error;
            if (SplitCommandLine(e_.sProgram, &words, &error) != 0)
                Add("sProgram", true,
                    StrFormat("[%s] sProgram cannot be started: %s; every action fails%s", name_, error.c_str(),
                        DisabledNote(enabled_)));
        }
        if (e_.type == EVENT_COUNTER)
            CheckCounter();
        for (const ProjectSchema::Key& key : ProjectSchema::Keys()) {
            const std::string* text = key.section == ProjectSchema::Section::Item ? e_.StoredText(key.name) : nullptr;
            if (text != nullptr && text->find('\0') != std::string::npos)
                Add(key.name, true,
                    StrFormat("[%s] %s holds a NUL character: the run cuts the text there%s", name_, key.name,
                        DisabledNote(enabled_)));
        }
    }

    void CheckCounter()
    {
        const std::string& text = e_.PerfCounter;
        if (text.empty())
            return; // told as a check without a counter path
        CounterPath path;
        if (!ParseCounterPath(CounterFullPath(e_.Machine, text), &path)) {
            Add("PerfCounter", true,
                StrFormat("[%s] PerfCounter \"%s\" is no counter path (\\Object(instance)\\Counter): every check fails%s",
                    name_, text.c_str(), DisabledNote(enabled_)));
            return;
        }
        ResolvedCounter counter {};
        if (FindCounter(path, &counter) != 0)
            Add("PerfCounter", true,
                StrFormat("[%s] PerfCounter \"%s\" is no counter that Quorvel knows: every check fails%s", name_,
                    text.c_str(), DisabledNote(enabled_)));
    }

    const Quorvel& e_;
    const std::string& section_;
    const char* name_;
    bool enabled_;
    std::vector<EventProblem> problems_;
};

} // namespace

std::vector<EventProblem> EventRunProblems(const Quorvel& event, const std::string& section)
{
    return EventChecker(event, section).Run();
}

const char* DisabledNote(bool enabled)
{
    return enabled ? "" : "; the event is disabled";
}

std::string QuotedInMessage(const std::string& text)
{
    constexpr size_t kShown = 40;
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // Cut only before a character's first byte, so the message stays UTF-8.
        if (i >= kShown && (byte & 0xC0) != 0x80)
            return "\"" + shown + "...\"";
        shown += byte < 0x20 || byte == 0x7F ? '?' : text[i];
    }
    return "\"" + shown + "\"";
}
