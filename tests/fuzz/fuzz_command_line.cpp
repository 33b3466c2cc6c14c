// The command line of a program action comes from the project file. Whatever it holds, the
// splitter either refuses it with a reason or gives words that the program can really be started
// with, and that quoted again split back the same.
#include "FuzzCheck.h"
#include "external/support/CommandLine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

std::string SingleQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A line without quotes or backslashes splits at blanks and nowhere else.
Words SplitAtBlanks(const std::string& line)
{
    constexpr const char* kBlanks = " \t\n";
    Words words;
    size_t end = 0;
    for (size_t start; (start = line.find_first_not_of(kBlanks, end)) != std::string::npos;) {
        end = std::min(line.find_first_of(kBlanks, start), line.size());
        words.push_back(line.substr(start, end - start));
    }
    return words;
}

void CheckAccepted(const std::string& line, const Words& words)
{
    // Every word becomes a C string of the child's argv: an empty program name, or a NUL that
    // would silently cut a word short, must have been refused.
    FUZZ_CHECK(!words.empty());
    FUZZ_CHECK(!words[0].empty());
    for (const std::string& word : words)
        FUZZ_CHECK(word.find('\0') == std::string::npos);
    std::string quoted;
    for (const std::string& word : words)
        quoted += SingleQuoted(word) + " ";
    Words again;
    FUZZ_CHECK(SplitCommandLine(quoted, &again, nullptr) == 0);
    FUZZ_CHECK(again == words);
    if (line.find_first_of("'\"\\") == std::string::npos)
        FUZZ_CHECK(words == SplitAtBlanks(line));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    Words words { "kept" };
    std::string error;
    if (SplitCommandLine(line, &words, &error) == 0) {
        CheckAccepted(line, words);
    } else {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(words == Words { "kept" });
    }
    return 0;
}
