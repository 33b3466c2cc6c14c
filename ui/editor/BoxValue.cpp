#include "ui/editor/BoxValue.h"

#include <cstdint>
#include <limits>

namespace {

// The digits at `at` as a number, saturated well beyond the 32-bit range.
int64_t LeadingDigits(const QString& text, qsizetype at)
{
    int64_t value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10 + (text[at].unicode() - u'0');
        if (value > int64_t { 1 } << 40)
            value = int64_t { 1 } << 40;
    }
    return value;
}

int Clamp(int64_t value)
{
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

int UnsignedBoxValue(const QString& text)
{
    return Clamp(LeadingDigits(text, 0));
}

int SignedBoxValue(const QString& text)
{
    const bool negative = text.startsWith(u'-');
    const bool sign = negative || text.startsWith(u'+');
    const int64_t magnitude = LeadingDigits(text, sign ? 1 : 0);
    return Clamp(negative ? -magnitude : magnitude);
}

QString UnsignedBoxText(int value)
{
    return QString::number(static_cast<uint32_t>(value));
}
