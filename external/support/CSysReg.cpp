#include "external/support/CSysReg.h"

#include "external/support/CLog.h"
#include "external/support/FileOps.h"
#include "external/support/StrFormat.h"
#include "external/support/TomlDepth.h"
#include "external/support/Utf16.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <toml++/toml.h>
#include <unistd.h>

namespace {

// toml++ needs valid UTF-8; any other byte sequence is kept readable rather than lost. Section and
// key names go through it too, on reading as on saving: the file could not hold the raw bytes, so a
// name must mean the same whichever way it reached the store.
std::string ValidText(const std::string& text)
{
    return IsValidUtf8(text) ? text : EightBitToUtf8(text);
}

// toml++ 3.3 writes a key bare when its only characters besides letters, digits, '_' and '-' are
// single quotes, tabs or line feeds, and the file then no longer parses: the whole store would load
// as empty. So keys, and the structure around them, are written here; scalar values, which toml++
// writes faithfully, still by toml++.
bool IsBareKeyChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::string KeyText(std::string_view key)
{
    if (!key.empty() && std::all_of(key.begin(), key.end(), IsBareKeyChar))
        return std::string(key);
    std::string text = "\"";
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            text += '\\';
        if (byte < 0x20 || byte == 0x7F)
            text += StrFormat("\\u%04X", byte);
        else
            text += c;
    }
    return text + "\"";
}

std::string ValueText(const toml::node& node)
{
    std::string text;
    if (const toml::array* array = node.as_array()) {
        for (const toml::node& element : *array)
            text += (text.empty() ? "[" : ", ") + ValueText(element);
        return text.empty() ? "[]" : text + "]";
    }
    if (const toml::table* table = node.as_table()) { // a table inside an array
        for (const auto& [key, value] : *table)
            text += (text.empty() ? "{ " : ", ") + KeyText(key.str()) + " = " + ValueText(value);
        return text.empty() ? "{}" : text + " }";
    }
    std::ostringstream out;
    out << toml::toml_formatter(node, toml::format_flags::allow_unicode_strings);
    return out.str();
}

// The plain values first, then each sub-table under its own header: a value written after a header
// would belong to that header's table.
void WriteTable(std::ostream& out, const toml::table& table, const std::string& path)
{
    for (const auto& [key, node] : table) {
        if (!node.is_table())
            out << KeyText(key.str()) << " = " << ValueText(node) << "\n";
    }
    for (const auto& [key, node] : table) {
        if (const toml::table* child = node.as_table()) {
            const std::string header = (path.empty() ? "" : path + ".") + KeyText(key.str());
            out << (out.tellp() > 0 ? "\n[" : "[") << header << "]\n";
            WriteTable(out, *child, header);
        }
    }
}

} // namespace

CSysReg::CSysReg(std::string path, int) : path_(std::move(path)), root_(std::make_unique<toml::table>())
{
    std::string content;
    loadError_.error = ReadWholeFile(path_.c_str(), &content);
    if (loadError_.error != 0) {
        if (loadError_.error != ENOENT) {
            loadError_.reason = std::strerror(loadError_.error);
            lastError_ = "cannot read " + path_ + ": " + loadError_.reason;
            CLog::Bug(lastError_, "CSysReg");
        }
        return;
    }
    TomlDepthProblem deep;
    if (CheckTomlDepth(content, &deep) != 0) {
        Unparsable(deep.reason, deep.line, deep.column);
        return;
    }
    try {
        *root_ = toml::parse(content, path_);
    } catch (const toml::parse_error& error) {
        Unparsable(std::string(error.description()), static_cast<int>(error.source().begin.line),
            static_cast<int>(error.source().begin.column));
        root_ = std::make_unique<toml::table>();
    }
}

void CSysReg::Unparsable(const std::string& reason, int line, int column)
{
    loadError_ = { LoadFailure::kUnparsable, reason, line, column };
    lastError_ = StrFormat("%s does not parse, loaded as empty: %s (line %d)", path_.c_str(), reason.c_str(), line);
    CLog::Bug(lastError_, "CSysReg");
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
    const auto* table = root_->get_as<toml::table>(ValidText(section));
    const auto* node = table != nullptr ? table->get_as<int64_t>(ValidText(key)) : nullptr;
    if (node == nullptr || node->get() < INT_MIN || node->get() > INT_MAX)
        return -1;
    *out = static_cast<int>(node->get());
    return 0;
}

int CSysReg::Read(const std::string& section, const std::string& key, std::string* out, const std::string& def) const
{
    *out = def;
    const auto* table = root_->get_as<toml::table>(ValidText(section));
    const auto* node = table != nullptr ? table->get_as<std::string>(ValidText(key)) : nullptr;
    if (node == nullptr)
        return -1;
    *out = node->get();
    return 0;
}

bool CSysReg::HasSection(const std::string& name) const
{
    return root_->get_as<toml::table>(ValidText(name)) != nullptr;
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
    const std::string name = ValidText(section);
    auto* table = root_->get_as<toml::table>(name);
    if (table == nullptr) { // missing, or a plain value of that name was in the way
        root_->insert_or_assign(name, toml::table{});
        table = root_->get_as<toml::table>(name);
    }
    return *table;
}

int CSysReg::Save(const std::string& section, const std::string& key, int value)
{
    SectionTable(section).insert_or_assign(ValidText(key), static_cast<int64_t>(value));
    dirty_ = true;
    return 0;
}

int CSysReg::Save(const std::string& section, const std::string& key, const std::string& value)
{
    SectionTable(section).insert_or_assign(ValidText(key), ValidText(value));
    dirty_ = true;
    return 0;
}

void CSysReg::Remove(const std::string& section, const std::string& key)
{
    auto* table = root_->get_as<toml::table>(ValidText(section));
    if (table != nullptr && table->erase(ValidText(key)) > 0)
        dirty_ = true;
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
    WriteTable(out, *root_, "");
    std::string error;
    if (WriteFileAtomically(path_, out.str(), private_ ? 0600 : -1, &error) != 0) {
        lastError_ = error;
        CLog::Bug(error, "CSysReg");
        return -1;
    }
    dirty_ = false;
    return 0;
}
