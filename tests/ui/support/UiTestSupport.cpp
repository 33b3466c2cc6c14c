#include "support/UiTestSupport.h"
#include "support/TestEnv.h"

#include "external/support/CSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdlib>

int RunWithApplication(int argc, char** argv, const std::function<int()>& body)
{
    const TestState state;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CSettings settings;
    g_settings = &settings;
    QApplication app(argc, argv);
    const int result = body();
    g_settings = nullptr;
    return result;
}

bool ServeUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

bool ServeTicks(int count)
{
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    return ServeUntil([&] { return ticks >= count; });
}
