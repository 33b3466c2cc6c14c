#include "reports/HeadTemplate.h"

#include "external/support/SharedFiles.h"
#include "reports/HtmlText.h"

#include <fstream>
#include <mutex>
#include <sstream>

namespace {

// Used when "head.htm" is neither beside the program nor in the installed data folder: plain, but a
// whole and readable head.
constexpr const char* kBuiltInHead = R"(<!DOCTYPE html>
<html lang="%LANGUAGE%">
<head>
<meta charset="%CHARSET%">
<meta name="author" content="%AUTHOR%">
<meta name="description" content="%DESCRIPTION%">
<title>%TITLE%</title>
<style>
body { font-family: sans-serif; margin: 1.5em; }
table { border-collapse: collapse; width: 100%; margin-bottom: 1.5em; }
th, td { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; vertical-align: top;
         white-space: pre-wrap; overflow-wrap: anywhere; }
</style>
</head>
<body>
)";

std::mutex g_folderLock;
std::string g_folder; // empty: where the program's shared files are

std::string TemplatePath(const std::string& name)
{
    if (!name.empty() && name.front() == '/')
        return name;
    std::lock_guard guard(g_folderLock);
    return g_folder.empty() ? SharedFilePath(name) : g_folder + "/" + name;
}

} // namespace

void SetHeadTemplateFolder(const std::string& folder)
{
    std::lock_guard guard(g_folderLock);
    g_folder = folder;
}

std::string LoadHeadTemplate(const std::string& name)
{
    std::ifstream in(TemplatePath(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in && !text.str().empty() ? text.str() : kBuiltInHead;
}

std::string FillHeadTemplate(const std::string& text, const std::map<std::string, std::string>& fields)
{
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t open = text.find('%', pos);
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(text, pos, std::string::npos);
            break;
        }
        out.append(text, pos, open - pos);
        const auto field = fields.find(text.substr(open, close - open + 1));
        if (field != fields.end()) {
            out += HtmlEscape(field->second);
            pos = close + 1;
        } else {
            // The closing percent sign may open the next field.
            out += '%';
            pos = open + 1;
        }
    }
    return out;
}
