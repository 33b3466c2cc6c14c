// One iteration of an event: check, condition, action and record, in this order.
#include "engine/Actions.h"
#include "engine/Checks.h"
#include "engine/FailureNotice.h"
#include "engine/Iteration.h"
#include "engine/RunControl.h"
#include "engine/StatusSnapshot.h"
#include "engine/StatusPage.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "res/Strings.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

void RunCheck(Quorvel& event, Iteration& it)
{
    switch (event.type) {
    case EVENT_SQL:
        RunSqlCheck(event, it);
        break;
    case EVENT_FILE:
        RunFileCheck(event, it);
        break;
    case EVENT_COUNTER:
        RunCounterCheck(event, it);
        break;
    default:
        break; // no check: nothing posted, status stays empty
    }
}

// A condition on the check's rows, value or time cannot be judged when the check failed; "Always"
// and "On error" hold, and "On success" does not, as they always did.
bool Judged(const Quorvel& event, const Iteration& it)
{
    const bool onResult = event.cond == COND_ROW_COUNT || event.cond == COND_RESULT_VALUE || event.cond == COND_CHECK_TIME;
    return !onResult || it.status != "FAILED";
}

// The check's value as a number: leading blanks, a sign, digits; 0 when there are none, so "N/A"
// reads 0.
int ValueAsInt(const std::string& value)
{
    const long long number = std::strtoll(value.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp(number, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

bool ConditionHolds(const Quorvel& event, const Iteration& it)
{
    switch (event.cond) {
    case COND_ALWAYS:
        return true;
    case COND_ON_ERROR:
        return !it.checkOK;
    case COND_ON_SUCCESS:
        return it.checkOK;
    case COND_ROW_COUNT:
        return it.checkOK && Quorvel::Compare(event.rowCheck, it.rows, event.rowCheckValue);
    case COND_RESULT_VALUE:
        return it.checkOK && Quorvel::Compare(event.resCheck, ValueAsInt(event.value), event.resCheckValue);
    case COND_CHECK_TIME:
        return it.checkOK &&
               Quorvel::Compare(event.resCheck, static_cast<int>(it.afterCheck - it.start), event.resCheckValue);
    default:
        return false;
    }
}

bool RunAction(Quorvel& event, Iteration& it)
{
    switch (event.action) {
    case ACTION_NONE:
        return true;
    case ACTION_SQL:
        return RunSqlAction(event, it);
    case ACTION_PROGRAM:
        return RunProgramAction(event, it.state);
    case ACTION_LOG:
        // The state goes in first: a value that holds "$STATE$" stays as it is.
        event.WriteRecord(ReplaceAll(event.sLogItem, "$STATE$", it.state), true);
        return true;
    default:
        return false;
    }
}

// Tells a failure when its streak starts and when it ends. The reason is the step's own, or the
// program log's latest entry of this thread, which the step wrote when it failed.
void FollowStreak(const Quorvel& event, FailureStreak& streak, const char* what, bool ok, const std::string& reason)
{
    if (ok) {
        if (streak.Succeeded() == FailureStreak::Tell::kEnded)
            TellFailureEnded(event, what, streak.count());
        return;
    }
    const std::string& told = reason.empty() ? CLog::LastMessage() : reason;
    if (streak.Failed(told, LocalNow().unixMs) == FailureStreak::Tell::kStarted)
        TellFailureStarted(event, what, told);
}

// "Check passed", "Check failed, Do action", "Condition holds, no change" and the like.
std::string Outcome(const char* checked, const char* acted)
{
    std::string outcome = checked;
    if (!outcome.empty() && *acted != '\0')
        outcome += ", ";
    return outcome + acted;
}

} // namespace

void Quorvel::ExecuteOnce(int row)
{
    stopEvent = 0;
    SetLiveState(*this, EventLive::State::kExecuting);
    PostStatus(row, "Executing");
    value = "N/A";
    Iteration it;
    it.start = TickCount();
    CLog::ForgetLastMessage();
    RunCheck(*this, it);
    it.afterCheck = TickCount();
    // A stop that came while the check ran cut the execution short (a cancelled statement is no
    // failed check): no action and no record; the thread posts "Cancelled" next.
    if (g_breakAll != 0) {
        GiveBackConnection(*this, it);
        return;
    }
    const char* checked = it.status.empty() ? "" : it.checkOK ? "Check passed" : "Check failed";
    const char* acted = ""; // what the condition and the action came to, for the outcome
    if (*checked != '\0')
        PostStatus(row, checked);
    if (!it.status.empty())
        FollowStreak(*this, checkFailure, "check", it.checkOK, it.reason);
    const ChangeGate::Step step = gate.Next({ iActWhen, iRepeatEvery, bActOnRecovery != 0 },
        ConditionHolds(*this, it), Judged(*this, it), LocalNow().unixMs);
    if (step.verdict == ChangeGate::Verdict::kAct) {
        PostStatus(row, "Do action");
        it.actionRun = action != ACTION_NONE;
        it.state = step.state;
        acted = "Do action";
        CLog::ForgetLastMessage();
        const bool done = RunAction(*this, it);
        FollowStreak(*this, actionFailure, "action", done, std::string());
        if (done) {
            if (bTermEvent != 0)
                stopEvent = 1;
            if (bTermProject != 0)
                g_terminateProject = 1;
        } else {
            acted = "Action Error";
            PostStatus(row, acted);
        }
    } else if (step.verdict == ChangeGate::Verdict::kHoldBack) {
        // The report's action column tells a held-back execution from one without an action.
        it.heldBack = true;
        it.actionText = LoadString(IDS_CONDITION_NO_CHANGE);
        acted = it.actionText.c_str();
        PostStatus(row, it.actionText);
    } else if (SettingInt("LogLevel") >= 1) {
        PostStatus(row, "Action skipped");
    }
    GiveBackConnection(*this, it);
    if (consoleLines == CONSOLE_LINES_CHANGES)
        PostOutcome(Outcome(checked, acted));
    it.end = TickCount();
    ++execCount;
    RecordExecution(it);
    if (page != nullptr)
        page->Executed(row, it.afterCheck - it.start, it.status != "OK");
}
