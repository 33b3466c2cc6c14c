#pragma once

#include <mutex>
#include <string>

// The appender of one kind of output file of a run (the execution report, the custom log). The
// files are UTF-16LE text: a file that this class creates starts with the byte-order mark FF FE and
// a header; each append adds one piece of text, whole or not at all, even when several processes
// write the same file.
class ReportFile {
public:
    // `kind` names the file in program-log entries: "execution report", "custom log".
    explicit ReportFile(std::string kind);

    // Appends `text` (UTF-8, written as UTF-16LE) to `path`. A file that does not exist yet is
    // created (0644 less the umask) holding the byte-order mark, `header` (may be empty) and `text`;
    // a file that exists, also one of zero bytes, gets only `text`. 0 when written, -1 when not
    // (missing folder, no rights, full disk, ...): the text is then dropped. The first failure of a
    // streak and the first success after it are told in the program log.
    int Append(const std::string& path, const std::string& header, const std::string& text);

private:
    void NoteOutcome(const std::string& path, int error);

    const std::string kind_;
    std::mutex mutex_;
    bool failing_ = false; // guarded by mutex_
};
