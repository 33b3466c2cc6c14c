#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// How a text file that the engine writes is encoded: UTF-16LE when it starts with its byte-order
// mark, otherwise 8-bit text (UTF-8, or Latin-1 where it is not valid UTF-8).
enum class TextEncoding { Utf16Le, EightBit };

// Where one line lies in its file, in bytes, without its line end.
struct LineSpan {
    int64_t offset = 0;
    uint32_t length = 0;
};

// Walks a text file line by line in large reads, so that a report of millions of lines is read
// at the speed of the disk. Lines end at a line feed; a carriage return before it is not part of
// the line. A last line without a line feed counts too.
class TextLineScanner {
public:
    TextLineScanner() = default;
    ~TextLineScanner();
    TextLineScanner(const TextLineScanner&) = delete;
    TextLineScanner& operator=(const TextLineScanner&) = delete;

    // Opens the file and reads its byte-order mark; 0, or -1 when it cannot be opened.
    int Open(const std::string& path);
    TextEncoding Encoding() const { return encoding_; }

    // The next line: its place and its bytes (valid until the next call). False at the end.
    bool Next(LineSpan& span, std::string_view& bytes);

private:
    bool Fill();
    size_t FindLineEnd(size_t from) const;

    std::FILE* file_ = nullptr;
    TextEncoding encoding_ = TextEncoding::EightBit;
    std::vector<char> buffer_;
    size_t begin_ = 0; // first unread byte in buffer_
    size_t end_ = 0; // bytes held in buffer_
    int64_t bufferStart_ = 0; // file offset of buffer_[0]
    bool eof_ = false;
};

// The code units of a line in `encoding` as UTF-16 text, one char16_t per code unit.
std::u16string DecodeLine(std::string_view bytes, TextEncoding encoding);

// True when the line holds a tab after its first character: only such lines of an execution
// report are records (an action statement of several lines leaves lines without one).
bool IsRecordLine(std::string_view bytes, TextEncoding encoding);
