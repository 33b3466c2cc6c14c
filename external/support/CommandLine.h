#pragma once

#include <string>
#include <vector>

// Splits the command line of an "Exec program" action into the program and its arguments, the way
// a POSIX shell splits one simple command, but without running a shell and without expanding
// anything: no variables, no globs, no redirections, no comments.
//
// - Blanks, tabs and line feeds separate words.
// - '...' keeps everything inside as it is.
// - "..." keeps everything inside as it is, except that a backslash escapes ", \, $ and ` and a
//   backslash before a line feed removes both; any other backslash stays.
// - Outside quotes a backslash takes the next character as it is; a backslash before a line feed
//   removes both (the line goes on).
// - Quoted and unquoted parts that touch form one word; "" or '' alone is an empty argument, but
//   not an empty program name.
//
// 0 with `args` holding the words; -1 with `error` saying what is wrong (an unclosed quote, a
// backslash at the very end, an empty line or program name, a NUL character, which no argument
// passed to a program can hold) and `args` left as it was. Linear in the line's length.
int SplitCommandLine(const std::string& line, std::vector<std::string>* args, std::string* error);
