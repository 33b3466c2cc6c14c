// The life of an event's worker thread: first delay, iterations, intervals, and the flags that
// steer a run.
#include "engine/FailureNotice.h"
#include "engine/RunControl.h"
#include "engine/RunTexts.h"
#include "model/StartAt.h"
#include "engine/StatusSnapshot.h"
#include "engine/StatusPage.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Console.h"
#include "external/support/MessageBox.h"
#include "external/support/Clock.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace {

// While paused, the loop looks at the flags this often instead of spinning a core.
constexpr auto kPausePoll = std::chrono::milliseconds(20);

// The clock's nanoseconds reach 292 years; the longest stored wait (2^31 hours) would overflow
// them, so a wait is cut to a century, which no run outlives.
constexpr int64_t kLongestWaitMs = int64_t{100} * 366 * 24 * 3600 * 1000;

// The project's "ConsoleLines" when it names a choice, else the preference.
int ConsoleLinesOf(const QuorvelRunner* runner)
{
    const int named = runner != nullptr ? QuorvelRunner::ConsoleLinesNamed(runner->consoleLines) : -1;
    if (named >= 0)
        return named;
    const int preference = SettingInt("ConsoleLines");
    return preference >= CONSOLE_LINES_ALL && preference <= CONSOLE_LINES_NONE ? preference : CONSOLE_LINES_ALL;
}

// What a console that shows changes only shows of the statuses: the start and the end of an
// event; an execution's outcome comes through PostOutcome.
bool ShownAsChange(const std::string& text)
{
    return text == "Started" || text == "Completed" || text == "Cancelled" || text == "Broken event";
}

void DropDatabase(std::unique_ptr<CDB>& db)
{
    if (db) {
        db->disconnect();
        db.reset();
    }
}

} // namespace

void Quorvel::EventThreadProc(Quorvel* event)
{
    Quorvel& e = *event;
    const RunTexts texts(e); // the definition does not change while the run lasts
    const CLog::Scope named(EventLabel(e)); // the thread's program-log entries name the event
    e.consoleLines = ConsoleLinesOf(e.runner);
    e.lastOutcome.clear();
    const int row = e.PostStatus(-1, "Started");
    if (e.FirstDelay(row) != 0)
        return;
    int pausedPolls = 0;
    for (;;) {
        if (e.CheckCancel(row) == 1)
            return;
        if (g_pause == 1) {
            if (pausedPolls++ == 0) {
                SetLiveState(e, EventLive::State::kPaused);
                e.PostStatus(row, "Paused by user");
            }
        } else {
            pausedPolls = 0;
            e.ExecuteOnce(row);
        }
        if (e.stopEvent == 1 || g_terminateProject == 1)
            break;
        if (g_pause == 1) {
            // A pause skips the interval and the iteration test of the iteration before it.
            SleepUntil(std::chrono::steady_clock::now() + kPausePoll);
            continue;
        }
        if (e.NextIteration(row) == 0)
            break;
    }
    e.ClosePerfCounter();
    SetLiveState(e, EventLive::State::kCompleted);
    e.PostStatus(row, "Completed");
}

void Quorvel::WriteConsoleLine(const std::string& text) const
{
    // "%s: %s (%s) -> %s" of the time of day, the description, the note and the status.
    thread_local std::string line; // its room is kept from line to line
    line.clear();
    AppendTimeOfDay(line, LocalNow());
    RunTexts::AppendStatusMiddle(line, *this);
    line += text;
    ConsoleWriteLine(line);
}

void Quorvel::PostOutcome(const std::string& outcome)
{
    if (page != nullptr || consoleLines != CONSOLE_LINES_CHANGES || outcome == lastOutcome)
        return;
    lastOutcome = outcome;
    WriteConsoleLine(outcome);
}

int Quorvel::PostStatus(int row, const std::string& text)
{
    if (page == nullptr) {
        if (consoleLines == CONSOLE_LINES_ALL || (consoleLines == CONSOLE_LINES_CHANGES && ShownAsChange(text)))
            WriteConsoleLine(text);
        return -1;
    }
    if (row < 0)
        return page->AddActiveRow(*this, text);
    page->SetRowStatus(row, text);
    return row;
}

int Quorvel::FirstDelay(int row)
{
    gate.Reset();
    checkFailure.Reset();
    actionFailure.Reset();
    if (runner != nullptr) {
        std::lock_guard lock(runner->lock);
        results.Clear();
    } else {
        results.Clear();
    }
    if (type == EVENT_COUNTER)
        OpenPerfCounter();
    switch (delayType) {
    case DELAY_NONE:
        break;
    case DELAY_FOR:
        Wait(ToMilliseconds(iDelay, delayTimeType), row);
        break;
    case DELAY_START_AT: {
        int delayMs = 0;
        if (StartAtDelay(tmStartAt, LocalNow().tm, &delayMs) != 0)
            ShowMessageBox("Unrecognized time format: " + tmStartAt, LoadString(IDS_ERROR), MB_ICONERROR);
        else
            Wait(delayMs, row);
        break;
    }
    default:
        CLog::Bug("Broken event execution attempt");
        SetLiveState(*this, EventLive::State::kCompleted);
        PostStatus(row, "Broken event");
        return -1;
    }
    return 0;
}

void Quorvel::Wait(int64_t ms, int row)
{
    if (ms <= 0)
        return;
    const int64_t waitMs = std::min(ms, kLongestWaitMs);
    SetLiveState(*this, EventLive::State::kWaiting, LocalNow().unixMs + waitMs);
    PostStatus(row, "Paused");
    SleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs));
}

int Quorvel::NextIteration(int row)
{
    const bool done = (iterType == ITER_ONCE && execCount != 0) || (iterType == ITER_COUNT && execCount >= iExecs);
    if (done) {
        DropDatabase(db);
        return 0;
    }
    if (intType == INTERVAL_WAIT)
        Wait(ToMilliseconds(iInterval, intTimeType), row);
    return 1;
}

int Quorvel::CheckCancel(int row)
{
    if (g_breakAll != 1)
        return 0;
    SetLiveState(*this, EventLive::State::kCancelled);
    PostStatus(row, "Cancelled");
    DropDatabase(db);
    ClosePerfCounter();
    return 1;
}
