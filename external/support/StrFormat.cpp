#include "external/support/StrFormat.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <iterator>

std::string StrFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (needed > 0) {
        out.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(needed));
    }
    va_end(args);
    return out;
}

void AppendDecimal(std::string& out, long long value, int width, char pad)
{
    if (value >= 0 && value < 10 && width <= 1) { // most durations and counts of a fast check
        out += static_cast<char>('0' + value);
        return;
    }
    char digits[24];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), value);
    (void)error; // 24 characters hold every long long
    const size_t length = static_cast<size_t>(end - digits);
    if (width <= 0 || static_cast<size_t>(width) <= length) {
        out.append(digits, length);
        return;
    }
    const char* first = digits;
    if (pad == '0' && value < 0) { // zeros go between the sign and the digits
        out += '-';
        ++first;
    }
    out.append(static_cast<size_t>(width) - length, pad);
    out.append(first, static_cast<size_t>(end - first));
}

std::string TrimLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

void AppendOneLine(std::string& out, std::string_view text)
{
    const size_t first = out.size();
    out += text;
    for (size_t i = first; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (byte < 0x20 || byte == 0x7F)
            out[i] = ' ';
    }
}
