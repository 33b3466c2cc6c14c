#include "model/ListenCredentials.h"

#include "external/support/StrFormat.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

int ListenCredentials::PrivateToOwner(const std::string& path, std::string* why)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *why = StrFormat("%s: %s", path.c_str(), std::strerror(errno));
        return -1;
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        *why = StrFormat("%s can be read or written by others (mode %03o): chmod 600 it", path.c_str(),
            static_cast<unsigned>(st.st_mode & 0777));
        return -1;
    }
    return 0;
}

int ListenCredentials::Read(const std::string& path, std::vector<Entry>* entries, std::string* error)
{
    if (PrivateToOwner(path, error) != 0)
        return -1;
    std::ifstream in(path);
    std::string line;
    entries->clear();
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos || colon == 0)
            continue;
        entries->emplace_back(line.substr(0, colon), line.substr(colon + 1));
    }
    if (entries->empty()) {
        *error = StrFormat("%s holds no user:hash line", path.c_str());
        return -1;
    }
    return 0;
}
