#include "model/RunSeries.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

void RunSeries::Bucket::Add(const ExecRecord& record, int64_t endMs)
{
    if (count == 0)
        firstMs = endMs;
    else if (endMs - lastMs > gapMs) {
        gapMs = endMs - lastMs;
        gapEndMs = endMs;
    }
    lastMs = endMs;
    ++count;
    checkMin = std::min(checkMin, record.checkTime);
    checkMax = std::max(checkMax, record.checkTime);
    if (record.status != "OK") {
        ++failed;
        failedCheckMax = std::max(failedCheckMax, record.checkTime);
    }
    if (record.actionRun)
        ++actions;
    if (const std::optional<double> number = Number(record.value)) {
        valueMin = numeric == 0 ? *number : std::min(valueMin, *number);
        valueMax = numeric == 0 ? *number : std::max(valueMax, *number);
        fractional = fractional || *number != std::floor(*number);
        ++numeric;
    }
}

void RunSeries::Bucket::Merge(const Bucket& next)
{
    for (const auto& [gap, end] :
        { std::pair(next.firstMs - lastMs, next.firstMs), std::pair(next.gapMs, next.gapEndMs) }) {
        if (gap > gapMs) {
            gapMs = gap;
            gapEndMs = end;
        }
    }
    lastMs = next.lastMs;
    count += next.count;
    failed += next.failed;
    actions += next.actions;
    checkMin = std::min(checkMin, next.checkMin);
    checkMax = std::max(checkMax, next.checkMax);
    failedCheckMax = std::max(failedCheckMax, next.failedCheckMax);
    if (next.numeric > 0) {
        valueMin = numeric == 0 ? next.valueMin : std::min(valueMin, next.valueMin);
        valueMax = numeric == 0 ? next.valueMax : std::max(valueMax, next.valueMax);
        fractional = fractional || next.fractional;
        numeric += next.numeric;
    }
}

void RunSeries::Add(const ExecRecord& record)
{
    // A clock set back must not draw the run backwards.
    const int64_t endMs = buckets_.empty() ? record.endMs : std::max(record.endMs, buckets_.back().lastMs);
    if (buckets_.empty() || buckets_.back().count >= perBucket_) {
        if (buckets_.size() == kBuckets)
            Halve();
        if (buckets_.empty() || buckets_.back().count >= perBucket_)
            buckets_.emplace_back();
    }
    buckets_.back().Add(record, endMs);
}

void RunSeries::Halve()
{
    size_t kept = 0;
    for (size_t i = 0; i < buckets_.size(); i += 2) {
        Bucket merged = buckets_[i];
        if (i + 1 < buckets_.size())
            merged.Merge(buckets_[i + 1]);
        buckets_[kept++] = merged;
    }
    buckets_.resize(kept);
    perBucket_ *= 2;
}

bool RunSeries::HasNumbers() const
{
    return std::any_of(buckets_.begin(), buckets_.end(), [](const Bucket& b) { return b.numeric > 0; });
}

std::optional<double> RunSeries::Number(const std::string& text)
{
    // Most values are a count or a size: up to 15 digits, exact in a double, read without a parse.
    if (!text.empty() && text.size() <= 15) {
        int64_t digits = 0;
        size_t i = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            digits = digits * 10 + (text[i] - '0');
        if (i == text.size())
            return static_cast<double>(digits);
    }
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::nullopt;
    const size_t last = text.find_last_not_of(" \t\r\n");
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+')
        ++begin;
    double number = 0;
    const auto [at, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || at != end || !std::isfinite(number))
        return std::nullopt;
    return number;
}
