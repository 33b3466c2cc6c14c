#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Renames `from` to `to`, failing when `to` exists. 0 on success, -1 with errno set otherwise.
int MoveFileNoReplace(const std::string& from, const std::string& to);

// Replaces `path` with `content` atomically (AtomicFile): a crash or a full disk leaves either the
// old or the new file whole. `mode` gives the permissions of the new file; -1 keeps those of the
// file it replaces (0644 for a new one); `sync` as AtomicFile's. 0 on success, -1 with `error` set
// otherwise.
int WriteFileAtomically(const std::string& path, const std::string& content, int mode,
                        std::string* error, bool sync = true);

// True when a file or folder of that name exists.
bool PathExists(const std::string& path);

// flock(fd, operation), again when a signal interrupts it. 0, or -1 with errno set. A file system
// that cannot lock counts as locked: a lone writer still gets its file whole.
int LockFile(int fd, int operation);

// Writes all of `bytes` to `fd`: one write() unless the system takes less, again when a signal
// interrupts it. 0, or the error number (EIO when the system takes nothing without one). `done`,
// when given, counts the bytes written, also when it fails.
int WriteAll(int fd, std::string_view bytes, size_t* done = nullptr);

// Appends the whole file at `path` to `content`: 0, or the error number of the failed open or read.
// A folder is no file: reading it fails with EISDIR.
int ReadWholeFile(const char* path, std::string* content);
