#include "ui/gui/LineReaderThread.h"

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
