#include "reports/RunChart.h"

#include "external/support/StrFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <map>

namespace {

constexpr double kChartHeight = 190;
constexpr double kStripLane = 16;
constexpr double kAxisSpace = 30; // below the plot: the time labels
constexpr int kTimeTicks = 5;
constexpr int kMaxValueTicks = 5;

// The width along which the marks lie.
constexpr double PlotWidth()
{
    return RunChart::kPlotRight - RunChart::kPlotLeft - 2 * RunChart::kInset;
}

// A step of 1, 2 or 5 times a power of ten that divides `span` into at most `count` parts.
double NiceStep(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : { 1.0, 2.0, 5.0, 10.0 }) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

std::string NumberText(double value)
{
    return StrFormat("%g", std::abs(value) < 1e-9 ? 0.0 : value);
}

// Times as the report writes them, in local time; finer when the run is short.
std::string TimeText(int64_t ms, int64_t span)
{
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm tm {};
    localtime_r(&seconds, &tm);
    char text[32] = "";
    if (span >= 2 * 86400000LL)
        std::strftime(text, sizeof text, "%d-%b %H:%M", &tm);
    else
        std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    std::string shown = text;
    if (span < 20000)
        shown += StrFormat(".%03d", static_cast<int>(ms % 1000));
    return shown;
}

// Where along the plot each bucket lies, from 0 to 1: by its middle time, or by its place in the
// run when the times do not tell.
std::vector<double> Positions(const std::vector<RunSeries::Bucket>& buckets, bool byTime)
{
    std::vector<double> at;
    at.reserve(buckets.size());
    if (buckets.empty())
        return at;
    const double first = static_cast<double>(buckets.front().firstMs);
    const double span = static_cast<double>(buckets.back().lastMs) - first;
    double executions = 0;
    double total = 0;
    for (const RunSeries::Bucket& bucket : buckets)
        total += bucket.count;
    for (const RunSeries::Bucket& bucket : buckets) {
        if (byTime) {
            at.push_back((0.5 * static_cast<double>(bucket.firstMs + bucket.lastMs) - first) / span);
        } else {
            at.push_back(total <= 1 ? 0.5 : (executions + 0.5 * (bucket.count - 1)) / (total - 1));
            executions += bucket.count;
        }
    }
    return at;
}

// The readings of one pixel column.
struct Column {
    double x = 0;
    double low = 0;
    double high = 0;
    bool reading = false;
    bool failed = false;
    double failedHigh = 0;
    std::array<bool, RunChart::kOutcomeCount> outcomes {};
};

} // namespace

const char* RunChart::OutcomeName(Outcome outcome)
{
    static constexpr std::array<const char*, kOutcomeCount> kNames = { "passed", "failed", "action run" };
    return kNames[static_cast<size_t>(outcome)];
}

double RunChart::X(double part)
{
    return kPlotLeft + kInset + part * PlotWidth();
}

double RunChart::LaneY(Outcome outcome) const
{
    return kPlotTop + kStripLane * (static_cast<double>(outcome) + 0.5);
}

RunChart RunChart::Make(Kind kind, const RunSeries& series)
{
    RunChart chart;
    chart.kind = kind;
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    switch (kind) {
    case Kind::CheckTime: {
        uint32_t longest = 0;
        for (const RunSeries::Bucket& bucket : buckets)
            longest = std::max(longest, bucket.checkMax);
        chart.title = "Check time (ms)";
        chart.height = kChartHeight;
        chart.ValueAxis(0, longest, " ms");
        break;
    }
    case Kind::Value: {
        double low = 0;
        double high = 0;
        bool any = false;
        for (const RunSeries::Bucket& bucket : buckets) {
            if (bucket.numeric == 0)
                continue;
            low = any ? std::min(low, bucket.valueMin) : bucket.valueMin;
            high = any ? std::max(high, bucket.valueMax) : bucket.valueMax;
            any = true;
        }
        chart.title = "Check value";
        chart.height = kChartHeight;
        chart.ValueAxis(low, high, "");
        break;
    }
    case Kind::Outcomes:
        chart.title = "Outcomes";
        chart.height = kPlotTop + kStripLane * static_cast<double>(kOutcomeCount) + kAxisSpace;
        break;
    }
    chart.plotBottom = chart.height - kAxisSpace;
    chart.Place(series);
    return chart;
}

