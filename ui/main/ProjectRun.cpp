#include "ui/main/ProjectRun.h"

#include "engine/RunControl.h"
#include "model/QuorvelRunner.h"

#include <QMetaObject>
#include <QPointer>

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
    QPointer<ProjectRun> self(this);
    thread_ = std::thread([&runner, &page, self, selection = std::move(selection), useSelection] {
        const int result = runner.Run(&page, useSelection ? &selection : nullptr);
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
