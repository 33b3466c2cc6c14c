#pragma once

#include "external/support/StreakFlag.h"

#include <mutex>
#include <string>

// The appender of one kind of output file of a run (the execution report, the custom log). The
// files are UTF-16LE text with CRLF line ends by default: a file that this class creates starts
// with the byte-order mark FF FE and a header. In UTF-8 they have no mark and LF line ends, for the
// usual text tools. Each append adds one piece of text, whole or not at all, even when several
// processes write the same file.
class ReportFile {
public:
    enum class Encoding { Utf16Le, Utf8 };

    // `kind` names the file in program-log entries: "execution report", "custom log".
    explicit ReportFile(std::string kind);

    // The encoding of the files this writer creates from now on. A file that exists keeps its own:
    // one that begins with FF FE gets UTF-16LE, any other of one byte or more UTF-8.
    void SetEncoding(Encoding encoding);
    // The encoding a project's "TextEncoding" names ("UTF-8", "UTF8", "UTF-16LE", "UTF-16", in any
    // case): 0 with *encoding set, or -1 for any other text (the preference then decides).
    static int EncodingNamed(const std::string& name, Encoding* encoding);

    // Appends `text` (UTF-8, lines ending in CRLF) to `path` in the file's encoding. A file that
    // does not exist yet is created (0644 less the umask) holding the byte-order mark (UTF-16LE
    // only), `header` (may be empty) and `text`; a file that exists, also one of zero bytes, gets
    // only `text`. 0 when written, -1 when not (missing folder, no rights, full disk, ...): the
    // text is then dropped. The first failure of a streak and the first success after it are told
    // in the program log. `error`, when given, receives the error number (0 when written).
    int Append(const std::string& path, const std::string& header, const std::string& text, int* error = nullptr);
    const std::string& Kind() const { return kind_; }

    // Forgets what it knows of the file it last wrote, so that the next append looks at the file
    // the path names then (after log rotation: a new one, with the writer's encoding and the
    // header). Every append opens the file by its path anyway.
    void Reopen();

private:
    void NoteOutcome(const std::string& path, int error);
    Encoding EncodingOf(const std::string& path);

    const std::string kind_;
    std::mutex mutex_;
    StreakFlag streak_; // changed under mutex_
    Encoding encoding_ = Encoding::Utf16Le; // guarded by mutex_
    // The last file appended to and its encoding, so that only the first append to a file reads
    // its start. Guarded by mutex_.
    std::string knownPath_;
    Encoding knownEncoding_ = Encoding::Utf16Le;
};
