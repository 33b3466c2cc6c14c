#include "external/db/PasswordMask.h"

#include <string_view>

// Three passes over the text, each a single scan from left to right: a driver message or a
// connection text can be as long as anything a server sends back, so no pass may recurse or look
// back further than it has already read. Each pass takes its matches leftmost first, the next one
// searched after the end of the last, and keeps every character outside a password as it was.

namespace {

constexpr std::string_view kMask = "***";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `word` (lower case) at `at`, in any case.
bool WordAt(std::string_view text, size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i])
            return false;
    }
    return true;
}

size_t SkipBlanks(std::string_view text, size_t at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

// key=value pairs of libpq and ODBC strings: "password" or "pwd" at the start or after a blank or
// ';', then '=' (blanks around it), then a value braced {…}, quoted '…' (backslash escapes) or bare
// up to a blank or ';'.
class KeyValueMask {
public:
    explicit KeyValueMask(std::string_view text) : text_(text) {}

    std::string Run()
    {
        size_t from = 0; // what is not copied yet; no match starts before it
        for (size_t at = 0; at < text_.size(); ++at) {
            if (at != 0 && (at - 1 < from || !IsSeparator(text_[at - 1])))
                continue;
            const size_t value = ValueStart(at);
            if (value == std::string_view::npos)
                continue;
            const size_t end = ValueEnd(value);
            out_.append(text_.substr(from, value - from)).append(kMask);
            from = end;
            at = end - 1;
        }
        out_.append(text_.substr(from));
        return std::move(out_);
    }

private:
    static bool IsSeparator(char c) { return IsBlank(c) || c == ';'; }

    // Where the value of a key at `at` starts, npos when no password key starts there.
    size_t ValueStart(size_t at) const
    {
        size_t after;
        if (WordAt(text_, at, "password"))
            after = at + 8;
        else if (WordAt(text_, at, "pwd"))
            after = at + 3;
        else
            return std::string_view::npos;
        after = SkipBlanks(text_, after);
        if (after == text_.size() || text_[after] != '=')
            return std::string_view::npos;
        return SkipBlanks(text_, after + 1);
    }

    size_t ValueEnd(size_t value)
    {
        if (value < text_.size() && text_[value] == '{') {
            const size_t close = BraceAfter(value);
            if (close != std::string_view::npos)
                return close + 1;
        }
        if (value < text_.size() && text_[value] == '\'') {
            const size_t close = QuoteAfter(value);
            if (close != std::string_view::npos)
                return close + 1;
        }
        size_t end = value;
        while (end < text_.size() && !IsSeparator(text_[end]))
            ++end;
        return end;
    }

    // The first '}' after `open`. Once there is none, there is none after any later brace either:
    // remembered, so that many unclosed braces cost one scan.
    size_t BraceAfter(size_t open)
    {
        if (noBraceFrom_ != std::string_view::npos && open >= noBraceFrom_)
            return std::string_view::npos;
        const size_t close = text_.find('}', open + 1);
        if (close == std::string_view::npos)
            noBraceFrom_ = open;
        return close;
    }

    // The quote that closes a quoted value, npos when the value is not closed (or a backslash
    // escapes a line end, which the value may not hold). A scan that fails stops at that place,
    // and no later quoted value can start before it (the scan would have ended at its quote), so
    // every character is scanned once.
    size_t QuoteAfter(size_t open) const
    {
        size_t at = open + 1;
        while (at < text_.size()) {
            const char c = text_[at];
            if (c == '\'')
                return at;
            if (c == '\\') {
                if (at + 1 == text_.size() || text_[at + 1] == '\n' || text_[at + 1] == '\r')
                    return std::string_view::npos;
                at += 2;
                continue;
            }
            ++at;
        }
        return std::string_view::npos;
    }

    std::string_view text_;
    std::string out_;
    size_t noBraceFrom_ = std::string_view::npos;
};

bool IsSchemeChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '.'
        || c == '-';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A scheme before `colon` (the ':' of "://"), not reaching back before `from`: scheme characters
// of which at least one is a letter (the scheme begins at its first letter).
bool SchemeBefore(std::string_view text, size_t colon, size_t from)
{
    bool letter = false;
    for (size_t at = colon; at > from && IsSchemeChar(text[at - 1]); --at)
        letter = letter || IsLetter(text[at - 1]);
    return letter;
}

// The password of a URI's user information: "scheme://user:secret@" becomes "scheme://user:***@".
std::string MaskUriPasswords(std::string_view text)
{
    std::string out;
    size_t from = 0;
    size_t colon = text.find("://");
    while (colon != std::string_view::npos) {
        size_t at = colon + 3;
        while (at < text.size() && text[at] != ':' && text[at] != '/' && text[at] != '@' && !IsBlank(text[at]))
            ++at;
        size_t next = colon + 1;
        if (at < text.size() && text[at] == ':' && SchemeBefore(text, colon, from)) {
            const size_t secret = at + 1;
            size_t end = secret;
            while (end < text.size() && text[end] != '@' && text[end] != '/' && !IsBlank(text[end]))
                ++end;
            if (end < text.size() && text[end] == '@') {
                out.append(text.substr(from, secret - from)).append(kMask).append("@");
                from = end + 1;
                next = from;
            }
        }
        colon = text.find("://", next);
    }
    out.append(text.substr(from));
    return out;
}

// A password given as a URI query parameter: "?password=" or "&password=" up to the next '&'.
std::string MaskQueryPasswords(std::string_view text)
{
    std::string out;
    size_t from = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if ((text[at] != '?' && text[at] != '&') || !WordAt(text, at + 1, "password="))
            continue;
        const size_t value = at + 10;
        size_t end = value;
        while (end < text.size() && text[end] != '&' && !IsBlank(text[end]))
            ++end;
        out.append(text.substr(from, value - from)).append(kMask);
        from = end;
        at = end - 1;
    }
    out.append(text.substr(from));
    return out;
}

} // namespace

std::string MaskPasswords(const std::string& text)
{
    const std::string keyValue = KeyValueMask(text).Run();
    return MaskQueryPasswords(MaskUriPasswords(keyValue));
}
