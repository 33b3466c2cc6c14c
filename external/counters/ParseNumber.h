#pragma once

#include <charconv>
#include <optional>
#include <string_view>

// The number that `text` is as a whole: no blanks, no sign for unsigned types, no trailing
// characters, nothing out of range. from_chars takes no leading '+', and only decimal forms here.
template <typename T> std::optional<T> ParseNumber(std::string_view text)
{
    T value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
