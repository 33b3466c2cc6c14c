#include "reports/RunChart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

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

std::vector<double> Xs(const std::vector<RunChart::Point>& points)
{
    std::vector<double> xs;
    for (const RunChart::Point& point : points)
        xs.push_back(point.x);
    return xs;
}

const double kLeft = RunChart::X(0);
const double kMiddle = (RunChart::kPlotLeft + RunChart::kPlotRight) / 2;
const double kRight = RunChart::X(1);
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
        const double plotWidth = RunChart::kPlotRight - RunChart::kPlotLeft;
        EXPECT_LE(check.line.size(), 2 * plotWidth);
        EXPECT_TRUE(!check.band.empty() && check.band.size() <= 2 * plotWidth); // several readings a column
        EXPECT_EQ(check.failed.size(), 10u);
        const auto top = std::min_element(check.line.begin(), check.line.end(),
            [](const RunChart::Point& a, const RunChart::Point& b) { return a.y < b.y; });
        EXPECT_DOUBLE_EQ(top->y, kTop); // 1000 ms is the top of the axis
        EXPECT_NEAR(top->x, RunChart::X(0.654321), 2);
        EXPECT_EQ(check.xTicks.back().label == "#1000000", msApart == 0);
        EXPECT_LE(RunChart::Make(RunChart::Kind::Outcomes, series).marks.size(), 3 * plotWidth);
    }
}
