#include "external/support/DateAndTimeMacros.h"

#include "external/support/Clock.h"
#include "external/support/StrFormat.h"

namespace {

struct Token {
    std::string_view name;
    std::string text;
};

// Replaces the tokens in one pass, left to right, trying them in the order given (longest first
// where one begins another). What a token becomes is never read again, so a pattern or a
// replacement that holds a token's name stays as written.
std::string ReplaceTokens(const std::string& text, const Token* tokens, size_t count)
{
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const Token* match = nullptr;
        for (size_t i = 0; i < count && match == nullptr; ++i) {
            if (text.compare(pos, tokens[i].name.size(), tokens[i].name) == 0)
                match = &tokens[i];
        }
        if (match != nullptr) {
            out += match->text;
            pos += match->name.size();
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::string Digits(long long value, int width)
{
    return StrFormat("%0*lld", width, value);
}

std::string DateText(const std::string& format, const std::tm& when)
{
    // tm_year counts from 1900 and may be as large as an int goes, when the clock is far off.
    const long long year = when.tm_year + 1900LL;
    const Token tokens[] = {{"YYYY", Digits(year, 4)},
                            {"YY", Digits(year % 100, 2)},
                            {"MM", Digits(when.tm_mon + 1, 2)},
                            {"DD", Digits(when.tm_mday, 2)}};
    return ReplaceTokens(format.empty() ? "YYYYMMDD" : format, tokens, std::size(tokens));
}

std::string TimeText(const std::string& format, const std::tm& when)
{
    const Token tokens[] = {{"HH", Digits(when.tm_hour, 2)},
                            {"MM", Digits(when.tm_min, 2)},
                            {"SS", Digits(when.tm_sec, 2)}};
    return ReplaceTokens(format.empty() ? "HHMMSS" : format, tokens, std::size(tokens));
}

} // namespace

std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat, const std::tm& when)
{
    if (text.find('$') == std::string::npos)
        return text;
    const Token macros[] = {{"$DATE$", DateText(dateFormat, when)}, {"$TIME$", TimeText(timeFormat, when)}};
    return ReplaceTokens(text, macros, std::size(macros));
}

std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat)
{
    return DateAndTimeMacros(text, dateFormat, timeFormat, LocalNow().tm);
}
