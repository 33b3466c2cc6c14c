#pragma once

#include "external/support/TextLineScanner.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// Reads a text file on a thread of its own and hands every line to a sink on that thread, so
// that the window thread never waits for a large file. The sink keeps what it needs under a lock
// of its own; the window thread collects it on a timer. The reader looks at its stop flag after
// every line, so Stop() returns as soon as the line in hand is done.
class LineReaderThread {
public:
    // Runs on the reader's thread for each line; returning false ends the reading.
    using Sink = std::function<bool(const LineSpan& span, std::string_view bytes)>;

    LineReaderThread() = default;
    ~LineReaderThread();
    LineReaderThread(const LineReaderThread&) = delete;
    LineReaderThread& operator=(const LineReaderThread&) = delete;

    // Stops the reading in progress, opens `path` (on the calling thread, so that a file that
    // cannot be opened is known at once) and starts reading it. -1 when it cannot be opened.
    int Start(const std::string& path, Sink sink);
    // Asks the reader to stop and joins it.
    void Stop();
    // True once every line has been handed over (or the reading was stopped).
    bool Done() const { return done_.load(std::memory_order_acquire); }
    TextEncoding Encoding() const { return encoding_; }

private:
    std::thread thread_;
    std::atomic<bool> stop_ { false };
    std::atomic<bool> done_ { true };
    TextEncoding encoding_ = TextEncoding::EightBit;
};
