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
constexpr double kTickSpacing = 90; // the least room between two time labels, the widest of them 80
constexpr int kMaxValueTicks = 5;
// A pause breaks the line when it is this many times the event's usual spacing, and at least
// kShortestPauseMs: a check loop without a wait must not break at every hiccup of its machine.
constexpr int64_t kPauseFactor = 10;
constexpr int64_t kShortestPauseMs = 1000;

// A step of 1, 2 or 5 times a power of ten that divides `span` into at most `count` parts; never
// below 1 for readings that are all whole numbers.
double NiceStep(double span, int count, bool whole)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * power;
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= raw) {
            step = factor * power;
            break;
        }
    }
    return whole ? std::max(1.0, step) : step;
}

// The time between two executions that most of the run keeps: the lower median of the times
// between neighbouring buckets (each of which is one such time, however many executions a bucket
// holds).
int64_t UsualSpacing(const std::vector<RunSeries::Bucket>& buckets)
{
    std::vector<int64_t> spacing;
    for (size_t i = 1; i < buckets.size(); ++i)
        spacing.push_back(buckets[i].firstMs - buckets[i - 1].lastMs);
    if (spacing.empty())
        return 0;
    const auto middle = spacing.begin() + static_cast<std::ptrdiff_t>((spacing.size() - 1) / 2);
    std::nth_element(spacing.begin(), middle, spacing.end());
    return *middle;
}

bool IsPause(int64_t gapMs, int64_t usualMs)
{
    return gapMs > std::max(kPauseFactor * usualMs, kShortestPauseMs);
}

std::string NumberText(double value)
{
    return StrFormat("%g", std::abs(value) < 1e-9 ? 0.0 : value);
}

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;
// The steps of a time axis, round on a clock.
constexpr int64_t kTimeSteps[] = { 1, 2, 5, 10, 20, 50, 100, 200, 500, kSecond, 2 * kSecond, 5 * kSecond, 10 * kSecond,
    15 * kSecond, 30 * kSecond, kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,
    2 * kHour, 3 * kHour, 6 * kHour, 12 * kHour, kDay, 2 * kDay, 7 * kDay };

// The smallest round step that divides `span` into at most `count` parts.
int64_t TimeStep(int64_t span, int count)
{
    for (const int64_t step : kTimeSteps) {
        if (span <= step * count)
            return step;
    }
    return kDay * static_cast<int64_t>(NiceStep(static_cast<double>(span) / kDay, count, true));
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// A time of day as the report writes it, in local time, as fine as the axis's step needs; with
// the day when the run is longer than one.
std::string TimeText(int64_t ms, int64_t step, int64_t span)
{
    const std::time_t seconds = static_cast<std::time_t>(FloorDiv(ms, kSecond));
    std::tm tm {};
    localtime_r(&seconds, &tm);
    const char* format = step >= kDay ? "%d-%b" : span >= kDay ? "%d-%b %H:%M" : step >= kMinute ? "%H:%M" : "%H:%M:%S";
    char text[32] = "";
    std::strftime(text, sizeof text, format, &tm);
    std::string shown = text;
    if (step < kSecond)
        shown += StrFormat(".%03d", static_cast<int>(ms - FloorDiv(ms, kSecond) * kSecond));
    return shown;
}

// The local clock's offset from UTC at `ms`, so that hours and days fall on local midnights.
int64_t LocalOffsetMs(int64_t ms)
{
    const std::time_t seconds = static_cast<std::time_t>(FloorDiv(ms, kSecond));
    std::tm tm {};
    localtime_r(&seconds, &tm);
    return static_cast<int64_t>(tm.tm_gmtoff) * kSecond;
}

// The readings of one pixel column.
struct Column {
    double x = 0;
    double low = 0;
    double high = 0;
    bool reading = false;
    bool failed = false;
    double failedHigh = 0;
    bool breakBefore = false; // a pause lies between it and the column before
    std::array<bool, RunChart::kOutcomeCount> outcomes {};
};

} // namespace

