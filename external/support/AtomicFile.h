#pragma once

#include "external/support/UniqueFd.h"

#include <string>
#include <string_view>

// A file that is replaced whole or not at all: written to the temporary file `path`.tmp beside it,
// every write checked, synced and renamed over the old file only when all of it is written. A
// failure at any step (a full disk, a missing folder) leaves the old file as it was and removes
// the temporary one. Writers of the same path, in this process or others, take turns on the
// temporary file; one killed half-way leaves at most that file behind, which the next one takes
// over. A path that names something other than a regular file (a device such as /dev/null or
// /dev/full, a pipe) is written in place, its writes checked all the same; a symbolic link is
// followed, so that the file it points to is replaced.
class AtomicFile {
public:
    // `mode` gives the permissions of the new file; -1 keeps those of the file it replaces (0644
    // for a new one). Without `sync` the file is renamed unsynced: readers still see it whole, but
    // a power cut may lose it, which suits a file that only tells about a run in progress.
    explicit AtomicFile(std::string path, int mode = -1, bool sync = true);
    // Abandons a file not committed: the old one stays.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. 0, or -1 with Error() set.
    int Open();
    // Appends to it; once a write has failed, every later one fails too. 0, or -1 with Error() set.
    int Write(std::string_view data);
    // Syncs the temporary file and renames it over the old one. 0, or -1 with Error() set (the
    // old file is then unchanged).
    int Commit();

    // The errno of the first failure, 0 while there was none.
    int Error() const { return error_; }
    const std::string& Path() const { return path_; }

private:
    int Fail();
    void Abandon();

    std::string path_;
    std::string target_; // the file that is replaced: the path, or where its symbolic link points
    std::string temp_; // empty when writing in place
    int mode_;
    bool sync_;
    UniqueFd fd_;
    int error_ = 0;
};
