#include "external/support/Console.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <stdio_ext.h>
#include <string>
#include <unistd.h>

namespace {

// `bytes`, a line with its line feed, in one write(): a reader of a pipe or file never sees a line
// of one thread cut by a line of another.
void WriteWhole(std::string_view bytes)
{
    static std::mutex mutex; // keeps lines whole also when the system takes less than all of one
    std::lock_guard lock(mutex);
    if (__fpending(stdout) > 0) // what went through stdio before stays before
        std::fflush(stdout);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) { // an output left non-blocking by another program
            pollfd ready { STDOUT_FILENO, POLLOUT, 0 };
            if (::poll(&ready, 1, -1) > 0)
                continue; // the rest of the line follows, so it stays whole
        }
        if (n <= 0)
            return; // a closed or full output: the line is dropped, as stdio would drop it
        done += static_cast<size_t>(n);
    }
}

} // namespace

void ConsoleWrite(std::string_view line)
{
    thread_local std::string buffer;
    buffer.assign(line);
    ConsoleWriteLine(buffer);
}

void ConsoleWriteLine(std::string& line)
{
    line += '\n';
    WriteWhole(line);
}
