#pragma once

#include <memory>
#include <string>
#include <vector>

namespace toml {
inline namespace v3 {
class table;
}
} // namespace toml

// A store of named text and integer values in sections, kept in a TOML file: each section a
// table, each value a string or an integer. Every UTF-8 text round-trips exactly; texts and names
// that are not UTF-8 are taken as Latin-1. A value of the wrong type, or an integer outside 32
// bits, reads as the default. Changes are written when the store is closed (or destroyed), by
// replacing the file atomically. A file that cannot be read or does not parse loads as empty, and
// the program log says why (LoadError tells it the caller).
class CSysReg {
public:
    explicit CSysReg(std::string path, int mode = 0);
    ~CSysReg();
    CSysReg(const CSysReg&) = delete;
    CSysReg& operator=(const CSysReg&) = delete;

    void Section(const std::string& name, int = 0);

    int Read(const std::string& key, int* out, int def) const;
    int Read(const std::string& key, std::string* out, const std::string& def) const;
    int Read(const std::string& section, const std::string& key, int* out, int def) const;
    int Read(const std::string& section, const std::string& key, std::string* out, const std::string& def) const;

    // True when the store holds a section of that name.
    bool HasSection(const std::string& name) const;
    // The names of all sections.
    std::vector<std::string> Sections() const;

    int Save(const std::string& key, int value);
    int Save(const std::string& key, const std::string& value);
    int Save(const std::string& section, const std::string& key, int value);
    int Save(const std::string& section, const std::string& key, const std::string& value);

    // Takes a key out of a section (nothing when it is not there), so that an optional value that
    // is empty now does not survive from an older file that is rewritten in place.
    void Remove(const std::string& section, const std::string& key);

    // The file will be readable by its owner only (it holds a password).
    void MarkPrivate();

    // Writes the changes, if any. 0 on success (or nothing to write), -1 when the file could not be
    // replaced; the old file is then left as it was.
    int Close();

    // The text of the last load or write failure, empty when there was none.
    const std::string& LastError() const { return lastError_; }

    // Why the file did not load. `error` is 0 when it loaded, the errno of the failed read
    // (ENOENT for a file that is not there: an empty store), or kUnparsable with the parser's
    // reason and where it stopped (1-based line and column). A text nested too deep for the parser
    // (TomlDepth.h) is refused unparsed, as unparsable.
    struct LoadFailure {
        static constexpr int kUnparsable = -1;
        int error = 0;
        std::string reason;
        int line = 0;
        int column = 0;
    };
    const LoadFailure& LoadError() const { return loadError_; }

    // The document as parsed, with the place of every value in the file (the project check names
    // lines by it).
    const toml::table& Document() const { return *root_; }

private:
    toml::table& SectionTable(const std::string& section);
    void Unparsable(const std::string& reason, int line, int column);

    std::string path_;
    std::string section_;
    std::unique_ptr<toml::table> root_;
    std::string lastError_;
    LoadFailure loadError_;
    bool dirty_ = false;
    bool private_ = false;
};
