#include "ui/main/ProjectRun.h"

#include "engine/RunControl.h"
#include "model/QuorvelRunner.h"

#include <QMetaObject>
#include <QPointer>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The run's thread, and the event threads that it starts (they inherit it), give way to the window
// thread: a run at full speed keeps every core busy, and the window must still answer at once.
// Only the order among this process's threads changes when the machine has time to spare.
constexpr int kRunNiceness = 5;

void YieldToTheWindow()
{
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, ::getpriority(PRIO_PROCESS, thread) + kRunNiceness);
}

} // namespace

ProjectRun::ProjectRun(QObject* parent)
    : QObject(parent)
{
}

ProjectRun::~ProjectRun()
{
    // The window closes only after the run has ended; this covers an owner torn down early.
    if (thread_.joinable()) {
        BreakAll();
        thread_.join();
    }
}

bool ProjectRun::Start(QuorvelRunner& runner, StatusPage& page, std::vector<uint16_t> selection, bool useSelection)
{
    if (running_)
        return false;
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    // Cleared here, before the window offers Break all, so that a break pressed at once counts.
    ResetBreak();
    QPointer<ProjectRun> self(this);
    thread_ = std::thread([&runner, &page, self, selection = std::move(selection), useSelection] {
        YieldToTheWindow();
        const int result = runner.RunKeepingBreak(&page, useSelection ? &selection : nullptr);
        QMetaObject::invokeMethod(
            self.data(),
            [self, result] {
                if (self)
                    self->Finish(result);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ProjectRun::Finish(int result)
{
    // Run has returned; the thread is only leaving its function now.
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    emit Ended(result);
}
