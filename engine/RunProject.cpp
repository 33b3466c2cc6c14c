// Running a project: the events that take part each get a worker thread; the calling thread
// waits for them, keeps the window alive, and writes the summary at the end.
#include "engine/ConnectionPool.h"
#include "engine/MetricsWriter.h"
#include "engine/RunControl.h"
#include "engine/StatusSnapshotWriter.h"
#include "engine/StatusPage.h"
#include "engine/StatusServer.h"
#include "engine/WorkerGroup.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"

#include <cctype>
#include <memory>

namespace {

// One pass of the run loop: the window is served this often while the workers run.
constexpr auto kRunLoopSlice = std::chrono::milliseconds(25);
// After a break a console run waits this long for its workers, then ends without the ones whose
// check or action does not return (a driver that cannot be cancelled).
constexpr auto kBreakGrace = std::chrono::seconds(3);
// How often a console run looks for a break while its workers run. Not woken by Break all: a
// driver's cancel that hangs would hold up the wake-up (Break all calls the cancels under the lock
// that a CancelScope takes), and with it the bound below. Workers that end wake the wait at once.
constexpr auto kBreakLook = std::chrono::milliseconds(500);

std::vector<Quorvel*> Participants(std::vector<Quorvel>& events, const std::vector<uint16_t>* selection)
{
    std::vector<Quorvel*> taking;
    for (size_t i = 0; i < events.size(); ++i) {
        const bool selected = selection == nullptr || (i < selection->size() && (*selection)[i] != 0);
        if (selected && events[i].enabled != 0)
            taking.push_back(&events[i]);
    }
    return taking;
}

// Tells the user why the run cannot start; false when it can.
bool RefuseRun(const std::vector<Quorvel*>& taking, bool selected)
{
    if (taking.empty()) {
        ShowMessageBox(LoadString(selected ? IDS_NO_CHECKED_EVENTS : IDS_PROJECT_EMPTY), LoadString(IDS_WARNING),
                       MB_ICONERROR);
        return true;
    }
    if (taking.size() > static_cast<size_t>(kMaxEvents)) {
        ShowMessageBox(StrFormat(LoadString(IDS_MAX_EVENTS), kMaxEvents), LoadString(IDS_ERROR), MB_ICONERROR);
        return true;
    }
    return false;
}

// Marks the run as going on (or over) for the status snapshot; every event that takes part
// starts, the others show nothing.
void MarkRun(QuorvelRunner& runner, const std::vector<Quorvel*>& taking, bool running)
{
    std::lock_guard lock(runner.lock);
    runner.running = running;
    ++runner.statusChanges;
    if (!running)
        return;
    runner.runStartedMs = LocalNow().unixMs;
    for (Quorvel& event : runner.events)
        event.live = EventLive();
    for (Quorvel* event : taking) {
        event->live.state = EventLive::State::kStarting;
        event->live.sinceMs = runner.runStartedMs;
    }
}

// The project's "TextEncoding" when it names one, else the preference.
ReportFile::Encoding OutputEncoding(const std::string& projectKey)
{
    ReportFile::Encoding encoding = ReportFile::Encoding::Utf16Le;
    if (ReportFile::EncodingNamed(projectKey, &encoding) == 0)
        return encoding;
    return SettingInt("TextEncoding") == 1 ? ReportFile::Encoding::Utf8 : ReportFile::Encoding::Utf16Le;
}

} // namespace

int QuorvelRunner::Run(StatusPage* page, const std::vector<uint16_t>* selection)
{
    ResetBreak();
    return RunKeepingBreak(page, selection);
}

int QuorvelRunner::RunKeepingBreak(StatusPage* page, const std::vector<uint16_t>* selection)
{
    g_pause = 0;
    const std::vector<Quorvel*> taking = Participants(events, selection);
    if (RefuseRun(taking, selection != nullptr))
        return -1;
    if (page != nullptr)
        page->ClearLists();
    g_terminateProject = 0;
    reportOutput.SetEncoding(OutputEncoding(textEncoding));
    logOutput.SetEncoding(OutputEncoding(textEncoding));
    abandonedWorkers = 0;
    MarkRun(*this, taking, true);
    {
        // On the heap: a group whose threads are abandoned must outlive them (see below).
        auto group = std::make_unique<WorkerGroup>();
        WorkerGroup& workers = *group;
        // Shared by the events; a worker left behind after a break keeps it alive with its share.
        const auto pool = shareConnections != 0 ? std::make_shared<ConnectionPool>() : nullptr;
        for (Quorvel* event : taking) {
            event->page = page;
            event->pool = pool;
            event->execCount = 0;
            event->runner = this;
            { // the metrics file shows this run's figures from its first write on
                std::lock_guard statistics(lock);
                event->results.Clear();
            }
            if (workers.Add([event] { Quorvel::EventThreadProc(event); }) != 0)
                CLog::Bug(StrFormat("cannot start the thread of '%s'", event->Description(-1).c_str()), "Run",
                          "Quorvel", __LINE__);
        }
        if (page != nullptr) {
            page->EnableRunControls(true);
            page->KeepAlive();
        }
        // Console mode has no loop of its own below, so the metrics file gets a thread of its own.
        MetricsWriter metrics(*this, {taking.begin(), taking.end()});
        StatusSnapshotWriter snapshot(*this);
        // The page is served from the start of the workers to the end of their statistics.
        StatusServer status(*this, {taking.begin(), taking.end()});
        status.Start();
        workers.Open();
        metrics.Start();
        snapshot.Start();
        // Console mode has no window to serve: it sleeps until the last worker ends or a break
        // comes. Waking every 25 ms there would cost a run whose events wait for hours a little
        // processor time 40 times a second.
        while (page != nullptr && g_breakAll == 0 && !workers.WaitAll(kRunLoopSlice))
            page->KeepAlive();
        if (page == nullptr)
            workers.WaitAllOr([] { return g_breakAll != 0; }, kBreakLook);
        // After a break every worker is ending: the summary reads finished statistics. A console
        // run does not wait for ever for a worker stuck in a driver: it writes the summary of what
        // was recorded (under the runner's lock, which a late worker takes as well) and leaves
        // the stuck threads with their group, which is never freed; the caller then ends the
        // process without destroying the project they use. The window keeps waiting, as its
        // project lives on and is run again.
        if (page == nullptr && g_breakAll != 0 && !workers.WaitAll(kBreakGrace)) {
            abandonedWorkers = static_cast<int>(workers.Abandon());
            (void)group.release(); // the abandoned threads still use it
            CLog::Bug(StrFormat("workers still running %lld s after the break were left behind",
                          static_cast<long long>(kBreakGrace.count())),
                "Run", "Quorvel", __LINE__);
        } else {
            workers.JoinAll();
            // The idle connections close with the pool, not with the project's next run.
            for (Quorvel* event : taking)
                event->pool.reset();
        }
        metrics.Stop();
        MarkRun(*this, taking, false);
        snapshot.Stop();
        status.Stop();
    }
    WriteSummaryReport();
    if (page != nullptr)
        page->EnableRunControls(false);
    g_pause = 0;
    return 0;
}
