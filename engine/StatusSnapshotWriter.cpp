#include "engine/StatusSnapshotWriter.h"

#include "engine/StatusSnapshot.h"
#include "external/support/CLog.h"
#include "external/support/FileOps.h"
#include "external/support/XdgPaths.h"
#include "model/QuorvelRunner.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SnapshotPath(const QuorvelRunner& runner)
{
    const std::string name = runner.projectName.empty() ? std::string("project") : runner.projectName;
    return RuntimeDir() + "/" + name + "-" + std::to_string(::getpid()) + ".json";
}

// The folder, made when missing. One right in /tmp (no runtime folder of the user's) must be this
// user's own, or another user could read or replace what is written there.
int PrepareFolder(const std::string& dir)
{
    if (dir.rfind('/') != 4 || dir.rfind("/tmp/", 0) != 0)
        return MakeDirs(dir);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    struct stat info {};
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return -1;
    return 0;
}

} // namespace

StatusSnapshotWriter::StatusSnapshotWriter(QuorvelRunner& runner)
    : runner_(runner)
    , path_(SnapshotPath(runner))
{
}

StatusSnapshotWriter::~StatusSnapshotWriter()
{
    Stop();
}

void StatusSnapshotWriter::Start()
{
    ticker_.Start([this] { WriteWhenChanged(); });
}

void StatusSnapshotWriter::Stop()
{
    if (ticker_.Stop())
        ::unlink(path_.c_str());
}

void StatusSnapshotWriter::WriteWhenChanged()
{
    uint64_t changes = 0;
    {
        std::lock_guard lock(runner_.lock);
        changes = runner_.statusChanges;
    }
    if (changes == written_)
        return;
    // The folder is made (or checked) before the first write and again after a failed one: someone
    // may have removed it.
    const std::string dir = path_.substr(0, path_.rfind('/'));
    const bool prepare = written_ == UINT64_MAX || streak_.Failing();
    std::string error;
    bool written = false;
    if (prepare && PrepareFolder(dir) != 0)
        error = "cannot make the folder " + dir;
    else
        written = WriteFileAtomically(path_, StatusSnapshotJson(runner_), 0644, &error, false) == 0;
    if (written)
        written_ = changes;
    if (!streak_.Changed(!written))
        return;
    // A run without a snapshot goes on: the program log says why, once per streak.
    CLog::Bug(written ? "the status snapshot " + path_ + " is written again"
                      : "status snapshot not written: " + error + "; tried again every second",
        "StatusSnapshotWriter");
}
