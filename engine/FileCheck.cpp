// The file or folder check: the path exists; its size is the check's value.
#include "engine/CheckWatch.h"
#include "engine/Checks.h"
#include "engine/Iteration.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// The system cannot be asked to give up a path that hangs (a dead network mount): a check past its
// timeout fails when the call returns, and without a timeout it is named after a minute.
void RunFileCheck(Quorvel& event, Iteration& it)
{
    const CheckWatch watch(event);
    event.value.clear();
    bool ok = ::access(event.FileOrDir.c_str(), F_OK) == 0;
    if (!ok)
        it.reason = event.FileOrDir + ": " + std::strerror(errno);
    struct stat st {};
    if (ok && ::stat(event.FileOrDir.c_str(), &st) == 0)
        AppendDecimal(event.value, static_cast<int>(static_cast<uint32_t>(st.st_size))); // "%d" of the low 32 bits
    if (watch.Settle(it))
        ok = false;
    it.checkOK = ok;
    it.status = ok ? "OK" : "FAILED";
}
