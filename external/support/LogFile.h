#pragma once

#include <string>
#include <sys/types.h>

// The program log's file, written by every process of the program at once. An entry is one
// write() in append mode, so entries of different processes never mix. Past a size limit the file
// moves aside to `path`.1 (replacing an older one) and a new file begins, so a program that fails
// every second for a month cannot fill the disk.

// Appends `entry` (whole lines) to `path`, making its folder when missing. When the file is then
// larger than `maxBytes` (0 = no limit), the first process to notice renames it to `path`.1; the
// entry that passed the limit is the last of the old file. 0, or -1 when nothing was written.
int AppendLogEntry(const std::string& path, const std::string& entry, off_t maxBytes);

// Empties the file at `path`. 0 on success or when there is none, -1 otherwise.
int TruncateLogFile(const std::string& path);

// Where a file that passed its limit goes.
std::string RotatedLogPath(const std::string& path);