// The value axis from a round number at or below `low` to one at or above `high`.
void RunChart::ValueAxis(double low, double high, const char* unit)
{
    if (high <= low) { // one reading: in the middle, or at the foot of an axis from 0
        high = low + 1;
        low = low == 0 ? 0 : low - 1;
    }
    plotBottom = kChartHeight - kAxisSpace;
    const double step = NiceStep(high - low, kMaxValueTicks);
    low_ = std::floor(low / step) * step;
    high_ = std::ceil(high / step) * step;
    if (!(step > 0) || !std::isfinite(high_ - low_) || !(high_ > low_)) { // beyond what a double resolves
        low_ = low;
        high_ = std::nextafter(low, HUGE_VAL);
        yTicks.push_back({ Y(low), NumberText(low) + unit });
        return;
    }
    // Counted, not summed: a step too small to change a large value must not loop for ever.
    const double steps = std::round((high_ - low_) / step);
    for (int i = 0; std::isfinite(steps) && i <= std::min(steps, 2.0 * kMaxValueTicks); ++i)
        yTicks.push_back({ Y(low_ + i * step), NumberText(low_ + i * step) + unit });
}

double RunChart::Y(double value) const
{
    const double part = std::clamp((value - low_) / (high_ - low_), 0.0, 1.0);
    return plotBottom - kInset - (std::isnan(part) ? 0.0 : part) * (plotBottom - kPlotTop - 2 * kInset);
}

void RunChart::TimeAxis(const RunSeries& series, bool byTime)
{
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    if (buckets.empty())
        return;
    const int64_t first = buckets.front().firstMs;
    const int64_t span = buckets.back().lastMs - first;
    long long executions = 0;
    for (const RunSeries::Bucket& bucket : buckets)
        executions += bucket.count;
    for (int i = 0; i < kTimeTicks; ++i) {
        const double part = static_cast<double>(i) / (kTimeTicks - 1);
        const std::string label = byTime
            ? TimeText(first + static_cast<int64_t>(std::llround(part * static_cast<double>(span))), span)
            : StrFormat("#%lld", 1 + std::llround(part * static_cast<double>(executions - 1)));
        xTicks.push_back({ X(part), label });
    }
}

void RunChart::Place(const RunSeries& series)
{
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    const bool byTime = !buckets.empty() && buckets.back().lastMs > buckets.front().firstMs;
    TimeAxis(series, byTime);
    const std::vector<double> at = Positions(buckets, byTime);
    std::map<int, Column> columns;
    std::vector<Point> lows;
    bool dense = false;
    for (size_t i = 0; i < buckets.size(); ++i) {
        const RunSeries::Bucket& bucket = buckets[i];
        const double x = X(at[i]);
        const int index = std::clamp(static_cast<int>(at[i] * PlotWidth()), 0, static_cast<int>(PlotWidth()) - 1);
        const bool reading = kind != Kind::Value || bucket.numeric > 0;
        const double low = kind == Kind::Value ? bucket.valueMin : bucket.checkMin;
        const double high = kind == Kind::Value ? bucket.valueMax : bucket.checkMax;
        Column& column = columns.try_emplace(index, Column { x, 0, 0, false, false, 0, {} }).first->second;
        if (reading) {
            column.low = column.reading ? std::min(column.low, low) : low;
            column.high = column.reading ? std::max(column.high, high) : high;
            column.reading = true;
        }
        if (bucket.failed > 0) {
            column.failedHigh = column.failed ? std::max<double>(column.failedHigh, bucket.failedCheckMax)
                                              : bucket.failedCheckMax;
            column.failed = true;
        }
        column.outcomes[kPassed] = column.outcomes[kPassed] || bucket.count > bucket.failed;
        column.outcomes[kFailed] = column.outcomes[kFailed] || bucket.failed > 0;
        column.outcomes[kActionRun] = column.outcomes[kActionRun] || bucket.actions > 0;
    }
    for (const auto& [index, column] : columns) {
        if (kind == Kind::Outcomes) {
            for (int outcome = 0; outcome < kOutcomeCount; ++outcome) {
                if (column.outcomes[static_cast<size_t>(outcome)])
                    marks.push_back({ column.x, static_cast<Outcome>(outcome) });
            }
            continue;
        }
        if (!column.reading)
            continue;
        line.push_back({ column.x, Y(column.low) });
        if (column.high != column.low)
            line.push_back({ column.x, Y(column.high) });
        if (kind == Kind::CheckTime && column.failed)
            failed.push_back({ column.x, Y(column.failedHigh) });
        dense = dense || column.high != column.low;
        band.push_back({ column.x, Y(column.high) });
        lows.push_back({ column.x, Y(column.low) });
    }
    if (dense)
        band.insert(band.end(), lows.rbegin(), lows.rend());
    else
        band.clear();
}
