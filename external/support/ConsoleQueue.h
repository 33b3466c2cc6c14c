#pragma once

#include "external/support/UniqueFd.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// The lines of a console run on their way to standard output. A line goes out at once in one
// write() while the reader keeps up; the output is written without waiting (a descriptor of its
// own with O_NONBLOCK, or send() with MSG_DONTWAIT on a socket), so a reader that does not read
// never holds up the thread that made the line. What the output does not take waits in a bounded
// queue that a writer thread of its own empties as the reader reads; past the bound, lines are
// dropped and counted, and one line says how many once there is room again. A reader that has gone
// away costs nothing further: its lines are dropped. Lines stay whole and in order, whoever wrote
// them.
class ConsoleQueue {
public:
    // `fd` is the output (standard output); `capacity` the bytes that may wait for it.
    explicit ConsoleQueue(int fd, size_t capacity);
    // Flushes with no wait at all.
    ~ConsoleQueue();
    ConsoleQueue(const ConsoleQueue&) = delete;
    ConsoleQueue& operator=(const ConsoleQueue&) = delete;

    // One line with its line feed.
    void Write(std::string_view line);

    // Waits at most `bound` for what is queued to be written, then ends the writer thread and
    // forgets the output, so that the next line looks at it afresh (also after the descriptor was
    // replaced). 0 when everything went out, -1 when lines were left: they are dropped, except on an
    // output that can only be written waiting, whose writer ends once the reader has taken them
    // (lines written after that are dropped).
    int Flush(std::chrono::milliseconds bound);

    // The text of the line that tells of `count` dropped lines.
    static std::string DroppedLine(uint64_t count);

private:
    enum class Mode { Unknown, Plain, Socket, Private, Blocking };
    enum class Outcome { Written, Full, Gone, Failed };

    void Open();
    ssize_t WriteSome(const char* bytes, size_t size) const;
    Outcome WriteOut(std::string_view bytes, size_t& done, bool waitForRoom) const;
    void Enqueue(std::string_view bytes);
    void QueueDroppedLine();
    void StartWriter();
    void Drain();
    bool Idle() const { return queue_.empty() && !writing_; }

    const int fd_;
    const size_t capacity_;
    std::mutex mutex_;
    std::condition_variable wake_;    // the writer: there is something to write, or stop
    std::condition_variable drained_; // Flush: the writer has written what it took
    Mode mode_ = Mode::Unknown;       // the rest is guarded by mutex_ unless said otherwise
    UniqueFd private_;                // a description of the output that only this process uses
    int out_ = -1;                    // private_ or fd_
    bool gone_ = false;               // the reader has gone away: lines are dropped unwritten
    std::string queue_;               // whole lines, oldest first
    bool writing_ = false;            // the writer holds lines taken out of queue_
    uint64_t dropped_ = 0;            // lines dropped since the last line telling of drops
    std::thread writer_;
    std::atomic<bool> stop_ { false }; // read by the writer between its tries
};
