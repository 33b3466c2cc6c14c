#include "external/counters/MetricsParser.h"

#include "external/counters/ParseNumber.h"
#include "external/support/StrFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsMetricNameChar(char c, bool first)
{
    return IsLetter(c) || c == '_' || c == ':' || (!first && IsDigit(c));
}

bool IsLabelNameChar(char c, bool first)
{
    return IsLetter(c) || c == '_' || (!first && IsDigit(c));
}

// Reads one line from left to right.
class Cursor {
public:
    explicit Cursor(std::string_view text)
        : text_(text)
    {
    }

    bool AtEnd() const { return pos_ == text_.size(); }
    bool Next(char c) const { return !AtEnd() && text_[pos_] == c; }

    bool Take(char c)
    {
        if (!Next(c))
            return false;
        ++pos_;
        return true;
    }

    // The number of blanks skipped.
    size_t SkipBlanks()
    {
        const size_t start = pos_;
        while (!AtEnd() && IsBlank(text_[pos_]))
            ++pos_;
        return pos_ - start;
    }

    // A name whose characters `fits` accepts; empty when there is none.
    template <typename Fits> std::string_view TakeName(Fits fits)
    {
        const size_t start = pos_;
        while (!AtEnd() && fits(text_[pos_], pos_ == start))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // Everything up to the next blank.
    std::string_view TakeToken()
    {
        const size_t start = pos_;
        while (!AtEnd() && !IsBlank(text_[pos_]))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // Unescapes \\ and \n (and \" when `quoted`) up to the end of the line, or when `quoted` up to
    // and with the closing '"'. False on an unknown escape or a missing closing quote.
    bool TakeEscaped(bool quoted, std::string* out)
    {
        out->clear();
        while (!AtEnd()) {
            const char c = text_[pos_++];
            if (quoted && c == '"')
                return true;
            if (c != '\\') {
                out->push_back(c);
                continue;
            }
            if (AtEnd())
                return false;
            const char escaped = text_[pos_++];
            if (escaped == 'n')
                out->push_back('\n');
            else if (escaped == '\\' || (quoted && escaped == '"'))
                out->push_back(escaped);
            else
                return false;
        }
        return !quoted;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return (x | 0x20) == (y | 0x20) && IsLetter(x) == IsLetter(y); });
}

// A float as Go's ParseFloat takes it, without hexadecimal forms and digit separators:
// "1.5e-3", "-Inf", "+Inf", "NaN". Values out of the double range are refused.
std::optional<double> ParseValue(std::string_view token)
{
    double sign = 1;
    std::string_view digits = token;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        sign = digits[0] == '-' ? -1 : 1;
        digits.remove_prefix(1);
    }
    if (EqualsNoCase(digits, "inf") || EqualsNoCase(digits, "infinity"))
        return sign * std::numeric_limits<double>::infinity();
    if (EqualsNoCase(digits, "nan") && digits.size() == token.size())
        return std::numeric_limits<double>::quiet_NaN();
    if (digits.empty() || !(IsDigit(digits[0]) || digits[0] == '.'))
        return std::nullopt;
    const std::optional<double> value = ParseNumber<double>(digits);
    return value ? std::optional<double>(sign * *value) : std::nullopt;
}

bool IsMetricType(std::string_view type)
{
    static constexpr std::array<std::string_view, 5> types = { "counter", "gauge", "histogram", "summary", "untyped" };
    return std::find(types.begin(), types.end(), type) != types.end();
}

// The label list after '{', up to and with the closing '}'. A trailing comma is allowed.
bool ParseLabels(Cursor& cursor, std::vector<std::pair<std::string, std::string>>* labels)
{
    labels->clear();
    for (;;) {
        cursor.SkipBlanks();
        if (cursor.Take('}'))
            return true;
        const std::string_view name = cursor.TakeName(IsLabelNameChar);
        if (name.empty() || labels->size() == MetricsParser::kMaxLabels)
            return false;
        const bool duplicate
            = std::any_of(labels->begin(), labels->end(), [&](const auto& l) { return l.first == name; });
        cursor.SkipBlanks();
        if (duplicate || !cursor.Take('='))
            return false;
        cursor.SkipBlanks();
        std::string value;
        if (!cursor.Take('"') || !cursor.TakeEscaped(true, &value))
            return false;
        labels->emplace_back(std::string(name), std::move(value));
        cursor.SkipBlanks();
        if (!cursor.Take(',') && !cursor.Next('}'))
            return false;
    }
}

} // namespace

