#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class QuorvelRunner;
class StatusPage;

// A run of the project on a thread of its own, so that the window thread keeps serving the
// window (and the message boxes that workers ask it to show) while the events work. When the run
// has returned, `Ended` is emitted on the window thread.
class ProjectRun : public QObject {
    Q_OBJECT
public:
    explicit ProjectRun(QObject* parent = nullptr);
    ~ProjectRun() override;

    // Starts the run; false when one is still going. `selection` as QuorvelRunner::Run takes it,
    // empty for every enabled event.
    bool Start(QuorvelRunner& runner, StatusPage& page, std::vector<uint16_t> selection, bool useSelection);
    bool Running() const { return running_; }

signals:
    void Ended(int result);

private:
    void Finish(int result);

    std::thread thread_;
    bool running_ = false;
};
