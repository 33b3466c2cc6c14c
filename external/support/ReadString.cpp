#include "external/support/ReadString.h"

#include "external/support/Utf16.h"

namespace {

int ReadUtf16Line(std::FILE* file, std::string* out)
{
    std::u16string units;
    bool any = false;
    for (;;) {
        const int lo = std::fgetc(file);
        if (lo == EOF)
            break;
        const int hi = std::fgetc(file);
        any = true;
        if (hi == EOF)
            break; // a lone trailing byte is not a code unit
        const auto unit = static_cast<char16_t>(lo | (hi << 8));
        if (unit == u'\n')
            break;
        units += unit;
    }
    if (!units.empty() && units.back() == u'\r')
        units.pop_back();
    *out = Utf16ToUtf8(units);
    return any ? 1 : 0;
}

int ReadEightBitLine(std::FILE* file, std::string* out)
{
    std::string bytes;
    bool any = false;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        bytes += static_cast<char>(c);
    }
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    *out = EightBitToUtf8(bytes);
    return any ? 1 : 0;
}

} // namespace

int ReadString(std::FILE* file, std::string* out, int mode)
{
    if (file == nullptr || out == nullptr)
        return 0;
    return mode == 0 ? ReadUtf16Line(file, out) : ReadEightBitLine(file, out);
}
