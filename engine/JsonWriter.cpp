#include "engine/JsonWriter.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty())
        return; // the document itself
    out_ += empty_.back() ? "\n" : ",\n";
    empty_.back() = false;
    Indent();
}

void JsonWriter::Open(char bracket)
{
    BeforeValue();
    out_ += bracket;
    empty_.push_back(true);
}

void JsonWriter::Close(char bracket)
{
    const bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) {
        out_ += '\n';
        Indent();
    }
    out_ += bracket;
}

void JsonWriter::Key(std::string_view name)
{
    BeforeValue();
    out_ += '"';
    out_ += name;
    out_ += "\": ";
    afterKey_ = true;
}

void JsonWriter::Null()
{
    BeforeValue();
    out_ += "null";
}

void JsonWriter::Bool(bool value)
{
    BeforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::Int(int64_t value)
{
    BeforeValue();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_.append(digits, end);
}

void JsonWriter::Double(double value)
{
    BeforeValue();
    out_ += nlohmann::json(value).dump(); // the library's shortest form, as a dumped tree has it
}

void JsonWriter::String(std::string_view text)
{
    BeforeValue();
    // Printable ASCII without quotes or backslashes goes out as it is; anything else as the library
    // escapes it.
    const bool plain = std::all_of(text.begin(), text.end(),
        [](char c) { return c >= 0x20 && c <= 0x7e && c != '"' && c != '\\'; });
    if (!plain) {
        out_ += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        return;
    }
    out_ += '"';
    out_ += text;
    out_ += '"';
}
