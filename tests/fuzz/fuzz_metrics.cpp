// Remote counters read the metrics page of another machine: bytes from the network. Whatever they
// are, the parser either refuses the body with a reason or gives samples that describe it exactly:
// printed back in the same format they parse to the same samples.
#include "FuzzCheck.h"
#include "external/counters/MetricsParser.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

std::string Escaped(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out;
}

// "%g" writes "inf", "-inf" and "nan", which the parser takes in any case; a NaN goes without its
// sign, which the parser refuses.
std::string ValueText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", std::isnan(value) ? std::fabs(value) : value);
    return text;
}

std::string Print(const MetricSample& sample)
{
    std::string line = sample.name + "{";
    for (const auto& [name, value] : sample.labels)
        line += name + "=\"" + Escaped(value) + "\",";
    line += "} " + ValueText(sample.value);
    if (sample.timestampMs)
        line += " " + std::to_string(*sample.timestampMs);
    return line + "\n";
}

// Equal, the sign of a zero included; NaN equals NaN.
bool Same(const MetricSample& a, const MetricSample& b)
{
    const bool sameValue = a.value == b.value ? std::signbit(a.value) == std::signbit(b.value)
                                              : std::isnan(a.value) && std::isnan(b.value);
    return a.name == b.name && a.labels == b.labels && sameValue && a.timestampMs == b.timestampMs;
}

void CheckSamples(const MetricsParser& parser)
{
    std::string printed;
    for (const MetricSample& sample : parser.Samples()) {
        FUZZ_CHECK(!sample.name.empty());
        FUZZ_CHECK(sample.labels.size() <= MetricsParser::kMaxLabels);
        for (const auto& [name, value] : sample.labels)
            FUZZ_CHECK(sample.Label(name) == &value); // label names are unique
        printed += Print(sample);
    }
    MetricsParser again;
    FUZZ_CHECK(again.Parse(printed));
    FUZZ_CHECK(again.Samples().size() == parser.Samples().size());
    for (size_t i = 0; i < again.Samples().size(); ++i)
        FUZZ_CHECK(Same(again.Samples()[i], parser.Samples()[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    MetricsParser parser;
    const bool accepted = parser.Parse(body);
    FUZZ_CHECK(accepted == parser.Error().empty());
    if (accepted) {
        FUZZ_CHECK(body.empty() || body.back() == '\n');
        CheckSamples(parser);
    }

    // A filter changes which samples are kept, never whether the body is accepted.
    MetricsParser filtered;
    size_t kept = 0;
    const bool filteredAccepted = filtered.Parse(body, [&](std::string_view name) {
        const bool keep = name.size() % 2 == 0;
        kept += keep ? 1 : 0;
        return keep;
    });
    FUZZ_CHECK(filteredAccepted == accepted);
    if (accepted)
        FUZZ_CHECK(filtered.Samples().size() == kept);
    return 0;
}
