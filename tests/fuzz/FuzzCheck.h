#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

// A property that must hold for every input. A broken one aborts, which libFuzzer records as a
// crash together with the input that broke it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// A file in the only folder a target writes to: one per process, made at the first call and removed
// at exit.
inline std::string Scratch(const std::string& name = "")
{
    static const std::string path
        = std::filesystem::temp_directory_path().string() + "/quorvel-fuzz-" + std::to_string(::getpid());
    static const std::unique_ptr<const std::string, void (*)(const std::string*)> removed(
        &path, [](const std::string* folder) {
            std::error_code ignored;
            std::filesystem::remove_all(*folder, ignored);
        });
    std::filesystem::create_directories(path);
    return path + "/" + name;
}
