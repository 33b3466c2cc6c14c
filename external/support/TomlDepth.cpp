#include "external/support/TomlDepth.h"

#include "external/support/StrFormat.h"

#include <algorithm>
#include <vector>

namespace {

// Walks the text as the parser sees its structure: strings and comments are skipped, and the level
// of every key part, header part and bracket is counted against the limit.
class DepthScan {
public:
    explicit DepthScan(std::string_view text) : text_(text) {}

    int Run(TomlDepthProblem* problem)
    {
        while (at_ < text_.size() && !tooDeep_)
            Step();
        if (!tooDeep_)
            return 0;
        *problem = { line_, column_,
            StrFormat("nested more than %d levels deep (table headers, dotted keys, arrays and inline tables)",
                kTomlDepthLimit) };
        return -1;
    }

private:
    // The table or array that the scan is in.
    struct Container {
        char bracket; // '[', '{', or 0 for the table of the last header
        int level; // of the container itself
    };

    void Step()
    {
        const char c = text_[at_];
        column_ = static_cast<int>(at_ - lineStart_) + 1;
        switch (c) {
        case '\n': NewLine(); break;
        case '#': SkipComment(); return;
        case '"':
        case '\'': SkipString(c); return;
        case '[': OpenBracket(); break;
        case '{': Open('{'); break;
        case ']':
        case '}': Close(); break;
        case ',': StartKey(Top().bracket == '{'); break;
        case '=':
            inKey_ = false;
            valueLevel_ = Top().level + parts_;
            Deeper(valueLevel_);
            break;
        case '.':
            if (inHeader_)
                Deeper(2 * ++parts_);
            else if (inKey_)
                Deeper(Top().level + ++parts_);
            break;
        default: break;
        }
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            lineStarted_ = true;
        ++at_;
    }

    const Container& Top() const { return open_.empty() ? table_ : open_.back(); }

    void StartKey(bool key)
    {
        inKey_ = key;
        parts_ = 1;
    }

    void Deeper(int level)
    {
        tooDeep_ = tooDeep_ || level > kTomlDepthLimit;
    }

    void NewLine()
    {
        ++line_;
        lineStart_ = at_ + 1;
        lineStarted_ = false;
        if (inHeader_) { // the header's parts, two levels each, are the level of its table
            table_.level = 2 * parts_;
            inHeader_ = false;
        }
        if (open_.empty())
            StartKey(true);
    }

    void OpenBracket()
    {
        if (open_.empty() && (!lineStarted_ || inHeader_)) { // "[table]" or "[[array]]"
            inHeader_ = true;
            inKey_ = true;
            parts_ = 1;
            Deeper(2);
            return;
        }
        Open('[');
    }

    // An array or inline table as a value: of the level of its key, or one below the array that
    // holds it; what it holds is one level further down.
    void Open(char bracket)
    {
        const int level = Top().bracket == '[' ? Top().level + 1 : valueLevel_;
        open_.push_back({ bracket, level });
        Deeper(level + 1);
        if (bracket == '{')
            StartKey(true);
        else
            inKey_ = false;
    }

    void Close()
    {
        if (!open_.empty())
            open_.pop_back();
        inKey_ = false;
        if (!open_.empty() && open_.back().bracket == '{')
            valueLevel_ = open_.back().level; // nothing deeper follows before the next key
    }

    void SkipComment()
    {
        while (at_ < text_.size() && text_[at_] != '\n')
            ++at_;
    }

    // A basic ("…", with backslash escapes) or literal ('…') string, either on one line or
    // multi-line (tripled quotes, closed by the last three of a run of up to five). Line ends
    // inside a multi-line string count as lines.
    void SkipString(char quote)
    {
        lineStarted_ = true;
        const bool multiLine = QuotesAt(quote) >= 3;
        at_ += multiLine ? 3 : 1;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\\' && quote == '"' && at_ + 1 < text_.size()) {
                if (text_[at_ + 1] == '\n')
                    CountLine(at_ + 1);
                at_ += 2;
            } else if (c == '\n') {
                if (!multiLine) // an unclosed string: the parser says so
                    return;
                CountLine(at_);
                ++at_;
            } else if (c == quote) {
                const size_t run = multiLine ? QuotesAt(quote) : 1;
                at_ += std::min<size_t>(run, 5);
                if (run >= (multiLine ? 3 : 1))
                    return;
            } else {
                ++at_;
            }
        }
    }

    size_t QuotesAt(char quote) const
    {
        size_t end = at_;
        while (end < text_.size() && text_[end] == quote)
            ++end;
        return end - at_;
    }

    void CountLine(size_t lineEnd)
    {
        ++line_;
        lineStart_ = lineEnd + 1;
    }

    std::string_view text_;
    size_t at_ = 0;
    size_t lineStart_ = 0;
    int line_ = 1;
    int column_ = 1;
    Container table_ { 0, 0 }; // the table of the last header (the root before the first)
    std::vector<Container> open_; // the arrays and inline tables around `at_`, each a level deeper
    bool inKey_ = true;
    bool inHeader_ = false;
    bool lineStarted_ = false;
    int parts_ = 1; // of the key or header being read
    int valueLevel_ = 1; // of the value after the last '='
    bool tooDeep_ = false;
};

} // namespace

int CheckTomlDepth(std::string_view text, TomlDepthProblem* problem)
{
    return DepthScan(text).Run(problem);
}
