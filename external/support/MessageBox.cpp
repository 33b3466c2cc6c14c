#include "external/support/MessageBox.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

class ConsoleMessageBox : public MessageBoxSink {
public:
    int Show(const std::string& text, const std::string& caption, int) override
    {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return IDOK;
    }
};

ConsoleMessageBox g_consoleBox;
std::atomic<MessageBoxSink*> g_sink{nullptr};

} // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, int style)
{
    MessageBoxSink* sink = g_sink.load();
    return (sink != nullptr ? sink : &g_consoleBox)->Show(text, caption, style);
}

bool MessageBoxesShowWindows()
{
    return g_sink.load() != nullptr;
}

MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink)
{
    return g_sink.exchange(sink);
}
