#include "reports/RunChart.h"
#include "reports/RunChartSvg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

struct Run {
    int64_t endMs;
    uint32_t checkTime;
    const char* status;
    bool actionRun;
    const char* value;
};

RunSeries SeriesOf(std::initializer_list<Run> runs)
{
    RunSeries series;
    for (const Run& run : runs) {
        ExecRecord record;
        record.status = run.status;
        record.checkTime = run.checkTime;
        record.actionRun = run.actionRun;
        record.value = run.value;
        record.endMs = run.endMs;
        series.Add(record);
    }
    return series;
}

std::vector<std::string> Labels(const std::vector<RunChart::Tick>& ticks)
{
    std::vector<std::string> labels;
    for (const RunChart::Tick& tick : ticks)
        labels.push_back(tick.label);
    return labels;
}

std::vector<double> Xs(const std::vector<RunChart::Point>& points)
{
    std::vector<double> xs;
    for (const RunChart::Point& point : points)
        xs.push_back(point.x);
    return xs;
}

const RunChart kPlain {}; // of the usual width
const double kLeft = kPlain.X(0);
const double kMiddle = (RunChart::kPlotLeft + kPlain.plotRight) / 2;
const double kRight = kPlain.X(1);
constexpr double kTop = RunChart::kPlotTop + RunChart::kInset;

} // namespace

// Each execution where its time and its reading say; the failed one crossed, the outcomes on
// their lanes; a value that is no number leaves a gap.
TEST(RunChart, PlacesEveryExecutionWhereItsDataSays)
{
    const RunSeries series = SeriesOf({ { 1000, 10, "OK", false, "7" }, { 2000, 20, "FAILED", false, "N/A" },
        { 3000, 40, "OK", true, "-3.5" } });
    const RunChart check = RunChart::Make(RunChart::Kind::CheckTime, series);
    const double bottom = check.plotBottom - RunChart::kInset;
    const double height = bottom - kTop;
    EXPECT_THAT(Xs(check.line), ::testing::ElementsAre(kLeft, kMiddle, kRight));
    EXPECT_TRUE(check.band.empty()); // one reading per column: a line
    EXPECT_DOUBLE_EQ(check.line[0].y, bottom - height * 10 / 40);
    EXPECT_DOUBLE_EQ(check.line[2].y, kTop);
    ASSERT_EQ(check.failed.size(), 1u);
    EXPECT_DOUBLE_EQ(check.failed[0].x, kMiddle);
    EXPECT_DOUBLE_EQ(check.failed[0].y, bottom - height * 20 / 40);
    EXPECT_EQ(check.yTicks.front().label, "0 ms");
    EXPECT_EQ(check.yTicks.back().label, "40 ms");
    EXPECT_EQ(check.xTicks.size(), 5u);

    const RunChart value = RunChart::Make(RunChart::Kind::Value, series);
    EXPECT_THAT(Xs(value.line), ::testing::ElementsAre(kLeft, kRight));
    EXPECT_EQ(value.yTicks.front().label, "-5");
    EXPECT_EQ(value.yTicks.back().label, "10");
    // Values whose range is lost in their size still give an axis.
    for (const auto& [low, high] : { std::pair("1e17", "100000000000000001"), std::pair("-1e308", "1e308") }) {
        const RunSeries huge = SeriesOf({ { 1000, 1, "OK", false, low }, { 2000, 1, "OK", false, high } });
        const RunChart chart = RunChart::Make(RunChart::Kind::Value, huge);
        EXPECT_LE(chart.yTicks.size(), 11u) << high;
        for (const RunChart::Point& point : chart.line)
            EXPECT_TRUE(point.y >= RunChart::kPlotTop && point.y <= chart.plotBottom) << high;
    }

    const RunChart strip = RunChart::Make(RunChart::Kind::Outcomes, series);
    std::vector<std::pair<double, RunChart::Outcome>> marks;
    for (const RunChart::Mark& mark : strip.marks)
        marks.emplace_back(mark.x, mark.outcome);
    EXPECT_THAT(marks, ::testing::ElementsAre(std::pair(kLeft, RunChart::kPassed), std::pair(kMiddle, RunChart::kFailed),
        std::pair(kRight, RunChart::kPassed), std::pair(kRight, RunChart::kActionRun)));
}

