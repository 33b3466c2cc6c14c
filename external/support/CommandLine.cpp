#include "external/support/CommandLine.h"

#include "external/support/StrFormat.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool EscapableInDoubleQuotes(char c)
{
    return c == '"' || c == '\\' || c == '$' || c == '`';
}

// One pass over the line; every Read* function starts just after the character that chose it.
class Splitter {
public:
    explicit Splitter(const std::string& line)
        : line_(line)
    {
    }

    int Run()
    {
        // Every word becomes a C string of the child's argv, where a NUL would silently end it.
        const size_t nul = line_.find('\0');
        if (nul != std::string::npos) {
            error_ = StrFormat("the command line holds a NUL character at character %zu", nul + 1);
            return -1;
        }
        while (pos_ < line_.size()) {
            if (!ReadNext())
                return -1;
        }
        EndWord();
        if (words_.empty()) {
            error_ = "empty command line";
            return -1;
        }
        if (words_.front().empty()) {
            error_ = "the program name is empty";
            return -1;
        }
        return 0;
    }

    std::vector<std::string>& Words() { return words_; }
    const std::string& Error() const { return error_; }

private:
    bool ReadNext()
    {
        const char c = line_[pos_++];
        if (IsBlank(c)) {
            EndWord();
            return true;
        }
        if (c == '\\')
            return ReadEscaped();
        inWord_ = true;
        if (c == '\'')
            return ReadSingleQuoted();
        if (c == '"')
            return ReadDoubleQuoted();
        word_ += c;
        return true;
    }

    bool ReadEscaped()
    {
        if (pos_ == line_.size()) {
            error_ = "backslash at the end of the command line";
            return false;
        }
        const char c = line_[pos_++];
        if (c != '\n') {
            word_ += c;
            inWord_ = true;
        }
        return true;
    }

    bool ReadSingleQuoted()
    {
        const size_t close = line_.find('\'', pos_);
        if (close == std::string::npos)
            return Unclosed("single", pos_ - 1);
        word_.append(line_, pos_, close - pos_);
        pos_ = close + 1;
        return true;
    }

    bool ReadDoubleQuoted()
    {
        const size_t open = pos_ - 1;
        while (pos_ < line_.size()) {
            const char c = line_[pos_++];
            if (c == '"')
                return true;
            if (c == '\\' && pos_ < line_.size() && line_[pos_] == '\n') {
                ++pos_;
                continue;
            }
            if (c == '\\' && pos_ < line_.size() && EscapableInDoubleQuotes(line_[pos_])) {
                word_ += line_[pos_++];
                continue;
            }
            word_ += c;
        }
        return Unclosed("double", open);
    }

    // Counted from 1, as a user counts along the line in the event editor.
    bool Unclosed(const char* kind, size_t quoteIndex)
    {
        error_ = StrFormat("the %s quote at character %zu is never closed", kind, quoteIndex + 1);
        return false;
    }

    void EndWord()
    {
        if (inWord_)
            words_.push_back(std::move(word_));
        word_.clear();
        inWord_ = false;
    }

    const std::string& line_;
    size_t pos_ = 0;
    std::string word_;
    bool inWord_ = false; // a word has begun, possibly as an empty quoted part
    std::vector<std::string> words_;
    std::string error_;
};

} // namespace

int SplitCommandLine(const std::string& line, std::vector<std::string>* args, std::string* error)
{
    Splitter splitter(line);
    if (splitter.Run() != 0) {
        if (error != nullptr)
            *error = splitter.Error();
        return -1;
    }
    if (args != nullptr)
        *args = std::move(splitter.Words());
    return 0;
}
