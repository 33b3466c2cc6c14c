#pragma once

#include <string>
#include <string_view>

// Writes one line and its line feed to standard output in one write(), so that lines of
// different threads never interleave, also when the output is a pipe or a file.
void ConsoleWrite(std::string_view line);

// The same for a line in a buffer of the caller's, which gets the line feed: no copy is made.
void ConsoleWriteLine(std::string& line);
