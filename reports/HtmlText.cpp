#include "reports/HtmlText.h"

#include "external/support/Utf16.h"

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The C0 controls other than HTML's whitespace, and DEL.
bool IsForbiddenControl(unsigned char c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || c == 0x7F;
}

// A C1 control (U+0080 to U+009F) starts at `i`: in UTF-8 these are C2 80 to C2 9F.
bool IsC1Control(std::string_view text, size_t i)
{
    return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
           static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

const char* EntityOf(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

std::string EscapeValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (const char* entity = EntityOf(c)) {
            out += entity;
        } else if (IsForbiddenControl(static_cast<unsigned char>(c))) {
            out += kReplacement;
        } else if (IsC1Control(text, i)) {
            out += kReplacement;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// `text` with every malformed UTF-8 sequence replaced by U+FFFD, through the UTF-16 conversions
// that already make that replacement.
std::string RepairUtf8(std::string_view text)
{
    const std::string bytes = Utf8ToUtf16Le(text);
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return Utf16ToUtf8(units);
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    if (IsValidUtf8(text))
        return EscapeValidUtf8(text);
    return EscapeValidUtf8(RepairUtf8(text));
}
