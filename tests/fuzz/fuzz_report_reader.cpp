// The viewer reads execution reports and custom logs that other programs may have touched, cut
// short or replaced. Whatever the bytes, reading ends, every line is UTF-8, no more lines come
// back than there are bytes, and what the report writer encodes reads back unchanged.
#include "FuzzCheck.h"
#include "external/support/ReadString.h"
#include "external/support/Utf16.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads the bytes as a file, through a memory stream: nothing touches the disk.
Lines ReadAll(std::string bytes, int mode)
{
    Lines lines;
    if (bytes.empty()) // fmemopen takes no empty buffer
        return lines;
    File file(fmemopen(bytes.data(), bytes.size(), "rb"), &std::fclose);
    FUZZ_CHECK(file != nullptr);
    const size_t limit = bytes.size();
    std::string line;
    while (ReadString(file.get(), &line, mode) != 0) {
        lines.push_back(line);
        FUZZ_CHECK(lines.size() <= limit);
        FUZZ_CHECK(IsValidUtf8(line));
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

// The report writer's encoding: UTF-16LE lines ended by CR LF (the caller skips the mark).
std::string Utf16Report(const Lines& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += Utf8ToUtf16Le(line + "\r\n");
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool marked = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    ReadAll(marked ? bytes.substr(2) : bytes, 0);

    const Lines eightBit = ReadAll(bytes, 1);
    FUZZ_CHECK(eightBit == EightBitModel(bytes));
    FUZZ_CHECK(ReadAll(Utf16Report(eightBit), 0) == eightBit);

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
