// Counter paths come from project files and the editor. Whatever the text, the parser either
// refuses it or yields parts that describe it exactly: printed back and parsed again they are the
// same, and the host is safe to put into a URL.
#include "FuzzCheck.h"
#include "external/counters/CounterPath.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

bool UrlSafeHostChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_' || c == ':' || c == '['
        || c == ']';
}

std::string Print(const CounterPath& path)
{
    std::string text;
    if (!path.IsLocal())
        text += "\\\\" + path.host + ":" + std::to_string(path.port);
    text += "\\" + path.object;
    if (path.hasInstance)
        text += "(" + path.instance + ")";
    return text + "\\" + path.counter;
}

bool Same(const CounterPath& a, const CounterPath& b)
{
    return a.host == b.host && a.port == b.port && a.object == b.object && a.hasInstance == b.hasInstance
        && a.instance == b.instance && a.counter == b.counter;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CounterPath path;
    if (!ParseCounterPath(text, &path))
        return 0;
    FUZZ_CHECK(!path.object.empty() && !path.counter.empty());
    FUZZ_CHECK(path.port != 0);
    for (const char c : path.host)
        FUZZ_CHECK(UrlSafeHostChar(c));
    CounterPath again;
    FUZZ_CHECK(ParseCounterPath(Print(path), &again));
    FUZZ_CHECK(Same(path, again));
    return 0;
}
