#include "external/support/Utf16.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `pos`; returns kReplacement and advances by one on bad input.
char32_t DecodeUtf8(std::string_view s, size_t& pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<size_t>(extra) >= s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char c = byte(pos + static_cast<size_t>(i));
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<size_t>(extra) + 1;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Eight ASCII bytes, as read from memory into `eight`, to sixteen bytes of UTF-16LE at `to`.
void WidenAscii(char* to, uint64_t eight)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The bytes of each half spread to every other byte, the zeros between them the high bytes.
        const auto spread = [](uint64_t four) {
            four = (four | (four << 16)) & 0x0000FFFF0000FFFFu;
            return (four | (four << 8)) & 0x00FF00FF00FF00FFu;
        };
        const uint64_t low = spread(eight & 0xFFFFFFFFu);
        const uint64_t high = spread(eight >> 32);
        std::memcpy(to, &low, 8);
        std::memcpy(to + 8, &high, 8);
    } else {
        char bytes[8];
        std::memcpy(bytes, &eight, 8);
        for (int i = 0; i < 8; ++i) {
            to[2 * i] = bytes[i];
            to[2 * i + 1] = 0;
        }
    }
}

} // namespace

void AppendUtf16Le(std::string& out, std::string_view utf8)
{
    // Every byte gives at most two bytes (a four-byte sequence gives a surrogate pair, four bytes),
    // so the room is taken once and filled through a pointer. ASCII, what a report line mostly is,
    // is widened eight bytes at a time.
    const size_t first = out.size();
    out.resize(first + utf8.size() * 2);
    char* to = out.data() + first;
    const auto put = [&to](char32_t unit) {
        *to++ = static_cast<char>(unit & 0xFF);
        *to++ = static_cast<char>((unit >> 8) & 0xFF);
    };
    const char* from = utf8.data();
    size_t pos = 0;
    while (pos < utf8.size()) {
        if (utf8.size() - pos >= 8) {
            uint64_t eight = 0;
            std::memcpy(&eight, from + pos, 8);
            if ((eight & 0x8080808080808080u) == 0) { // no byte with its high bit set
                WidenAscii(to, eight);
                to += 16;
                pos += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(from[pos]) < 0x80) {
            *to++ = from[pos++];
            *to++ = 0;
            continue;
        }
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            put(0xD800 + (v >> 10));
            put(0xDC00 + (v & 0x3FF));
        } else {
            put(cp);
        }
    }
    out.resize(static_cast<size_t>(to - out.data()));
}

std::string Utf8ToUtf16Le(std::string_view utf8)
{
    std::string out;
    AppendUtf16Le(out, utf8);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t before = pos;
        if (DecodeUtf8(text, pos) == kReplacement) {
            // A literal U+FFFD is three bytes long; a replacement for bad input advances by one.
            if (pos - before != 3)
                return false;
        }
    }
    return true;
}

std::string EightBitToUtf8(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}
