#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Writes one line and its line feed to standard output, whole: lines of different threads never
// interleave and keep their order, also when the output is a pipe or a file. The caller never
// waits for a reader that does not read: such lines wait in a bounded queue, and past its bound
// they are dropped and counted (see ConsoleQueue). Lines for a reader that has gone are dropped.
void ConsoleWrite(std::string_view line);

// The same for a line in a buffer of the caller's, which gets the line feed: no copy is made.
void ConsoleWriteLine(std::string& line);

// Writes `text` (whole lines) to standard error in one write(), so that the lines of several
// threads never mix. What the operator must know goes there; a reader that is gone loses it.
void ConsoleError(std::string_view text);

// Writes out the lines that wait, for at most `bound`, and lets go of standard output: the next
// line looks at it afresh. 0 when every line went out, -1 when some were left.
int ConsoleFlush(std::chrono::milliseconds bound);
