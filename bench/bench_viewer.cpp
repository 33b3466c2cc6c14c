// The viewer pages with large files: how soon the first rows of a 1,000,000-line execution report
// show, how long reading it all takes, and the longest time the window thread was kept from its
// events meanwhile; the same for a custom log of many megabytes; how soon the summary page shows
// the charts of 1,000,000 executions and the report page its charts. Printed, never asserted.
#include "external/support/CSettings.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "ui/main/ExecReportModel.h"
#include "reports/HeadTemplate.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <QCheckBox>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kReportRows = 1000000;
constexpr int kLogLines[] = { 40000, 400000 }; // about 5 and 50 MB

void PrintLoad(const char* when)
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    std::printf("load average %s: %s %s %s\n", when, a.c_str(), b.c_str(), c.c_str());
}

long RssKiB()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

// Writes a UTF-16LE file with its mark, `count` lines made by `line`, in large pieces.
void WriteUtf16(const std::string& path, int count, const std::function<std::string(int)>& line)
{
    std::ofstream out(path, std::ios::binary);
    out << "\xFF\xFE";
    std::string piece;
    for (int i = 0; i < count; ++i) {
        piece += line(i);
        if (piece.size() > (1 << 20) || i + 1 == count) {
            out << Utf8ToUtf16Le(piece);
            piece.clear();
        }
    }
}

// Serves the window thread's events until `done`, timing every turn of the loop: a 1 ms timer
// notes the longest gap between two of its ticks, which is the longest time that anything on the
// window thread (reading, adding rows, painting) kept the events waiting.
struct LoopWatch {
    qint64 firstMs = -1; // when `started` first held
    qint64 doneMs = -1;
    qint64 longestGapMs = 0;
    qint64 longestAtMs = 0; // when the longest gap ended
};

LoopWatch Serve(const std::function<bool()>& started, const std::function<bool()>& done)
{
    LoopWatch watch;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setInterval(1);
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (now - last > watch.longestGapMs) {
            watch.longestGapMs = now - last;
            watch.longestAtMs = now;
        }
        last = now;
        if (watch.firstMs < 0 && started())
            watch.firstMs = now;
        if (done()) {
            watch.doneMs = now;
            loop.quit();
        }
    });
    tick.start();
    loop.exec();
    return watch;
}

// Shows the page at a size of a real window and activates it; how long Activate itself took.
template <typename Page> qint64 ShowAndActivate(Page& page)
{
    page.resize(1000, 700);
    page.show();
    QElapsedTimer activate;
    activate.start();
    page.Activate();
    return activate.elapsed();
}

void ReportBench(const QTemporaryDir& dir)
{
    const std::string path = dir.filePath(QStringLiteral("report.txt")).toStdString();
    WriteUtf16(path, kReportRows + 1, [](int i) {
        if (i == 0)
            return std::string("Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\tAction Time "
                               "(ms)\tFetched Rows\tStatus\tAction SQL\r\n");
        return "05-Dec-2026\t 9:10:07.250\tQueue length " + std::to_string(i % 24) + "\t12\t9\t2\t1\t"
            + std::to_string(i % 50) + "\tOK\tINSERT INTO alerts VALUES (" + std::to_string(i) + ")\r\n";
    });
    QuorvelRunner project;
    project.reportFile = project.currentReportFile = path;
    const long rssBefore = RssKiB();
    PageExReport page(project, nullptr);
    const qint64 activateMs = ShowAndActivate(page);
    const LoopWatch watch = Serve([&] { return page.Model().rowCount() > 0; }, [&] { return !page.Reading(); });
    std::printf("execution report, %d rows: Activate %lld ms, first rows %lld ms, all rows %lld ms, longest "
                "window-thread gap %lld ms (ending at %lld ms), VmRSS +%ld KiB\n",
        page.Model().rowCount(), activateMs, watch.firstMs, watch.doneMs, watch.longestGapMs, watch.longestAtMs,
        RssKiB() - rssBefore);

    QElapsedTimer scroll;
    scroll.start();
    page.Table().scrollToBottom();
    page.Table().viewport()->repaint();
    std::printf("execution report: to the last row and painted in %lld ms\n", scroll.elapsed());

    page.Activate(); // again, and away while it reads
    Serve([] { return true; }, [&] { return page.Model().rowCount() > 1000; });
    QElapsedTimer stop;
    stop.start();
    page.Activate();
    std::printf(
        "execution report: showing again while reading, the reader stopped and joined in %lld ms\n", stop.elapsed());
    Serve([] { return true; }, [&] { return !page.Reading(); });

    QElapsedTimer charts;
    charts.start();
    page.ChartsToggle().setChecked(true);
    const LoopWatch chartWatch = Serve([] { return true; }, [&] { return !page.ChartsReading(); });
    std::printf("execution report as charts: shown in %lld ms, longest window-thread gap %lld ms\n",
        charts.elapsed(), chartWatch.longestGapMs);

    // A wider window: the charts are drawn anew once the resize has come to rest.
    QElapsedTimer resized;
    resized.start();
    page.resize(1400, 700);
    bool redrawing = false;
    const LoopWatch resizeWatch = Serve([&] { return redrawing = redrawing || page.ChartsReading(); },
        [&] { return redrawing && !page.ChartsReading(); });
    std::printf("execution report as charts: drawn anew at a new width in %lld ms after the resize, "
                "longest window-thread gap %lld ms\n",
        resized.elapsed(), resizeWatch.longestGapMs);
}