// Where along the plot a bucket lies, from 0 to 1: by its middle time, or by its place in the run
// when the times do not tell. A bucket that holds a pause lies on both sides of it.
struct RunChart::Spot {
    size_t bucket = 0;
    double at = 0;
    bool breakBefore = false;
};

const char* RunChart::OutcomeName(Outcome outcome)
{
    static constexpr std::array<const char*, kOutcomeCount> kNames = { "passed", "failed", "action run" };
    return kNames[static_cast<size_t>(outcome)];
}

double RunChart::PlotWidth() const
{
    return plotRight - kPlotLeft - 2 * kInset;
}

double RunChart::X(double part) const
{
    return kPlotLeft + kInset + part * PlotWidth();
}

double RunChart::LaneY(Outcome outcome) const
{
    return kPlotTop + kStripLane * (static_cast<double>(outcome) + 0.5);
}

RunChart RunChart::Make(Kind kind, const RunSeries& series, double width)
{
    RunChart chart;
    chart.kind = kind;
    chart.width = std::max(width, kMinWidth);
    chart.plotRight = chart.width - kRightSpace;
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    switch (kind) {
    case Kind::CheckTime: {
        uint32_t longest = 0;
        for (const RunSeries::Bucket& bucket : buckets)
            longest = std::max(longest, bucket.checkMax);
        chart.title = "Check time (ms)";
        chart.height = kChartHeight;
        chart.ValueAxis(0, longest, " ms", true);
        break;
    }
    case Kind::Value: {
        double low = 0;
        double high = 0;
        bool any = false;
        bool whole = true;
        for (const RunSeries::Bucket& bucket : buckets) {
            if (bucket.numeric == 0)
                continue;
            whole = whole && !bucket.fractional;
            low = any ? std::min(low, bucket.valueMin) : bucket.valueMin;
            high = any ? std::max(high, bucket.valueMax) : bucket.valueMax;
            any = true;
        }
        chart.title = "Check value";
        chart.height = kChartHeight;
        chart.ValueAxis(low, high, "", whole);
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
void RunChart::ValueAxis(double low, double high, const char* unit, bool whole)
{
    if (high <= low) { // one reading: in the middle, or at the foot of an axis from 0
        high = low + 1;
        low = low == 0 ? 0 : low - 1;
    }
    plotBottom = kChartHeight - kAxisSpace;
    const double step = NiceStep(high - low, kMaxValueTicks, whole);
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
    const int ticks = std::max(3, static_cast<int>(PlotWidth() / kTickSpacing) + 1);
    if (byTime) {
        const int64_t first = buckets.front().firstMs;
        const int64_t span = buckets.back().lastMs - first;
        const int64_t step = TimeStep(span, ticks - 1);
        const int64_t offset = LocalOffsetMs(first);
        for (int64_t at = (FloorDiv(first + offset - 1, step) + 1) * step - offset; at <= first + span; at += step)
            xTicks.push_back(
                { X(static_cast<double>(at - first) / static_cast<double>(span)), TimeText(at, step, span) });
        return;
    }
    // By execution: #1 and then whole round numbers, each execution named at most once.
    long long executions = 0;
    for (const RunSeries::Bucket& bucket : buckets)
        executions += bucket.count;
    const auto at = [&](long long n) {
        return X(executions <= 1 ? 0.5 : static_cast<double>(n - 1) / static_cast<double>(executions - 1));
    };
    xTicks.push_back({ at(1), "#1" });
    if (executions <= 1)
        return;
    const auto step = static_cast<long long>(NiceStep(static_cast<double>(executions - 1), ticks - 1, true));
    for (long long n = step; n <= executions; n += step) {
        if (n > 1)
            xTicks.push_back({ at(n), StrFormat("#%lld", n) });
    }
}

std::vector<RunChart::Spot> RunChart::Spots(const RunSeries& series, bool byTime) const
{
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    std::vector<Spot> spots;
    if (buckets.empty())
        return spots;
    if (!byTime) {
        double total = 0;
        for (const RunSeries::Bucket& bucket : buckets)
            total += bucket.count;
        double executions = 0;
        for (size_t i = 0; i < buckets.size(); ++i) {
            spots.push_back({ i, total <= 1 ? 0.5 : (executions + 0.5 * (buckets[i].count - 1)) / (total - 1), false });
            executions += buckets[i].count;
        }
        return spots;
    }
    const double first = static_cast<double>(buckets.front().firstMs);
    const double span = static_cast<double>(buckets.back().lastMs) - first;
    const auto part = [&](int64_t from, int64_t to) { return (0.5 * static_cast<double>(from + to) - first) / span; };
    const int64_t usual = UsualSpacing(buckets);
    for (size_t i = 0; i < buckets.size(); ++i) {
        const RunSeries::Bucket& bucket = buckets[i];
        const bool pauseBefore = i > 0 && IsPause(bucket.firstMs - buckets[i - 1].lastMs, usual);
        if (IsPause(bucket.gapMs, usual)) {
            spots.push_back({ i, part(bucket.firstMs, bucket.gapEndMs - bucket.gapMs), pauseBefore });
            spots.push_back({ i, part(bucket.gapEndMs, bucket.lastMs), true });
        } else {
            spots.push_back({ i, part(bucket.firstMs, bucket.lastMs), pauseBefore });
        }
    }
    return spots;
}

void RunChart::Place(const RunSeries& series)
{
    const std::vector<RunSeries::Bucket>& buckets = series.Buckets();
    const bool byTime = !buckets.empty() && buckets.back().lastMs > buckets.front().firstMs;
    TimeAxis(series, byTime);
    std::map<int, Column> columns;
    const int lastColumn = std::max(0, static_cast<int>(PlotWidth()) - 1);
    for (const Spot& spot : Spots(series, byTime)) {
        const RunSeries::Bucket& bucket = buckets[spot.bucket];
        const int index = std::clamp(static_cast<int>(spot.at * PlotWidth()), 0, lastColumn);
        const bool reading = kind != Kind::Value || bucket.numeric > 0;
        const double low = kind == Kind::Value ? bucket.valueMin : bucket.checkMin;
        const double high = kind == Kind::Value ? bucket.valueMax : bucket.checkMax;
        const auto [place, added] = columns.try_emplace(index, Column { X(spot.at), 0, 0, false, false, 0, false, {} });
        Column& column = place->second;
        column.breakBefore = column.breakBefore || (added && spot.breakBefore);
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
    std::vector<Point> lows;
    const auto closeBand = [&] {
        band.insert(band.end(), lows.rbegin(), lows.rend());
        lows.clear();
    };
    bool dense = false;
    bool pause = false;
    for (const auto& [index, column] : columns) {
        if (kind == Kind::Outcomes) {
            for (int outcome = 0; outcome < kOutcomeCount; ++outcome) {
                if (column.outcomes[static_cast<size_t>(outcome)])
                    marks.push_back({ column.x, static_cast<Outcome>(outcome) });
            }
            continue;
        }
        pause = pause || column.breakBefore; // also one before a column without a reading
        if (!column.reading)
            continue;
        if (pause && !line.empty()) {
            lineBreaks.push_back(line.size());
            closeBand();
            bandBreaks.push_back(band.size());
        }
        pause = false;
        line.push_back({ column.x, Y(column.low) });
        if (column.high != column.low)
            line.push_back({ column.x, Y(column.high) });
        if (kind == Kind::CheckTime && column.failed)
            failed.push_back({ column.x, Y(column.failedHigh) });
        dense = dense || column.high != column.low;
        band.push_back({ column.x, Y(column.high) });
        lows.push_back({ column.x, Y(column.low) });
    }
    if (dense) {
        closeBand();
    } else {
        band.clear();
        bandBreaks.clear();
    }
}
