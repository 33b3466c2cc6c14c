#pragma once

#include <string>

// Writes one line to standard output in one piece, so that lines of different threads never
// interleave.
void ConsoleWrite(const std::string& line);
