// Project files are TOML read through the store; they may be hand-edited, cut short or not TOML
// at all. Whatever the file holds, loading never fails, what the store writes it reads back whole,
// and a project loaded, saved and loaded again saves the same.
#include "FuzzCheck.h"
#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/TomlDepth.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "tests/support/Files.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <toml++/toml.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Key = std::pair<std::string, std::string>; // section, key

// Every value of every section, as the file's own parser sees them; empty when it does not parse
// (or is nested deeper than the parser can be trusted with, which the store refuses as well).
std::vector<Key> KeysOf(const std::string& content)
{
    std::vector<Key> keys;
    TomlDepthProblem deep;
    if (CheckTomlDepth(content, &deep) != 0)
        return keys;
    try {
        const toml::table root = toml::parse(content);
        for (const auto& [section, node] : root) {
            if (const toml::table* table = node.as_table()) {
                for (const auto& [key, value] : *table)
                    keys.emplace_back(std::string(section.str()), std::string(key.str()));
            }
        }
    } catch (const toml::parse_error&) {
    }
    return keys;
}

// What the store answers for a key: the result and value of reading it as text, then as integer.
using Reading = std::tuple<int, std::string, int, int>;

Reading ReadKey(const CSysReg& store, const Key& key)
{
    std::string text;
    int number = 0;
    const int textResult = store.Read(key.first, key.second, &text, "<default>");
    const int intResult = store.Read(key.first, key.second, &number, -7);
    return { textResult, text, intResult, number };
}

// The input's first and second line, cut short: the section and key that the input saves under.
std::pair<std::string, std::string> NamesFrom(const std::string& text)
{
    const size_t first = std::min(text.find('\n'), text.size());
    const size_t second = std::min(text.find('\n', first + 1), text.size());
    return { text.substr(0, std::min<size_t>(first, 40)),
        first < text.size() ? text.substr(first + 1, std::min<size_t>(second - first - 1, 40)) : "" };
}

// The store keeps everything it held and everything saved into it, through its own file.
void CheckStoreRoundTrip(const std::string& content)
{
    const std::string path = Scratch("store.toml");
    FUZZ_CHECK(WriteFile(path, content));
    const auto [section, key] = NamesFrom(content);
    const int number = static_cast<int>(std::hash<std::string> {}(content));

    const std::vector<Key> keys = KeysOf(content);
    std::vector<Reading> before;
    {
        CSysReg store(path);
        if (!store.LastError().empty())
            FUZZ_CHECK(store.Sections().empty());
        for (const Key& k : keys)
            before.push_back(ReadKey(store, k));
        store.Save(section, key, content);
        store.Save(section, key + "#", number);
        FUZZ_CHECK(store.Close() == 0);
    }
    CSysReg store(path);
    FUZZ_CHECK(store.LastError().empty()); // it reads what it wrote
    FUZZ_CHECK(store.HasSection(section));
    std::string text;
    FUZZ_CHECK(store.Read(section, key, &text, "") == 0);
    FUZZ_CHECK(IsValidUtf8(text));
    FUZZ_CHECK(text == EightBitToUtf8(content)); // exact for UTF-8, kept readable otherwise
    int back = 0;
    FUZZ_CHECK(store.Read(section, key + "#", &back, 0) == 0 && back == number);
    // The names as the store keeps them (Latin-1 repaired), to tell the overwritten values.
    const std::string savedSection = EightBitToUtf8(section);
    const std::string savedText = EightBitToUtf8(key);
    const std::string savedNumber = EightBitToUtf8(key + "#");
    for (size_t i = 0; i < keys.size(); ++i) {
        const auto& [s, k] = keys[i];
        if (s != savedSection || (k != savedText && k != savedNumber))
            FUZZ_CHECK(ReadKey(store, keys[i]) == before[i]);
    }
}

// A project loaded from the file and saved is a fixed point: loading and saving it again gives
// the same file.
void CheckProjectRoundTrip(const std::string& content)
{
    const std::string path = Scratch("input.qvl");
    FUZZ_CHECK(WriteFile(path, content));
    QuorvelRunner first;
    first.Load(path);
    FUZZ_CHECK(first.Save(Scratch("first.qvl")) == 0);
    QuorvelRunner second;
    second.Load(Scratch("first.qvl"));
    FUZZ_CHECK(second.Count() == first.Count());
    FUZZ_CHECK(second.Save(Scratch("second.qvl")) == 0);
    FUZZ_CHECK(ReadFile(Scratch("first.qvl")) == ReadFile(Scratch("second.qvl")));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CLog::SetPath(Scratch("quorvel.log"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::filesystem::remove_all(Scratch()); // emptied before every input
    CheckStoreRoundTrip(content);
    CheckProjectRoundTrip(content);
    return 0;
}
