#include "external/support/ConsoleQueue.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdio_ext.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace {

// How long the writer waits for room before it looks whether it is to stop.
constexpr int kPollMs = 50;

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

ConsoleQueue::ConsoleQueue(int fd, size_t capacity)
    : fd_(fd)
    , capacity_(capacity)
{
}

ConsoleQueue::~ConsoleQueue()
{
    Flush(std::chrono::milliseconds(0));
    if (writer_.joinable()) // an output that is only written waiting: its writer ends after that write
        writer_.join();
}

std::string ConsoleQueue::DroppedLine(uint64_t count)
{
    return "quorvel: " + std::to_string(count) + (count == 1 ? " console line" : " console lines")
        + " dropped while the output was not read\n";
}

// Decides how the output is written without waiting. A regular file never waits for a reader. On
// anything else O_NONBLOCK goes on a description of the output's own (opened again through /proc):
// setting it on the one the process inherited would change it for every program that shares it, the
// shell and the terminal included.
void ConsoleQueue::Open()
{
    out_ = fd_;
    mode_ = Mode::Blocking;
    struct stat st { };
    if (::fstat(fd_, &st) != 0)
        return;
    if (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) {
        mode_ = Mode::Plain;
        return;
    }
    if (S_ISSOCK(st.st_mode)) { // the journal's stream: /proc cannot open a socket again
        mode_ = Mode::Socket;
        return;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    private_ = UniqueFd(::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (private_.Valid()) {
        out_ = private_.Get();
        mode_ = Mode::Private;
    }
}

ssize_t ConsoleQueue::WriteSome(const char* bytes, size_t size) const
{
    if (mode_ == Mode::Socket)
        return ::send(out_, bytes, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    return ::write(out_, bytes, size);
}

// Writes `bytes` from their start; `done` counts what the output took. Without `waitForRoom` it
// stops where the output would make the caller wait; with it, it waits for room, in pieces, until
// the writer is to stop.
ConsoleQueue::Outcome ConsoleQueue::WriteOut(std::string_view bytes, size_t& done, bool waitForRoom) const
{
    done = 0;
    while (done < bytes.size()) {
        const ssize_t n = WriteSome(bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && WouldBlock(errno)) {
            if (!waitForRoom || stop_)
                return Outcome::Full;
            pollfd ready { out_, POLLOUT, 0 };
            ::poll(&ready, 1, kPollMs);
            continue;
        }
        return n < 0 && errno == EPIPE ? Outcome::Gone : Outcome::Failed;
    }
    return Outcome::Written;
}

void ConsoleQueue::Write(std::string_view line)
{
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Unknown)
        Open();
    if (gone_)
        return;
    if (!Idle() || dropped_ > 0 || mode_ == Mode::Blocking) {
        Enqueue(line);
        return;
    }
    if (__fpending(stdout) > 0) // what went through stdio before stays before
        std::fflush(stdout);
    size_t done = 0;
    const Outcome outcome = WriteOut(line, done, false);
    gone_ = gone_ || outcome == Outcome::Gone;
    if (outcome != Outcome::Full)
        return; // written, or dropped
    // The rest of a line that has begun must come next, room or not, so the line stays whole.
    queue_.append(line.substr(done));
    StartWriter();
    wake_.notify_one();
}

void ConsoleQueue::Enqueue(std::string_view line)
{
    const bool wasEmpty = queue_.empty();
    if (dropped_ > 0)
        QueueDroppedLine();
    if (dropped_ > 0 || queue_.size() + line.size() > capacity_) {
        ++dropped_;
        return;
    }
    queue_.append(line);
    StartWriter();
    if (wasEmpty)
        wake_.notify_one();
}

// The line about dropped lines goes where they would have been, as soon as there is room for it.
void ConsoleQueue::QueueDroppedLine()
{
    const std::string line = DroppedLine(dropped_);
    if (queue_.size() + line.size() > capacity_)
        return;
    queue_ += line;
    dropped_ = 0;
}

void ConsoleQueue::StartWriter()
{
    if (!writer_.joinable() && !stop_) // a writer that is ending is not replaced before it has ended
        writer_ = std::thread([this] { Drain(); });
}

void ConsoleQueue::Drain()
{
    std::string batch;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return !queue_.empty() || stop_; });
        if (queue_.empty())
            return;
        batch.swap(queue_);
        writing_ = true;
        lock.unlock();
        // Without the lock: only the writer writes while it holds lines, and the output is not
        // changed while the writer lives.
        size_t done = 0;
        const Outcome outcome = WriteOut(batch, done, true);
        lock.lock();
        writing_ = false;
        gone_ = gone_ || outcome == Outcome::Gone;
        const bool left = outcome != Outcome::Written;
        batch.clear();
        if (left && (gone_ || stop_))
            queue_.clear();
        if (dropped_ > 0 && !gone_)
            QueueDroppedLine();
        drained_.notify_all();
        if (left && stop_)
            return;
    }
}

int ConsoleQueue::Flush(std::chrono::milliseconds bound)
{
    std::unique_lock lock(mutex_);
    if (dropped_ > 0 && !gone_) { // the last word on the drops, beyond the bound if need be
        queue_ += DroppedLine(dropped_);
        dropped_ = 0;
        StartWriter();
        wake_.notify_one();
    }
    const bool written = drained_.wait_for(lock, bound, [this] { return Idle() || gone_; });
    stop_ = true;
    wake_.notify_all();
    if (!written && mode_ == Mode::Blocking)
        return -1; // its writer is in a write() that only the reader can end; it ends after that
    std::thread writer = std::move(writer_);
    lock.unlock();
    if (writer.joinable())
        writer.join();
    lock.lock();
    queue_.clear();
    dropped_ = 0;
    gone_ = false;
    private_.Reset();
    out_ = -1;
    mode_ = Mode::Unknown;
    stop_ = false;
    return written ? 0 : -1;
}
