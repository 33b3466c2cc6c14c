#include "external/counters/CounterPath.h"

#include "external/counters/ParseNumber.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

bool IsHostNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
}

bool IsIpv6Char(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
}

bool ParsePort(std::string_view text, uint16_t* port)
{
    const std::optional<uint16_t> value = ParseNumber<uint16_t>(text);
    if (!value || *value == 0)
        return false;
    *port = *value;
    return true;
}

// "name", "name:port", "[v6]" or "[v6]:port". The host goes into a URL, so only characters that
// need no escaping there are accepted.
bool ParseMachine(std::string_view machine, CounterPath* path)
{
    size_t hostEnd = 0;
    if (machine.starts_with('[')) {
        hostEnd = machine.find(']');
        if (hostEnd == std::string_view::npos || hostEnd < 2
            || !std::all_of(machine.begin() + 1, machine.begin() + hostEnd, IsIpv6Char))
            return false;
        ++hostEnd;
    } else {
        hostEnd = std::min(machine.find(':'), machine.size());
        if (hostEnd == 0 || !std::all_of(machine.begin(), machine.begin() + hostEnd, IsHostNameChar))
            return false;
    }
    path->host = std::string(machine.substr(0, hostEnd));
    std::string_view rest = machine.substr(hostEnd);
    if (rest.empty())
        return true;
    return rest.starts_with(':') && ParsePort(rest.substr(1), &path->port);
}

// "\Object\Counter" or "\Object(instance)\Counter".
bool ParseObjectAndCounter(std::string_view rest, CounterPath* path)
{
    if (!rest.starts_with('\\'))
        return false;
    rest.remove_prefix(1);
    const size_t open = rest.find('(');
    size_t counterStart = 0;
    if (open != std::string_view::npos && open < rest.find('\\')) {
        const size_t close = rest.find(")\\", open);
        if (close == std::string_view::npos)
            return false;
        path->object = std::string(rest.substr(0, open));
        path->instance = std::string(rest.substr(open + 1, close - open - 1));
        path->hasInstance = true;
        counterStart = close + 2;
    } else {
        const size_t slash = rest.find('\\');
        if (slash == std::string_view::npos)
            return false;
        path->object = std::string(rest.substr(0, slash));
        counterStart = slash + 1;
    }
    path->counter = std::string(rest.substr(counterStart));
    return !path->object.empty() && !path->counter.empty() && path->counter.find('\\') == std::string::npos;
}

} // namespace

bool ParseCounterPath(const std::string& fullPath, CounterPath* path)
{
    std::string_view rest = fullPath;
    CounterPath parsed;
    if (rest.starts_with("\\\\")) {
        rest.remove_prefix(2);
        const size_t end = rest.find('\\');
        if (end == std::string_view::npos || !ParseMachine(rest.substr(0, end), &parsed))
            return false;
        rest.remove_prefix(end);
    }
    if (!ParseObjectAndCounter(rest, &parsed))
        return false;
    *path = std::move(parsed);
    return true;
}
