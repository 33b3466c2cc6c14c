#include "model/ListenAddress.h"

#include "external/support/StrFormat.h"

#include <arpa/inet.h>
#include <charconv>
#include <cstring>
#include <netinet/in.h>

namespace {

int ParsePort(const std::string& text, uint16_t* port)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || value == 0 || value > 65535)
        return -1;
    *port = static_cast<uint16_t>(value);
    return 0;
}

} // namespace

int ListenAddress::Parse(const std::string& text, ListenAddress* address, std::string* error)
{
    ListenAddress parsed;
    std::string host;
    std::string port = text;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find("]:");
        if (close == std::string::npos) {
            *error = StrFormat("\"%s\" is no address: an IPv6 address is written [address]:port", text.c_str());
            return -1;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else if (const size_t colon = text.rfind(':'); colon != std::string::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (ParsePort(port, &parsed.port) != 0) {
        *error = StrFormat("\"%s\" names no port (1 to 65535): write host:port", text.c_str());
        return -1;
    }
    if (host == "localhost")
        host = "127.0.0.1";
    if (!host.empty()) {
        in6_addr v6 {};
        in_addr v4 {};
        parsed.ipv6 = ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
        if (!parsed.ipv6 && ::inet_pton(AF_INET, host.c_str(), &v4) != 1) {
            *error = StrFormat("\"%s\" is no numeric address (such as 127.0.0.1, 0.0.0.0 or [::1])", host.c_str());
            return -1;
        }
        parsed.host = host;
    }
    *address = parsed;
    return 0;
}

bool ListenAddress::Loopback() const
{
    if (ipv6) {
        in6_addr v6 {};
        return ::inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
    }
    in_addr v4 {};
    return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127;
}

std::string ListenAddress::Text() const
{
    return StrFormat(ipv6 ? "[%s]:%u" : "%s:%u", host.c_str(), static_cast<unsigned>(port));
}
