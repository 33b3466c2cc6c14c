// The file or folder check: the path exists; its size is the check's value.
#include "engine/Checks.h"
#include "engine/Iteration.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void RunFileCheck(Quorvel& event, Iteration& it)
{
    event.value.clear();
    if (::access(event.FileOrDir.c_str(), F_OK) != 0) {
        it.status = "FAILED";
        it.reason = event.FileOrDir + ": " + std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::stat(event.FileOrDir.c_str(), &st) == 0)
        AppendDecimal(event.value, static_cast<int>(static_cast<uint32_t>(st.st_size))); // "%d" of the low 32 bits
    it.checkOK = true;
    it.status = "OK";
}
