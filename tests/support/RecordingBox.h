#pragma once

#include "external/support/MessageBox.h"

#include <mutex>
#include <string>
#include <vector>

// Records every message box shown while it is installed, as "caption: text", and answers OK.
// Worker threads show boxes too, hence the lock.
class RecordingBox : public MessageBoxSink {
public:
    RecordingBox()
        : previous_(SetMessageBoxSink(this))
    {
    }
    ~RecordingBox() override { SetMessageBoxSink(previous_); }
    RecordingBox(const RecordingBox&) = delete;
    RecordingBox& operator=(const RecordingBox&) = delete;

    int Show(const std::string& text, const std::string& caption, int) override
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(caption + ": " + text);
        return IDOK;
    }
    std::vector<std::string> Shown() const
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> shown_;
    MessageBoxSink* previous_;
};
