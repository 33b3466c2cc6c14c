#pragma once

#include <string>
#include <string_view>

// The TOML parser descends once per level of nested arrays and inline tables and once per part of
// a dotted key or table header, on the stack: a file of a few hundred kilobytes could take the
// whole stack with it. A project never needs more than a few levels, so a text that goes deeper
// than this is refused before it is parsed.
constexpr int kTomlDepthLimit = 128;

struct TomlDepthProblem {
    int line = 0; // 1-based
    int column = 0;
    std::string reason;
};

// Scans `text` once, without recursion: 0 when no value lies more than kTomlDepthLimit levels
// deep, -1 otherwise, with the first place that goes deeper in `problem`. A level is a part of a
// table header (two: the part may name an array of tables, an array and a table), a part of a
// dotted key, an array or an inline table. The count never falls short of the depth of the
// document the parser builds, nor of the same document written out again, so a file that the
// store accepts and rewrites stays accepted. Text that is not TOML passes when it is not too deep:
// the parser then says what is wrong with it.
int CheckTomlDepth(std::string_view text, TomlDepthProblem* problem);
