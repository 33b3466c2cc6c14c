#include "external/support/DateAndTimeMacros.h"

#include "external/support/Clock.h"
#include "external/support/StrFormat.h"

namespace {

struct Token {
    const char* pattern;
    int value;
    int width;
};

// Expands a pattern by replacing its tokens, longest first, left to right.
std::string ExpandPattern(const std::string& pattern, const Token* tokens, size_t count)
{
    std::string out;
    size_t pos = 0;
    while (pos < pattern.size()) {
        bool matched = false;
        for (size_t i = 0; i < count && !matched; ++i) {
            const std::string token = tokens[i].pattern;
            if (pattern.compare(pos, token.size(), token) == 0) {
                out += StrFormat("%0*d", tokens[i].width, tokens[i].value);
                pos += token.size();
                matched = true;
            }
        }
        if (!matched)
            out += pattern[pos++];
    }
    return out;
}

std::string DateText(const std::string& format, const std::tm& when)
{
    const Token tokens[] = {{"YYYY", when.tm_year + 1900, 4},
                            {"YY", (when.tm_year + 1900) % 100, 2},
                            {"MM", when.tm_mon + 1, 2},
                            {"DD", when.tm_mday, 2}};
    return ExpandPattern(format.empty() ? "YYYYMMDD" : format, tokens, std::size(tokens));
}

std::string TimeText(const std::string& format, const std::tm& when)
{
    const Token tokens[] = {{"HH", when.tm_hour, 2}, {"MM", when.tm_min, 2}, {"SS", when.tm_sec, 2}};
    return ExpandPattern(format.empty() ? "HHMMSS" : format, tokens, std::size(tokens));
}

} // namespace

std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat, const std::tm& when)
{
    if (text.find('$') == std::string::npos)
        return text;
    std::string out = ReplaceAll(text, "$DATE$", DateText(dateFormat, when));
    return ReplaceAll(std::move(out), "$TIME$", TimeText(timeFormat, when));
}

std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat)
{
    return DateAndTimeMacros(text, dateFormat, timeFormat, LocalNow().tm);
}
