#include "external/support/CSysReg.h"

#include "external/support/CLog.h"
#include "external/support/FileOps.h"
#include "external/support/Utf16.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

namespace {

// toml++ needs valid UTF-8; any other byte sequence is kept readable rather than lost.
std::string ValidText(const std::string& text)
{
    return IsValidUtf8(text) ? text : EightBitToUtf8(text);
}

} // namespace

CSysReg::CSysReg(std::string path, int) : path_(std::move(path)), root_(std::make_unique<toml::table>())
{
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        if (errno != ENOENT && PathExists(path_)) {
            lastError_ = "cannot read " + path_ + ": " + std::strerror(errno);
            CLog::Bug(lastError_, "CSysReg");
        }
        return;
    }
    std::ostringstream content;
    content << in.rdbuf();
    try {
        *root_ = toml::parse(content.str(), path_);
    } catch (const toml::parse_error& error) {
        std::ostringstream why;
        why << path_ << " does not parse, loaded as empty: " << error.description() << " (line "
            << error.source().begin.line << ")";
        lastError_ = why.str();
        CLog::Bug(lastError_, "CSysReg");
        root_ = std::make_unique<toml::table>();
    }
}

CSysReg::~CSysReg()
{
    Close();
}

void CSysReg::Section(const std::string& name, int)
{
    section_ = name;
}

int CSysReg::Read(const std::string& key, int* out, int def) const
{
    return Read(section_, key, out, def);
}

int CSysReg::Read(const std::string& key, std::string* out, const std::string& def) const
{
    return Read(section_, key, out, def);
}

int CSysReg::Read(const std::string& section, const std::string& key, int* out, int def) const
{
    *out = def;
    const auto* table = root_->get_as<toml::table>(section);
    const auto* node = table != nullptr ? table->get_as<int64_t>(key) : nullptr;
    if (node == nullptr || node->get() < INT_MIN || node->get() > INT_MAX)
        return -1;
    *out = static_cast<int>(node->get());
    return 0;
}

int CSysReg::Read(const std::string& section, const std::string& key, std::string* out, const std::string& def) const
{
    *out = def;
    const auto* table = root_->get_as<toml::table>(section);
    const auto* node = table != nullptr ? table->get_as<std::string>(key) : nullptr;
    if (node == nullptr)
        return -1;
    *out = node->get();
    return 0;
}

bool CSysReg::HasSection(const std::string& name) const
{
    return root_->get_as<toml::table>(name) != nullptr;
}

std::vector<std::string> CSysReg::Sections() const
{
    std::vector<std::string> names;
    for (const auto& [key, node] : *root_) {
        if (node.is_table())
            names.emplace_back(key.str());
    }
    return names;
}

int CSysReg::Save(const std::string& key, int value)
{
    return Save(section_, key, value);
}

int CSysReg::Save(const std::string& key, const std::string& value)
{
    return Save(section_, key, value);
}

toml::table& CSysReg::SectionTable(const std::string& section)
{
    auto* table = root_->get_as<toml::table>(section);
    if (table == nullptr) { // missing, or a plain value of that name was in the way
        root_->insert_or_assign(section, toml::table{});
        table = root_->get_as<toml::table>(section);
    }
    return *table;
}

int CSysReg::Save(const std::string& section, const std::string& key, int value)
{
    SectionTable(section).insert_or_assign(key, static_cast<int64_t>(value));
    dirty_ = true;
    return 0;
}

int CSysReg::Save(const std::string& section, const std::string& key, const std::string& value)
{
    SectionTable(section).insert_or_assign(key, ValidText(value));
    dirty_ = true;
    return 0;
}

void CSysReg::MarkPrivate()
{
    private_ = true;
    dirty_ = true;
}

int CSysReg::Close()
{
    if (!dirty_)
        return 0;
    std::ostringstream out;
    out << toml::toml_formatter(*root_, toml::format_flags::allow_unicode_strings) << "\n";
    std::string error;
    if (WriteFileAtomically(path_, out.str(), private_ ? 0600 : -1, &error) != 0) {
        lastError_ = error;
        CLog::Bug(error, "CSysReg");
        return -1;
    }
    dirty_ = false;
    return 0;
}
