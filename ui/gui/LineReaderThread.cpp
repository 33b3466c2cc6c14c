#include "ui/gui/LineReaderThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The reader gives way to the window thread when both want the processor: a file read a little
// later costs nothing, a window that answers late does.
void YieldToTheWindow()
{
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    const int niced = ::setpriority(PRIO_PROCESS, thread, 10);
    (void)niced; // without it the reader only runs at the window's priority
}

} // namespace

LineReaderThread::~LineReaderThread()
{
    Stop();
}

int LineReaderThread::Start(const std::string& path, Sink sink)
{
    Stop();
    auto scanner = std::make_unique<TextLineScanner>();
    if (scanner->Open(path) != 0)
        return -1;
    encoding_ = scanner->Encoding();
    stop_ = false;
    done_ = false;
    thread_ = std::thread([this, scanner = std::move(scanner), sink = std::move(sink)] {
        YieldToTheWindow();
        LineSpan span;
        std::string_view bytes;
        while (!stop_.load(std::memory_order_relaxed) && scanner->Next(span, bytes) && sink(span, bytes)) { }
        done_.store(true, std::memory_order_release);
    });
    return 0;
}

void LineReaderThread::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    done_ = true;
}
