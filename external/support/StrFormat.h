#pragma once

#include <string>
#include <string_view>

// printf-style formatting into a std::string. The program's texts are given as printf formats
// ("%5.2f%%", "%2d:%02d:%02d.%03d"), so this keeps them exactly as written.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends `value` in decimal as printf's "%*d" (`pad` ' ') or "%0*d" (`pad` '0') with `width`
// would, without parsing a format: for the lines that are made at every iteration.
void AppendDecimal(std::string& out, long long value, int width = 0, char pad = ' ');

// Removes trailing carriage returns and line feeds.
std::string TrimLineEnd(std::string text);

// Replaces every occurrence of `from` in `text` with `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// Appends `text` as part of one line: tabs, line breaks, NUL and the other control characters
// (C0 and DEL) would split a console line or a report's columns, or make the file look binary to
// the tools that read it, so each becomes a blank.
void AppendOneLine(std::string& out, std::string_view text);
