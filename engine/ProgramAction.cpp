// The program action: starts the event's command line without waiting for it, and tells when the
// program fails once it has ended.
#include "engine/Actions.h"
#include "external/support/CommandLine.h"
#include "engine/FailureNotice.h"
#include "engine/ProgramLauncher.h"
#include "external/support/CLog.h"
#include "external/support/FailureLine.h"
#include "external/support/MessageBox.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

// The programs of one event that still run. Shared with the end of each of them, which may come
// after the run, or the event, is gone.
struct ProgramSlots {
    std::mutex mutex;
    std::condition_variable freed;
    int running = 0; // guarded by mutex
};

namespace {

constexpr const char* kContext = "Action";

// A program that has ended is collected a moment later: an event that starts short programs
// quickly waits this long for one of them to be collected before its action fails.
constexpr auto kSlotWait = std::chrono::milliseconds(100);

bool TakeSlot(ProgramSlots& slots)
{
    std::unique_lock lock(slots.mutex);
    if (!slots.freed.wait_for(lock, kSlotWait, [&] { return slots.running < kProgramsPerEvent; }))
        return false;
    ++slots.running;
    return true;
}

void GiveSlot(ProgramSlots& slots)
{
    {
        const std::lock_guard lock(slots.mutex);
        --slots.running;
    }
    slots.freed.notify_one();
}

// "sh exited with status 7: boom", "sleep ended by signal 9 (Killed)"; empty for a program that
// did what it should, or whose end is not known.
std::string EndText(const std::string& program, const ChildReaper::End& end)
{
    std::string text;
    if (end.signal != 0)
        text = program + " ended by signal " + std::to_string(end.signal) + " (" + ::strsignal(end.signal) + ")";
    else if (end.status > 0)
        text = program + " exited with status " + std::to_string(end.status);
    if (!text.empty() && !end.firstErrorLine.empty())
        text += ": " + end.firstErrorLine;
    return text;
}

// "$STATE$" and "$VALUE$" of one word, in one pass: what is put in is never read again, so a value
// that holds "$STATE$" stays as it is.
std::string ExpandWord(std::string_view word, const std::string& state, const std::string& value)
{
    static constexpr std::string_view kState = "$STATE$";
    static constexpr std::string_view kValue = "$VALUE$";
    std::string out;
    for (size_t at = 0; at < word.size();) {
        if (word.substr(at, kState.size()) == kState) {
            out += state;
            at += kState.size();
        } else if (word.substr(at, kValue.size()) == kValue) {
            out += value;
            at += kValue.size();
        } else {
            out += word[at++];
        }
    }
    return out;
}

// The reason goes to the program log, from which the iteration tells a streak of failed actions
// once on standard error.
bool NotStarted(const Quorvel& event, const std::string& program, const std::string& error)
{
    if (MessageBoxesShowWindows())
        ShowMessageBox(error, event.sProgram, MB_OK | MB_ICONERROR);
    CLog::Bug(program + " not started: " + error, kContext);
    return false;
}

} // namespace

bool RunProgramAction(Quorvel& event, const std::string& state)
{
    if (event.programs == nullptr)
        event.programs = std::make_shared<ProgramSlots>();
    ProgramSlots& slots = *event.programs;
    std::vector<std::string> args;
    std::string error;
    if (SplitCommandLine(event.sProgram, &args, &error) != 0)
        return NotStarted(event, event.sProgram, error);
    for (std::string& arg : args)
        arg = ExpandWord(arg, state, event.value);
    const std::string program = args[0];
    if (!TakeSlot(slots)) {
        return NotStarted(event, program, std::to_string(kProgramsPerEvent) + " programs of this event are still running");
    }
    // What the line names is taken now: the event may have been edited, or be gone, when the program
    // ends. Each program that fails is told: its end comes long after the iteration.
    auto onEnd = [slots = event.programs, prefix = EventLinePrefix(event), program](const ChildReaper::End& end) {
        GiveSlot(*slots);
        if (const std::string failed = EndText(program, end); !failed.empty())
            TellFailure(prefix + "action failed: " + failed, kContext);
    };
    if (ProgramLauncher::Start(std::move(args), &error, std::move(onEnd)) != 0) {
        GiveSlot(slots);
        return NotStarted(event, program, error);
    }
    return true;
}
