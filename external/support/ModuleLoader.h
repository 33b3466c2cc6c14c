#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A shared library of the program's own that wraps a large outside library (a database client, an
// HTTP client). It is loaded the first time a project needs it, so that a project without such
// connections never maps those libraries nor runs their initialisers at start.
//
// The file is looked for in $QUORVEL_MODULE_DIR (tests), then beside the executable (the build
// tree), then in the installed module folder. The first folder that holds the file decides: a
// file that is there but cannot be loaded is an error, not a reason to try an older one elsewhere.
class ModuleLoader {
public:
    // `package` is the Debian package of the outside library the module wraps: named in the
    // error when that library is missing (the package quorvel only recommends it).
    ModuleLoader(std::string fileName, std::string entryName, std::string package = {});
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // The module's entry function, loading the module at the first call; null with `error` set to
    // the loader's text when it cannot be loaded. Any number of threads may call it at once: the
    // module is loaded once, and a failure is remembered too.
    void* Entry(std::string* error);

    // The folders searched, in order.
    static std::vector<std::string> SearchFolders();

private:
    struct CloseLibrary {
        void operator()(void* handle) const;
    };

    void Load();

    const std::string fileName_;
    const std::string entryName_;
    const std::string package_;
    std::once_flag once_;
    std::unique_ptr<void, CloseLibrary> handle_;
    void* entry_ = nullptr;
    std::string error_;
};
