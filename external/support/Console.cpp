#include "external/support/Console.h"

#include <cstdio>
#include <mutex>

void ConsoleWrite(const std::string& line)
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
