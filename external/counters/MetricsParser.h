#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

// One sample line of a metrics body: name{label="value",...} value [timestamp]
struct MetricSample {
    std::string name;
    std::vector<std::pair<std::string, std::string>> labels; // values unescaped
    double value = 0;
    std::optional<int64_t> timestampMs;

    // The value of the label `key`, or null when the sample has no such label.
    const std::string* Label(std::string_view key) const;
};

// A strict reader of the Prometheus text exposition format (0.0.4), which node_exporter serves.
// Any line that does not follow the format rejects the whole body: a reading taken from a body
// that was cut short or is not metrics at all would be a wrong value, not a missing one.
// Works on any bytes in linear time; memory stays within the size of the input, which is limited.
class MetricsParser {
public:
    static constexpr size_t kMaxInput = 16 * 1024 * 1024;
    static constexpr size_t kMaxLabels = 64;

    // Whether a sample of that metric name is kept; an empty filter keeps all. Samples that are
    // not kept are checked all the same.
    using Filter = std::function<bool(std::string_view name)>;

    // Reads a whole body. False on the first malformed line; Error() then says which and why.
    bool Parse(std::string_view text, const Filter& keep = {});

    const std::vector<MetricSample>& Samples() const { return samples_; }
    const std::string& Error() const { return error_; }

private:
    bool ParseLine(std::string_view line, const Filter& keep);
    bool ParseComment(std::string_view line);
    bool ParseSample(std::string_view line, const Filter& keep);
    bool Fail(const char* what);

    std::vector<MetricSample> samples_;
    std::unordered_set<std::string> typed_; // metric names with a TYPE line
    std::unordered_set<std::string> helped_; // metric names with a HELP line
    MetricSample scratch_; // the sample being read, reused across lines
    std::string error_;
    size_t lineNumber_ = 0;
};
