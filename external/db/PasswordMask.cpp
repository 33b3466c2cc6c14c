#include "external/db/PasswordMask.h"

#include <regex>

std::string MaskPasswords(const std::string& text)
{
    // key=value pairs of libpq and ODBC strings; ODBC values may be braced.
    static const std::regex keyValue(
        R"(((?:^|[\s;])(?:password|pwd)\s*=\s*)(\{[^}]*\}|'(?:[^'\\]|\\.)*'|[^\s;]*))", std::regex::icase);
    // the password of a URI's user information
    static const std::regex uri(R"(([a-zA-Z][a-zA-Z0-9+.-]*://[^:/@\s]*:)[^@/\s]*@)");
    // a password given as a URI query parameter
    static const std::regex query(R"(([?&]password=)[^&\s]*)", std::regex::icase);
    std::string out = std::regex_replace(text, keyValue, "$1***");
    out = std::regex_replace(out, uri, "$1***@");
    return std::regex_replace(out, query, "$1***");
}