// 24 events with 1,000,000 executions between them, a tenth failed, each with a numeric value.
void SummaryBench(const QTemporaryDir& dir)
{
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
    QuorvelRunner project;
    project.events.resize(24);
    ExecRecord record;
    for (int i = 0; i < kReportRows; ++i) {
        record.status = i % 10 == 0 ? "FAILED" : "OK";
        record.checkTime = static_cast<uint32_t>(5 + i % 97);
        record.actionRun = i % 3 == 0;
        record.value = std::to_string(i % 1013);
        record.endMs = 1765000000000 + i * 3LL;
        project.events[static_cast<size_t>(i % 24)].results.Add(record);
    }
    project.summaryFile = dir.filePath(QStringLiteral("summary.html")).toStdString();
    project.WriteSummaryReport();
    PageVReport page(project, 0, nullptr);
    const qint64 activateMs = ShowAndActivate(page);
    QElapsedTimer paint;
    paint.start();
    page.repaint();
    std::printf("summary page, %d executions with charts: Activate %lld ms, painted in %lld ms\n", kReportRows,
        activateMs, paint.elapsed());
    SetHeadTemplateFolder("");
}

void LogBench(const QTemporaryDir& dir, int lines)
{
    const std::string path = dir.filePath(QStringLiteral("log.txt")).toStdString();
    WriteUtf16(path, lines, [](int i) {
        return "20261205 091025 queue holds " + std::to_string(i) + " entries, the last from web0"
            + std::to_string(i % 9) + "\r\n";
    });
    QuorvelRunner project;
    project.logFile = project.currentLogFile = path;
    PgLogView page(project, 1, nullptr);
    const qint64 activateMs = ShowAndActivate(page);
    const LoopWatch watch = Serve([&] { return !page.Text().document()->isEmpty(); }, [&] { return !page.Reading(); });
    std::printf("custom log, %d lines (%.1f MB): Activate %lld ms, first text %lld ms, all text %lld ms, longest "
                "window-thread gap %lld ms (ending at %lld ms)\n",
        page.Text().document()->blockCount(), std::ifstream(path, std::ios::ate | std::ios::binary).tellg() / 1e6,
        activateMs, watch.firstMs, watch.doneMs, watch.longestGapMs, watch.longestAtMs);
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    auto settings = std::make_unique<CSettings>();
    g_settings = settings.get();
    QApplication app(argc, argv);
    PrintLoad("before");
    {
        QElapsedTimer idle;
        idle.start();
        const LoopWatch watch = Serve([] { return true; }, [&] { return idle.elapsed() > 2000; });
        std::printf("idle window thread for 2 s (the machine's own noise): longest gap %lld ms\n", watch.longestGapMs);
    }
    {
        const QTemporaryDir dir;
        ReportBench(dir);
        SummaryBench(dir);
        for (int lines : kLogLines)
            LogBench(dir, lines);
    }
    PrintLoad("after");
    g_settings = nullptr;
    return 0;
}