// A million executions keep a bounded number of points, and neither the one slow check nor the
// rare failures get lost in the reduction. Executions without times are spread by their order.
TEST(RunChart, LongRunDrawsBoundedPointsAndKeepsExtremes)
{
    for (const int64_t msApart : { 5, 0 }) {
        RunSeries series;
        ExecRecord record;
        for (int i = 0; i < 1000000; ++i) {
            record.checkTime = i == 654321 ? 1000 : 3 + i % 5;
            record.status = i % 100000 == 7 ? "FAILED" : "OK";
            record.endMs = 1700000000000 + i * msApart;
            series.Add(record);
        }
        EXPECT_LE(series.Buckets().size(), RunSeries::kBuckets);
        const RunChart check = RunChart::Make(RunChart::Kind::CheckTime, series);
        const double plotWidth = kPlain.plotRight - RunChart::kPlotLeft;
        EXPECT_LE(check.line.size(), 2 * plotWidth);
        EXPECT_TRUE(!check.band.empty() && check.band.size() <= 2 * plotWidth); // several readings a column
        EXPECT_EQ(check.failed.size(), 10u);
        const auto top = std::min_element(check.line.begin(), check.line.end(),
            [](const RunChart::Point& a, const RunChart::Point& b) { return a.y < b.y; });
        EXPECT_DOUBLE_EQ(top->y, kTop); // 1000 ms is the top of the axis
        EXPECT_NEAR(top->x, kPlain.X(0.654321), 2);
        EXPECT_EQ(check.xTicks.back().label == "#1000000", msApart == 0);
        EXPECT_LE(RunChart::Make(RunChart::Kind::Outcomes, series).marks.size(), 3 * plotWidth);
    }
}

