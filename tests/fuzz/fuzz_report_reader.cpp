// The viewer reads execution reports and custom logs that other programs may have touched, cut
// short or replaced. Whatever the bytes, reading ends, every line is UTF-8, no more lines come
// back than there are bytes, and what the report writer encodes reads back unchanged.
#include "FuzzCheck.h"
#include "external/support/TextLineScanner.h"
#include "external/support/UniqueFd.h"
#include "external/support/Utf16.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Reads the bytes as the viewer reads a file, through a file in memory: nothing touches the disk.
// Returns the encoding the scanner found and the lines as UTF-8.
Lines ReadAll(const std::string& bytes, TextEncoding* encoding = nullptr)
{
    const UniqueFd fd(::memfd_create("report", MFD_CLOEXEC));
    FUZZ_CHECK(fd.Valid());
    FUZZ_CHECK(::write(fd.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    TextLineScanner scanner;
    FUZZ_CHECK(scanner.Open("/proc/self/fd/" + std::to_string(fd.Get())) == 0);
    if (encoding != nullptr)
        *encoding = scanner.Encoding();
    Lines lines;
    LineSpan span;
    std::string_view line;
    while (scanner.Next(span, line)) {
        lines.push_back(Utf16ToUtf8(DecodeLine(line, scanner.Encoding())));
        FUZZ_CHECK(lines.size() <= bytes.size());
        FUZZ_CHECK(IsValidUtf8(lines.back()));
    }
    return lines;
}

// The 8-bit reader's lines as the file's segments between line feeds, each without one carriage
// return and read as UTF-8 or else Latin-1; a final line feed ends the last line.
Lines EightBitModel(const std::string& bytes)
{
    Lines lines;
    std::istringstream in(bytes);
    for (std::string segment; std::getline(in, segment);) {
        if (segment.ends_with('\r'))
            segment.pop_back();
        lines.push_back(EightBitToUtf8(segment));
    }
    return lines;
}

// The report writer's encoding: the byte-order mark, then UTF-16LE lines ended by CR LF.
std::string Utf16Report(const Lines& lines)
{
    std::string bytes = "\xFF\xFE";
    for (const std::string& line : lines)
        bytes += Utf8ToUtf16Le(line + "\r\n");
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TextEncoding encoding {};
    const Lines lines = ReadAll(bytes, &encoding);
    if (encoding == TextEncoding::EightBit) {
        FUZZ_CHECK(lines == EightBitModel(bytes));
        FUZZ_CHECK(ReadAll(Utf16Report(lines)) == lines);
    }

    // Any text survives the trip through UTF-16, bad sequences as U+FFFD.
    const std::string encoded = Utf8ToUtf16Le(bytes);
    FUZZ_CHECK(encoded.size() % 2 == 0);
    std::u16string units;
    for (size_t i = 0; i < encoded.size(); i += 2)
        units += static_cast<char16_t>(static_cast<uint8_t>(encoded[i]) | static_cast<uint8_t>(encoded[i + 1]) << 8);
    const std::string back = Utf16ToUtf8(units);
    FUZZ_CHECK(IsValidUtf8(back));
    FUZZ_CHECK(IsValidUtf8(bytes) == (back == bytes));
    FUZZ_CHECK(EightBitToUtf8(back) == back);
    return 0;
}
