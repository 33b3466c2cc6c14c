#pragma once

#include <fstream>
#include <iterator>
#include <string>

// Whole files as bytes, for the tests and the fuzz targets alike (which link no test framework).

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Whether the file now holds `content` alone.
inline bool WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return out.good();
}
