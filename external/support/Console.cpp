#include "external/support/Console.h"

#include "external/support/ConsoleQueue.h"

#include <unistd.h>

namespace {

// About a megabyte: some thousands of status lines, seconds of a busy run.
constexpr size_t kQueueBytes = size_t { 1 } << 20;

ConsoleQueue& Output()
{
    // Never destroyed: a writer that waits for a reader may still run while the process exits.
    static ConsoleQueue* const output = new ConsoleQueue(STDOUT_FILENO, kQueueBytes);
    return *output;
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
    Output().Write(line);
}

int ConsoleFlush(std::chrono::milliseconds bound)
{
    return Output().Flush(bound);
}

void ConsoleError(std::string_view text)
{
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
}
