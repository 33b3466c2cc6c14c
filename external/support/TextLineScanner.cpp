#include "external/support/TextLineScanner.h"

#include "external/support/Utf16.h"

#include <cstring>

namespace {

constexpr size_t kChunk = 1 << 20;

std::u16string Utf8ToUnits(std::string_view utf8)
{
    // The UTF-16LE bytes of the text, taken as code units.
    const std::string bytes = Utf8ToUtf16Le(utf8);
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

} // namespace

TextLineScanner::~TextLineScanner()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

int TextLineScanner::Open(const std::string& path)
{
    if (file_ != nullptr)
        return -1; // one file per scanner
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr)
        return -1;
    buffer_.resize(kChunk);
    Fill();
    if (end_ >= 2 && static_cast<unsigned char>(buffer_[0]) == 0xFF && static_cast<unsigned char>(buffer_[1]) == 0xFE) {
        encoding_ = TextEncoding::Utf16Le;
        begin_ = 2;
    }
    return 0;
}

// Moves the unread bytes to the front and reads more after them; false when nothing was added.
bool TextLineScanner::Fill()
{
    if (eof_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        bufferStart_ += static_cast<int64_t>(begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2); // a line longer than the buffer
    const size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += n;
    if (n == 0)
        eof_ = true;
    return n > 0;
}

// The index of the line feed that ends the line starting at `from`, or npos.
size_t TextLineScanner::FindLineEnd(size_t from) const
{
    if (encoding_ == TextEncoding::EightBit) {
        const void* hit = std::memchr(buffer_.data() + from, '\n', end_ - from);
        return hit == nullptr ? std::string::npos : static_cast<const char*>(hit) - buffer_.data();
    }
    for (size_t i = from; i + 1 < end_; i += 2) {
        if (buffer_[i] == '\n' && buffer_[i + 1] == '\0')
            return i;
    }
    return std::string::npos;
}

bool TextLineScanner::Next(LineSpan& span, std::string_view& bytes)
{
    if (file_ == nullptr)
        return false;
    size_t scanned = begin_;
    size_t feed = FindLineEnd(scanned);
    while (feed == std::string::npos) {
        scanned = end_ - begin_; // relative: Fill moves the unread bytes to the front
        if (encoding_ == TextEncoding::Utf16Le)
            scanned &= ~size_t { 1 };
        if (!Fill())
            break;
        feed = FindLineEnd(begin_ + scanned);
    }
    if (feed == std::string::npos && begin_ == end_)
        return false;
    const size_t stop = feed == std::string::npos ? end_ : feed;
    const size_t unit = encoding_ == TextEncoding::Utf16Le ? 2 : 1;
    size_t length = stop - begin_;
    if (length >= unit && buffer_[begin_ + length - unit] == '\r'
        && (unit == 1 || buffer_[begin_ + length - 1] == '\0'))
        length -= unit;
    span.offset = bufferStart_ + static_cast<int64_t>(begin_);
    span.length = static_cast<uint32_t>(length);
    bytes = std::string_view(buffer_.data() + begin_, length);
    begin_ = feed == std::string::npos ? end_ : feed + unit;
    return true;
}

std::u16string DecodeLine(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::EightBit)
        return Utf8ToUnits(EightBitToUtf8(bytes));
    std::u16string units(bytes.size() / 2, u'\0'); // a lone last byte is not a code unit
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

bool IsRecordLine(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::EightBit) // a tab is never part of a multi-byte character
        return bytes.size() > 1 && bytes.find('\t', 1) != std::string_view::npos;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\t' && bytes[i + 1] == '\0')
            return true;
    }
    return false;
}
