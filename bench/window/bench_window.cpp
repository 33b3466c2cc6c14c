// The window under a full-speed run of 24 events, offscreen: iterations per second beside the same
// project run by `quorvel -c`, the window thread's latency while the run lasts (how late a 10 ms
// timer fires), the resident set over the run with the capped execution log, and the time from
// making the window to its first paint.
#include "bench/EngineBench.h"
#include "external/support/StrFormat.h"
#include "ui/gui/GuiMessageBox.h"
#include "ui/gui/RowsModel.h"
#include "ui/main/CEventDlg.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

constexpr int kEvents = 24;
constexpr double kTargetRatio = 0.8;
constexpr double kTargetP99Ms = 50;

int Seconds(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Iterations in an execution report: its lines (UTF-16LE) less the header. Read in pieces, so
// that the reading does not swell the resident set that the benchmark measures.
long ReportIterations(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    long lines = 0;
    long offset = 0;
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0) {
        const long count = static_cast<long>(file.gcount());
        for (long i = 0; i < count; ++i) {
            // A line feed is the byte 0x0A at an even offset, followed by 0x00.
            if (buffer[static_cast<size_t>(i)] == '\n' && (offset + i) % 2 == 0)
                ++lines;
        }
        offset += count;
    }
    return std::max(0L, lines - 1);
}

std::string WriteProject(const bench::Workspace& workspace, const std::string& name)
{
    QuorvelRunner project;
    project.reportFile = workspace.File(name + ".txt");
    for (int i = 0; i < kEvents; ++i)
        project.events.push_back(bench::FileCheckEvent("event " + std::to_string(i), workspace.Watched()));
    const std::string path = workspace.File(name + ".qvl");
    project.Save(path);
    return path;
}

double ConsoleRate(const bench::Workspace& workspace, int seconds)
{
    const std::string project = WriteProject(workspace, "console");
    QProcess quorvel;
    quorvel.setStandardOutputFile(QProcess::nullDevice());
    QStringList environment = QProcess::systemEnvironment();
    environment << QStringLiteral("XDG_CONFIG_HOME=%1").arg(QString::fromStdString(workspace.File("cfg")))
                << QStringLiteral("XDG_STATE_HOME=%1").arg(QString::fromStdString(workspace.File("state")));
    quorvel.setEnvironment(environment);
    quorvel.start(QStringLiteral(QUORVEL_BINARY), { QStringLiteral("-c"), QString::fromStdString(project) });
    if (!quorvel.waitForStarted())
        return -1;
    QThread::sleep(static_cast<unsigned long>(seconds));
    const long iterations = ReportIterations(workspace.File("console.txt"));
    quorvel.terminate();
    quorvel.waitForFinished(60000);
    return static_cast<double>(iterations) / seconds;
}

struct WindowFigures {
    double rate = 0;
    double p99Ms = 0;
    double maxMs = 0;
    long rssStartKiB = 0;
    long rssEndKiB = 0;
};

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
}

// How late a 10 ms timer of this thread fires over `seconds`, in ms, one value per tick.
std::vector<double> Lateness(int seconds, const std::function<void()>& during)
{
    std::vector<double> lateness;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        lateness.push_back(std::max(0.0, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6 - 10.0));
        sinceTick.restart();
    });
    // The window thread sleeps in its event loop as in the program; `during` runs every second.
    QEventLoop loop;
    QTimer second;
    QObject::connect(&second, &QTimer::timeout, during);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    sinceTick.start();
    tick.start();
    second.start(1000);
    loop.exec();
    return lateness;
}

WindowFigures WindowRun(const bench::Workspace& workspace, int seconds, bool trace)
{
    const std::string project = WriteProject(workspace, "window");
    CEventDlg window({ QString::fromStdString(project), false, false });
    window.resize(1000, 640);
    window.show();
    window.Dispatch(ID_RUN_PROJECT);
    Lateness(2, [] {}); // until the execution log is full
    WindowFigures figures;
    figures.rssStartKiB = bench::VmRssKiB();
    const long before = ReportIterations(workspace.File("window.txt"));
    const auto start = std::chrono::steady_clock::now();
    int sampled = 0;
    const std::vector<double> lateness = Lateness(seconds, [&] {
        if (trace && bench::SecondsSince(start) >= sampled) {
            std::printf("    %3d s  VmRSS %ld KiB  log rows %d\n", sampled++, bench::VmRssKiB(),
                window.Console().ExecLog().rowCount());
            std::fflush(stdout);
        }
    });
    const double elapsed = bench::SecondsSince(start);
    figures.rssEndKiB = bench::VmRssKiB();
    figures.rate = static_cast<double>(ReportIterations(workspace.File("window.txt")) - before) / elapsed;
    window.Dispatch(ID_BREAK);
    while (window.Running()) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    figures.p99Ms = Percentile(lateness, 0.99);
    figures.maxMs = Percentile(lateness, 1.0);
    return figures;
}

// From making the window with a 24-event project to the end of its first paint.
double FirstPaintMs(const bench::Workspace& workspace)
{
    const std::string project = WriteProject(workspace, "paint");
    QElapsedTimer clock;
    clock.start();
    CEventDlg window({ QString::fromStdString(project), false, false });
    window.show();
    QPixmap picture = window.grab(); // paints the window as the screen would
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return picture.isNull() ? -1 : ms;
}

} // namespace

int main(int argc, char** argv)
{
    bench::Workspace workspace;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    GuiMessageBox messageBoxes;
    const int seconds = Seconds("BENCH_WINDOW_SECONDS", 10);
    const int memorySeconds = Seconds("BENCH_WINDOW_MEMORY_SECONDS", 60);
    std::printf("%d file-check events without interval, offscreen window, rounds of %d s\n", kEvents, seconds);
    bench::PrintLoad("before");
    bench::PrintValue("window start to first paint", StrFormat("%.0f ms", FirstPaintMs(workspace)));
    const double console = ConsoleRate(workspace, seconds);
    const std::vector<double> idle = Lateness(seconds, [] {});
    const WindowFigures window = WindowRun(workspace, seconds, false);
    bench::PrintValue("iterations per second, quorvel -c", StrFormat("%.0f", console));
    bench::PrintFigure("iterations per second, window", StrFormat("%.0f (%.2f x)", window.rate, window.rate / console),
        StrFormat(">= %.1f x", kTargetRatio), window.rate >= kTargetRatio * console);
    bench::PrintFigure("window thread lateness, 99th percentile", StrFormat("%.1f ms", window.p99Ms),
        StrFormat("< %.0f ms", kTargetP99Ms), window.p99Ms < kTargetP99Ms);
    bench::PrintValue("window thread lateness, worst", StrFormat("%.1f ms", window.maxMs));
    bench::PrintValue("window thread lateness without a run, 99th pct",
        StrFormat("%.1f ms (the machine's own share)", Percentile(idle, 0.99)));
    const WindowFigures longRun = WindowRun(workspace, memorySeconds, std::getenv("BENCH_WINDOW_TRACE") != nullptr);
    bench::PrintValue(StrFormat("VmRSS over %d s of the run", memorySeconds).c_str(),
        StrFormat("%ld KiB -> %ld KiB (%+ld KiB)", longRun.rssStartKiB, longRun.rssEndKiB,
            longRun.rssEndKiB - longRun.rssStartKiB));
    bench::PrintLoad("after");
    g_runner.Clear();
    return 0;
}
