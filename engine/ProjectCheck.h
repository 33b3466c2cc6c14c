#pragma once

#include "model/ProjectSchema.h"

#include <memory>
#include <string>
#include <vector>

class CSysReg;

// One thing wrong with a project file. A warning is something that runs but is probably not
// meant; an error makes the run differ from what the file says (or the file not load at all).
struct ProjectProblem {
    int line = 0; // 1-based; 0 when the file cannot be read
    bool warning = false;
    std::string message;
    // The value concerned when it is one value's problem: its section and key.
    std::string section;
    std::string key;
    // The value is there but of the wrong type (or too big): it reads as its default.
    bool unreadable = false;
};

// Reads a project file as a run reads it (through the same store and loader rules) and lists what
// is wrong with it: the file does not parse; a value of the wrong type; a section or key that the
// program does not know; "Items" that disagrees with the event sections; more events than a run
// takes; an enumeration value outside its values; a start time that the run refuses; a check or
// action without what it needs; an unknown connection kind; and what would run badly: no event to
// run, an event that checks back to back, an output folder that cannot be written, a command line
// or counter path that the run refuses, a NUL in a text, a password that others can read. It only
// reads: the loader still loads every file, keeping its defaults.
class ProjectCheck {
public:
    explicit ProjectCheck(const std::string& path);
    ~ProjectCheck();
    ProjectCheck(const ProjectCheck&) = delete;
    ProjectCheck& operator=(const ProjectCheck&) = delete;

    // The errno when the file cannot be read (also when it is not there), else 0.
    int ReadError() const { return readError_; }
    // The file was read but is no TOML document: it loads as an empty project.
    bool Unparsable() const { return unparsable_; }
    const std::vector<ProjectProblem>& Problems() const { return problems_; }
    int Errors() const;
    int Warnings() const;
    // How many events the loader makes of the file.
    int EventCount() const { return eventCount_; }

    // A value as the loader reads it: the stored one, or the default when it is missing or of the
    // wrong type.
    int Int(const std::string& section, const std::string& key) const;
    std::string Text(const std::string& section, const std::string& key) const;

    // The keys of event `index` whose stored value is unreadable, as Quorvel::unreadableKeys
    // names them.
    std::vector<std::string> UnreadableKeys(int index) const;

    // "file:line: message", "file:line: warning: message", or "file: cannot be read: reason".
    std::string Format(const ProjectProblem& problem) const;
    // Every problem so, one per line, each ending in a line feed.
    std::string Report() const;

private:
    void CheckNames();
    void CheckSection(const std::string& name, ProjectSchema::Section kind);
    void CheckEncoding();
    void CheckEvents(int items);
    void CheckEvent(int index);
    void CheckEnums(const std::string& section, ProjectSchema::Section kind, bool enabled);
    // How the file would run (ProjectCheckRun.cpp).
    void CheckRun();
    void CheckOutputFolder(const char* key);
    void CheckPasswordReadable();
    void CheckListen();
    void Add(int line, bool warning, std::string message, const std::string& section = {},
        const std::string& key = {});
    int LineOf(const std::string& section, const std::string& key = {}) const;

    std::string path_;
    std::unique_ptr<CSysReg> store_;
    int readError_ = 0;
    bool unparsable_ = false;
    int eventCount_ = 0;
    std::vector<ProjectProblem> problems_;
};