const std::string* MetricSample::Label(std::string_view key) const
{
    for (const auto& [name, value] : labels) {
        if (name == key)
            return &value;
    }
    return nullptr;
}

bool MetricsParser::Parse(std::string_view text, const Filter& keep)
{
    samples_.clear();
    typed_.clear();
    helped_.clear();
    error_.clear();
    lineNumber_ = 0;
    if (text.size() > kMaxInput)
        return Fail("body too large");
    while (!text.empty()) {
        ++lineNumber_;
        const size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return Fail("last line does not end with a line feed");
        if (!ParseLine(text.substr(0, end), keep))
            return false;
        text.remove_prefix(end + 1);
    }
    return true;
}

bool MetricsParser::ParseLine(std::string_view line, const Filter& keep)
{
    Cursor cursor(line);
    cursor.SkipBlanks();
    if (cursor.AtEnd())
        return true;
    if (cursor.Next('#'))
        return ParseComment(line);
    return ParseSample(line, keep);
}

// "# HELP name text" and "# TYPE name type" are checked; any other comment is skipped.
bool MetricsParser::ParseComment(std::string_view line)
{
    Cursor cursor(line);
    cursor.SkipBlanks();
    cursor.Take('#');
    cursor.SkipBlanks();
    const std::string_view keyword = cursor.TakeToken();
    if (keyword != "HELP" && keyword != "TYPE")
        return true;
    if (cursor.SkipBlanks() == 0)
        return Fail("HELP or TYPE without a metric name");
    const std::string name(cursor.TakeName(IsMetricNameChar));
    if (name.empty() || (!cursor.AtEnd() && cursor.SkipBlanks() == 0))
        return Fail("invalid metric name in HELP or TYPE");
    if (keyword == "HELP") {
        std::string ignoredText;
        if (!helped_.insert(name).second)
            return Fail("second HELP for a metric");
        return cursor.TakeEscaped(false, &ignoredText) || Fail("invalid escape sequence in HELP");
    }
    const std::string_view type = cursor.TakeToken();
    cursor.SkipBlanks();
    if (!IsMetricType(type) || !cursor.AtEnd())
        return Fail("unknown metric type");
    return typed_.insert(name).second || Fail("second TYPE for a metric");
}

bool MetricsParser::ParseSample(std::string_view line, const Filter& keep)
{
    Cursor cursor(line);
    cursor.SkipBlanks();
    MetricSample& sample = scratch_;
    sample.name = cursor.TakeName(IsMetricNameChar);
    if (sample.name.empty())
        return Fail("invalid metric name");
    size_t blanks = cursor.SkipBlanks();
    sample.labels.clear();
    if (cursor.Take('{')) {
        if (!ParseLabels(cursor, &sample.labels))
            return Fail("invalid label list");
        blanks = cursor.SkipBlanks();
    }
    if (blanks == 0)
        return Fail("no blank before the value");
    const std::optional<double> value = ParseValue(cursor.TakeToken());
    if (!value)
        return Fail("invalid value");
    sample.value = *value;
    sample.timestampMs.reset();
    cursor.SkipBlanks();
    if (!cursor.AtEnd()) {
        sample.timestampMs = ParseNumber<int64_t>(cursor.TakeToken());
        cursor.SkipBlanks();
        if (!sample.timestampMs || !cursor.AtEnd())
            return Fail("invalid timestamp");
    }
    if (!keep || keep(sample.name))
        samples_.push_back(sample);
    return true;
}

bool MetricsParser::Fail(const char* what)
{
    error_ = StrFormat("line %zu: %s", lineNumber_, what);
    return false;
}
