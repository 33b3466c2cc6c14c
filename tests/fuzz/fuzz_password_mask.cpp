// Connection texts and driver messages are masked before they are shown or logged, whatever a
// server or a project file puts in them. A password written in any of the forms the masking knows,
// between any two texts, never survives it, and no text makes it crash.
#include "FuzzCheck.h"
#include "external/db/PasswordMask.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// The secret: letters and digits of the input (so that it cannot end a value early), at least four.
std::string Secret(const std::string& input)
{
    std::string secret = "S3cr";
    for (const char c : input.substr(0, 16)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            secret += c;
    }
    return secret;
}

// The secret written the way `form` chooses, after "; " (no value or address of the text before
// reaches past it) and before a blank.
std::string Written(unsigned form, const std::string& secret)
{
    const char* keys[] = { "password", "PWD", "Password", "pwd" };
    const std::string key = keys[(form >> 3) % 4];
    switch (form % 6) {
    case 0: return "; " + key + "=" + secret + " ";
    case 1: return "; " + key + " = '" + secret + "';";
    case 2: return "; " + key + "={" + secret + "} ";
    case 3: return "; postgresql://user:" + secret + "@host/db ";
    case 4: return std::string("; pg://h/db?") + ((form & 8) != 0 ? "PASSWORD=" : "password=") + secret + " ";
    default: return ";\t" + key + "=\n" + secret + "\n";
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    (void)MaskPasswords(input);
    if (size < 2)
        return 0;
    const unsigned form = static_cast<unsigned char>(input[0]);
    const size_t cut = 1 + static_cast<unsigned char>(input[1]) * (size - 1) / 256;
    const std::string before = input.substr(2, cut > 2 ? cut - 2 : 0);
    const std::string after = input.substr(std::max<size_t>(cut, 2));
    const std::string secret = Secret(after);
    // A quote or brace left open before the password makes it part of a value that begins earlier
    // and ends wherever that value's closing character is: nothing to check then.
    if (before.find_first_of("'{") != std::string::npos || before.find(secret) != std::string::npos
        || after.find(secret) != std::string::npos)
        return 0;
    const std::string masked = MaskPasswords(before + Written(form, secret) + after);
    FUZZ_CHECK(masked.find(secret) == std::string::npos);
    return 0;
}
