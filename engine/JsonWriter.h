#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Writes JSON text straight into a string, laid out as nlohmann's dump(2) lays it out (two spaces
// an indent level, `"key": value`, empty containers as {} and []), so that a reader sees the same
// bytes as from a document built first and dumped. The status snapshot is made every second of a
// run; building it as a tree first cost more than the checks it shows.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out)
        : out_(out)
    {
    }
    // Writes one value as it stands `depth` containers deep in a document, for Raw to put there.
    JsonWriter(std::string& out, size_t depth)
        : out_(out)
        , empty_(depth, false)
        , afterKey_(true)
    {
    }

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // A member's name: plain ASCII that needs no escapes (the names are the program's own).
    void Key(std::string_view name);

    void Null();
    void Bool(bool value);
    void Int(int64_t value);
    void Double(double value);
    // Bytes that are not UTF-8 are replaced, never an exception.
    void String(std::string_view text);
    // A value written before by a writer made for this depth.
    void Raw(std::string_view json)
    {
        BeforeValue();
        out_ += json;
    }

    // A member and its value in one call.
    void IntMember(std::string_view name, int64_t value)
    {
        Key(name);
        Int(value);
    }
    void StringMember(std::string_view name, std::string_view text)
    {
        Key(name);
        String(text);
    }
    void BoolMember(std::string_view name, bool value)
    {
        Key(name);
        Bool(value);
    }

private:
    void Open(char bracket);
    void Close(char bracket);
    // What comes before a value: its separator and indent inside an array; nothing after a key.
    void BeforeValue();
    void Indent() { out_.append(2 * empty_.size(), ' '); }

    std::string& out_;
    std::vector<bool> empty_; // one per open container: nothing written into it yet
    bool afterKey_ = false;
};
