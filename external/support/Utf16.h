#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program; the execution report and the custom log are UTF-16LE files.

// UTF-8 to UTF-16LE bytes. Invalid UTF-8 sequences become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);
// The same, appended to `out`, which keeps its room from one call to the next.
void AppendUtf16Le(std::string& out, std::string_view utf8);

// UTF-16LE code units to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// 8-bit text of unknown encoding to UTF-8: valid UTF-8 is kept, anything else is read as Latin-1.
std::string EightBitToUtf8(std::string_view text);
