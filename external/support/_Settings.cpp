#include "external/support/_Settings.h"

#include "external/support/CSysReg.h"
#include "external/support/XdgPaths.h"

#include <cstdlib>
#include <mutex>

namespace {

constexpr const char* kSection = "Settings";

} // namespace

_Settings::_Settings(const std::string& path)
    : path_(path.empty() ? ConfigDir() + "/settings.toml" : path), stored_(std::make_unique<CSysReg>(path_))
{
}

_Settings::~_Settings() = default;

void _Settings::Add(const std::string& name, S_TYPE type, int, const std::string& def)
{
    Entry entry;
    entry.type = type;
    entry.def = def;
    if (type == S_INT)
        stored_->Read(kSection, name, &entry.number, std::atoi(def.c_str()));
    else
        stored_->Read(kSection, name, &entry.text, def);
    std::unique_lock lock(mutex_);
    values_[name] = std::move(entry);
}

int _Settings::getInt(const std::string& name) const
{
    std::shared_lock lock(mutex_);
    const auto it = values_.find(name);
    if (it != values_.end())
        return it->second.type == S_INT ? it->second.number : std::atoi(it->second.text.c_str());
    int value = 0;
    stored_->Read(kSection, name, &value, 0); // a key that is stored but not registered
    return value;
}

std::string _Settings::getStr(const std::string& name) const
{
    std::shared_lock lock(mutex_);
    const auto it = values_.find(name);
    if (it != values_.end())
        return it->second.type == S_INT ? std::to_string(it->second.number) : it->second.text;
    std::string value;
    stored_->Read(kSection, name, &value, "");
    return value;
}

void _Settings::setInt(const std::string& name, int value)
{
    std::unique_lock lock(mutex_);
    Entry& entry = values_[name];
    entry.type = S_INT;
    entry.number = value;
}

void _Settings::setStr(const std::string& name, const std::string& value)
{
    std::unique_lock lock(mutex_);
    Entry& entry = values_[name];
    entry.type = S_TEXT;
    entry.text = value;
}

bool _Settings::IsDefault(const std::string& name) const
{
    std::shared_lock lock(mutex_);
    const auto it = values_.find(name);
    if (it == values_.end())
        return true;
    const Entry& entry = it->second;
    return entry.type == S_INT ? std::to_string(entry.number) == entry.def : entry.text == entry.def;
}

int _Settings::SaveData()
{
    std::unique_lock lock(mutex_);
    for (const auto& [name, entry] : values_) {
        if (entry.type == S_INT)
            stored_->Save(kSection, name, entry.number);
        else
            stored_->Save(kSection, name, entry.text);
    }
    const size_t slash = path_.rfind('/');
    if (slash != std::string::npos)
        MakeDirs(path_.substr(0, slash));
    return stored_->Close();
}
