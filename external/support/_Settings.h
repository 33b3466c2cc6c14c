#pragma once

#include <map>
#include <memory>
#include <shared_mutex>
#include <string>

class CSysReg;

// Value types of a preference key.
enum S_TYPE { S_TEXT = 0, S_INT = 1 };

// The preference registry: named text and integer values with defaults, kept in the section
// "Settings" of a store file. Readers on worker threads may call getInt and getStr while the
// window thread changes or saves values.
class _Settings {
public:
    // `path` is the store file; empty means $XDG_CONFIG_HOME/quorvel/settings.toml.
    explicit _Settings(const std::string& path = {});
    virtual ~_Settings();
    _Settings(const _Settings&) = delete;
    _Settings& operator=(const _Settings&) = delete;

    // Registers a key with its type and its default (given as text). A stored value of the
    // right type becomes the current value.
    void Add(const std::string& name, S_TYPE type, int flags, const std::string& def);

    int getInt(const std::string& name) const;
    std::string getStr(const std::string& name) const;
    void setInt(const std::string& name, int value);
    void setStr(const std::string& name, const std::string& value);
    // Whether the key holds the default it was registered with (never changed, or changed back).
    bool IsDefault(const std::string& name) const;

    // Keeps every value for the next start. 0 on success, -1 when the store could not be written.
    int SaveData();

    const std::string& Path() const { return path_; }

private:
    struct Entry {
        S_TYPE type = S_TEXT;
        std::string text;
        int number = 0;
        std::string def; // as registered
    };

    std::string path_;
    std::unique_ptr<CSysReg> stored_;
    mutable std::shared_mutex mutex_;
    std::map<std::string, Entry> values_;
};
