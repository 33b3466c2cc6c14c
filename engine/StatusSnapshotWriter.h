#pragma once

#include "engine/SecondTicker.h"
#include "external/support/StreakFlag.h"

#include <cstdint>
#include <string>

class QuorvelRunner;

// The project's status snapshot while a run lasts, `<projectName>-<pid>.json` in the runtime
// folder (RuntimeDir), where `quorvel status` and anyone else on the machine read it. Rewritten
// whole at most once a second when something changed, by renaming a finished file over the old
// one; removed when the run ends. Not synced to disk: a file named after a process that a power
// cut ended tells nothing, and a sync each second was disk work for no reader.
class StatusSnapshotWriter {
public:
    explicit StatusSnapshotWriter(QuorvelRunner& runner);
    ~StatusSnapshotWriter();
    StatusSnapshotWriter(const StatusSnapshotWriter&) = delete;
    StatusSnapshotWriter& operator=(const StatusSnapshotWriter&) = delete;

    // Starts the writing thread.
    void Start();
    // Ends the thread promptly and removes the file. Safe to call more than once.
    void Stop();

    const std::string& Path() const { return path_; }

private:
    // Writes the file when something changed since the last write.
    void WriteWhenChanged();

    QuorvelRunner& runner_;
    const std::string path_;
    // Only the writing thread touches these.
    uint64_t written_ = UINT64_MAX;
    StreakFlag streak_;
    SecondTicker ticker_;
};
