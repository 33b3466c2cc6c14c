#pragma once

#include <cstdio>
#include <string>

// Reads the next line of an open file into `out` (UTF-8) without its line end; returns nonzero
// while a line was read. Mode 0: UTF-16LE text whose byte-order mark the caller has already read.
// Mode 1: 8-bit text (UTF-8, or Latin-1 where it is not valid UTF-8).
int ReadString(std::FILE* file, std::string* out, int mode);
