// The project check reads whatever a project file may hold, as the loader does. For every input
// it must not crash, must leave the file as it was, must print UTF-8, and must read the file as the
// loader does: the same number of events and, for every event, every key of the schema with the
// value that the loaded project saves. Seeds: the store's corpus (scripts/run-fuzz).
#include "FuzzCheck.h"
#include "external/support/CLog.h"
#include "external/support/CSysReg.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "engine/ProjectCheck.h"
#include "model/ProjectSchema.h"
#include "model/QuorvelRunner.h"
#include "tests/support/Files.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using Section = ProjectSchema::Section;

// The sections that a key of this kind lives in for the loaded events (Common for none).
std::vector<std::string> SectionsOf(Section kind, int events)
{
    std::vector<std::string> names;
    if (kind == Section::Common)
        names.emplace_back("Common");
    for (int i = 0; i < events; ++i) {
        if (kind == Section::Item)
            names.push_back(StrFormat("Item%d", i));
        if (kind == Section::Connection) {
            names.push_back(StrFormat("Item%d_connect", i));
            names.push_back(StrFormat("Item%d_action", i));
        }
    }
    return names;
}

// Every key of the schema reads in the check as the loaded and saved project holds it.
void CheckSameReading(const ProjectCheck& check, const std::string& savedPath)
{
    const CSysReg saved(savedPath);
    for (const ProjectSchema::Key& key : ProjectSchema::Keys()) {
        if (key.section == Section::Common && std::string(key.name) == "Items")
            continue; // saved as the number of events, which EventCount compares
        for (const std::string& section : SectionsOf(key.section, check.EventCount())) {
            if (key.type == ProjectSchema::Type::Int) {
                int value = 0;
                saved.Read(section, key.name, &value, key.readDefault);
                FUZZ_CHECK(check.Int(section, key.name) == value);
            } else {
                std::string value;
                saved.Read(section, key.name, &value, "");
                FUZZ_CHECK(check.Text(section, key.name) == value);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CLog::SetPath(Scratch("quorvel.log"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string path = Scratch("input.qvl");
    const std::string savedPath = Scratch("saved.qvl");
    std::filesystem::remove(savedPath);
    FUZZ_CHECK(WriteFile(path, content));
    const ProjectCheck check(path);
    FUZZ_CHECK(ReadFile(path) == content); // the check only reads
    FUZZ_CHECK(check.ReadError() == 0);
    FUZZ_CHECK(IsValidUtf8(check.Report()));
    FUZZ_CHECK(check.Errors() + check.Warnings() == static_cast<int>(check.Problems().size()));
    FUZZ_CHECK(!check.Unparsable() || check.Errors() == 1);
    QuorvelRunner loaded;
    loaded.Load(path);
    FUZZ_CHECK(check.EventCount() == loaded.Count());
    // Past 24 events the check says so; past the last section nothing is made up.
    if (loaded.Count() > kMaxEvents)
        FUZZ_CHECK(check.Errors() > 0);
    FUZZ_CHECK(loaded.Save(savedPath) == 0);
    CheckSameReading(check, savedPath);
    return 0;
}
