#pragma once

#include <string>
#include <utility>
#include <vector>

// The credentials file of a status page ("ListenAuth"): one "user:hash" a line, the hash as the
// system's crypt makes it (yescrypt "$y$...", bcrypt "$2b$..."); empty lines and lines beginning
// with '#' are skipped. Only its owner may read it, as it lets anyone who cracks a hash in.
class ListenCredentials {
public:
    using Entry = std::pair<std::string, std::string>; // user, hash

    // 0 with the entries, or -1 with the reason in `error` (not there, readable by others, no entry).
    static int Read(const std::string& path, std::vector<Entry>* entries, std::string* error);
    // 0 when only its owner can read or write the file, else -1 with the reason.
    static int PrivateToOwner(const std::string& path, std::string* why);
};