// Round steps that never split a whole number, and executions named once each on their axis.
TEST(RunChart, AxesStepRoundlyAndNameEachExecutionOnce)
{
    using Labels_ = std::vector<std::string>;
    const struct {
        RunChart::Kind kind;
        std::vector<const char*> readings; // check times in ms, or values
        Labels_ values;
    } kValueAxes[] = {
        { RunChart::Kind::CheckTime, { "0" }, { "0 ms", "1 ms" } },
        { RunChart::Kind::CheckTime, { "1", "0" }, { "0 ms", "1 ms" } },
        { RunChart::Kind::CheckTime, { "3", "1" }, { "0 ms", "1 ms", "2 ms", "3 ms" } },
        { RunChart::Kind::CheckTime, { "7" }, { "0 ms", "2 ms", "4 ms", "6 ms", "8 ms" } },
        { RunChart::Kind::CheckTime, { "1234" }, { "0 ms", "500 ms", "1000 ms", "1500 ms" } },
        { RunChart::Kind::Value, { "1", "2" }, { "1", "2" } },
        { RunChart::Kind::Value, { "0.1", "0.9" }, { "0", "0.2", "0.4", "0.6", "0.8", "1" } },
    };
    for (const auto& row : kValueAxes) {
        RunSeries series;
        for (const char* reading : row.readings) {
            ExecRecord record;
            record.status = "OK";
            record.checkTime = static_cast<uint32_t>(std::atoi(reading));
            record.value = reading;
            series.Add(record);
        }
        EXPECT_EQ(Labels(RunChart::Make(row.kind, series).yTicks), row.values) << row.readings.front();
    }

    const struct {
        int executions;
        Labels_ labels;
    } kExecutionAxes[] = {
        { 1, { "#1" } },
        { 2, { "#1", "#2" } },
        { 3, { "#1", "#2", "#3" } },
        { 12, { "#1", "#5", "#10" } },
        { 400, { "#1", "#100", "#200", "#300", "#400" } },
    };
    for (const auto& row : kExecutionAxes) {
        RunSeries series; // no times: spread by execution
        for (int i = 0; i < row.executions; ++i)
            series.Add(ExecRecord { "OK", 1, 1, 0, 0, 0 });
        const RunChart chart = RunChart::Make(RunChart::Kind::CheckTime, series);
        EXPECT_EQ(Labels(chart.xTicks), row.labels) << row.executions;
        EXPECT_DOUBLE_EQ(chart.xTicks.front().at, row.executions == 1 ? kMiddle : kLeft);
    }

    // Times at round steps of the clock, as fine as the step; more of them on a wider picture.
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const int64_t kDay = 86400000;
    const struct {
        int64_t first, last;
        double width;
        Labels_ labels;
    } kTimeAxes[] = {
        { 1000, 3000, RunChart::kWidth,
            { "00:00:01.000", "00:00:01.500", "00:00:02.000", "00:00:02.500", "00:00:03.000" } },
        { 43784, 49784, RunChart::kWidth, { "00:00:44", "00:00:46", "00:00:48" } },
        { 0, 3620000, RunChart::kWidth, { "00:00", "00:15", "00:30", "00:45", "01:00" } },
        { 5, 3 * kDay + 5, RunChart::kWidth, { "02-Jan", "03-Jan", "04-Jan" } },
        { 1000, 90000, RunChart::kWidth, { "00:00:30", "00:01:00", "00:01:30" } },
        { 1000, 90000, 1000,
            { "00:00:10", "00:00:20", "00:00:30", "00:00:40", "00:00:50", "00:01:00", "00:01:10", "00:01:20",
                "00:01:30" } },
    };
    for (const auto& row : kTimeAxes) {
        const RunSeries timed = SeriesOf({ { row.first, 1, "OK", false, "" }, { row.last, 1, "OK", false, "" } });
        EXPECT_EQ(Labels(RunChart::Make(RunChart::Kind::CheckTime, timed, row.width).xTicks), row.labels) << row.last;
    }
    if (zone != nullptr)
        setenv("TZ", savedZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    EXPECT_EQ(RunChart::Make(RunChart::Kind::CheckTime, RunSeries {}, 50).width, RunChart::kMinWidth);
}

// A pause far longer than the event's usual spacing (two runs in one report) breaks the line, and
// nothing is drawn inside it; the jitter of a tight loop does not. Also when the buckets have
// merged and the pause lies inside one.
TEST(RunChart, PausesBreakTheLine)
{
    const int64_t kHour = 3600000;
    const struct {
        std::vector<std::pair<int64_t, int>> runs; // start, executions (1 s apart; 1 ms with a negative count)
        size_t breaks;
        size_t polylines; // a lone execution is a dot
    } kCases[] = {
        { { { 0, 20 } }, 0, 1 },
        { { { 0, 20 }, { kHour, 20 } }, 1, 2 },
        { { { 0, 20 }, { kHour, 1 }, { 2 * kHour, 20 } }, 2, 2 },
        { { { 0, -50 }, { 900, -50 } }, 0, 1 },
        { { { 0, 2003 }, { 5 * kHour + 777, 3001 } }, 1, 2 },
    };
    for (const auto& row : kCases) {
        RunSeries series;
        ExecRecord record { "OK", 1, 1, 0, 0, 0 };
        for (const auto& [start, count] : row.runs) {
            for (int i = 0; i < std::abs(count); ++i) {
                record.endMs = start + i * (count < 0 ? 1 : 1000);
                series.Add(record);
            }
        }
        const RunChart chart = RunChart::Make(RunChart::Kind::CheckTime, series);
        EXPECT_EQ(chart.lineBreaks.size(), row.breaks) << row.runs.back().first;
        const std::string svg = RunChartSvg::Write(chart, "x");
        size_t polylines = 0;
        for (size_t at = svg.find("<polyline"); at != std::string::npos; at = svg.find("<polyline", at + 1))
            ++polylines;
        EXPECT_EQ(polylines, row.polylines) << row.runs.back().first;
        if (row.breaks == 1) {
            const double last = static_cast<double>(record.endMs);
            const double from = chart.X((row.runs[0].second - 1) * 1000.0 / last);
            const double to = chart.X(static_cast<double>(row.runs[1].first) / last);
            for (const RunChart::Point& point : chart.line)
                EXPECT_TRUE(point.x <= from + 1 || point.x >= to - 1) << point.x;
        }
    }
}
