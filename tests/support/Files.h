#pragma once

#include <fstream>
#include <sstream>
#include <string>

// Whole files as bytes, for the tests and the fuzz targets alike (which link no test framework).

// The file's bytes; empty when it cannot be read. A read that fails on the way (a /proc file whose
// process has gone) ends the bytes instead of throwing, as istreambuf_iterator would.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Whether the file now holds `content` alone.
inline bool WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return out.good();
}
