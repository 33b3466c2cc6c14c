#pragma once

#include <string>
#include <string_view>

// `text` made safe to stand in an HTML document as character data or inside a quoted attribute
// value: markup characters become entities, and what an HTML parser would reject (malformed
// UTF-8, control characters other than tab, line feed, form feed and carriage return) becomes
// U+FFFD. Project texts go through here, so that no note or statement can add markup or script.
std::string HtmlEscape(std::string_view text);
