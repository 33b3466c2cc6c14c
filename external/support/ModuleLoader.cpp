#include "external/support/ModuleLoader.h"

#include "external/support/SharedFiles.h"

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

void ModuleLoader::CloseLibrary::operator()(void* handle) const
{
    ::dlclose(handle);
}

ModuleLoader::ModuleLoader(std::string fileName, std::string entryName, std::string package)
    : fileName_(std::move(fileName))
    , entryName_(std::move(entryName))
    , package_(std::move(package))
{
}

ModuleLoader::~ModuleLoader() = default;

std::vector<std::string> ModuleLoader::SearchFolders()
{
    std::vector<std::string> folders;
    if (const char* dir = std::getenv("QUORVEL_MODULE_DIR"); dir != nullptr && *dir != '\0')
        folders.emplace_back(dir);
    const std::string exe = ProgramFolder();
    folders.push_back(exe);
    // The installed module folder, relative to where `quorvel` (bin) and the window (libexec)
    // are installed, so that an installation may be moved as a whole.
    folders.push_back(exe + "/" + QUORVEL_MODULES_FROM_BINDIR);
    folders.push_back(exe + "/" + QUORVEL_MODULES_FROM_LIBEXECDIR);
    return folders;
}

void* ModuleLoader::Entry(std::string* error)
{
    std::call_once(once_, [this] { Load(); });
    if (entry_ == nullptr && error != nullptr)
        *error = error_;
    return entry_;
}

void ModuleLoader::Load()
{
    const std::vector<std::string> folders = SearchFolders();
    std::string path = folders.front() + "/" + fileName_;
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + fileName_;
        if (::access(candidate.c_str(), F_OK) == 0) {
            path = candidate;
            break;
        }
    }
    // Every symbol bound now: a module that does not fit fails here, with a reason, instead of at
    // its first call. Never unmapped, even when the loader goes at exit: a worker that is still
    // inside the module's library then keeps running on mapped code.
    handle_.reset(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle_) {
        const char* text = ::dlerror();
        error_ = text != nullptr ? text : path + ": cannot be loaded";
        // The module is there but a library it needs is not: "libpq.so.5: cannot open ...".
        const bool libraryMissing
            = error_.rfind(path, 0) != 0 && error_.find("cannot open shared object") != std::string::npos;
        if (libraryMissing && !package_.empty())
            error_ += " (install the package " + package_ + ")";
        return;
    }
    entry_ = ::dlsym(handle_.get(), entryName_.c_str());
    if (entry_ == nullptr) {
        const char* text = ::dlerror();
        error_ = text != nullptr ? text : path + ": " + entryName_ + " is missing";
    }
}
