#pragma once

#include "external/support/ReportFile.h"
#include "model/Quorvel.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CSysReg;
class MultiReport;
class StatusPage;

// A project: five descriptive properties and the ordered list of its events, with the file they
// are kept in. The same object runs the project.
class QuorvelRunner {
public:
    QuorvelRunner() = default;
    virtual ~QuorvelRunner() = default;
    QuorvelRunner(const QuorvelRunner&) = delete;
    QuorvelRunner& operator=(const QuorvelRunner&) = delete;

    // Replaces the project with the file's content. A missing file or key leaves the defaults;
    // loading never fails.
    int Load(const std::string& path);
    // Writes the project, keeping the old file as the ".bak" backup when that can be made.
    // 0 on success, -1 when the file could not be written (the old file is then unchanged).
    int Save(const std::string& path);
    void Clear();

    // 0 when appended, -1 (after telling the user) when the project already holds 24 events.
    int AddEvent(const Quorvel& record);
    // The event at a 0-based index, or null when there is none.
    Quorvel* GetEvent(int index);
    void DeleteEvent(int index);
    // 1 after telling the user that the list is empty, 0 when it has events.
    int WarnIfEmpty() const;
    int Count() const { return static_cast<int>(events.size()); }
    // The 0-based place of one of this project's events, or -1 for an event that is not one of them.
    int IndexOf(const Quorvel& event) const;

    // Runs the project: every event that takes part gets a thread of its own; returns when all
    // have ended or the run was broken. `page` receives status (none in console mode);
    // `selection` has one entry per event, 0 for an event that does not take part (none: every
    // enabled event takes part). 0 after a run, -1 when nothing could run.
    int Run(StatusPage* page, const std::vector<uint16_t>* selection);
    // Run without clearing the break flag first: the caller cleared it (ResetBreak) before it let
    // the user or a signal break the run, so a break given before this thread gets going still
    // ends the run instead of being wiped out.
    int RunKeepingBreak(StatusPage* page, const std::vector<uint16_t>* selection);

    // The HTML project report of every definition.
    void WriteProjectReport(const std::string& path);
    // The table of contents; returns the number of enabled events.
    int WriteContents(MultiReport& report, bool allEvents);
    // The summary section; `full` adds the project's properties.
    void WriteSummarySection(MultiReport& report, int enabledCount, bool full);
    // The HTML summary of the last run's statistics, to `summaryFile` (nothing when it is empty),
    // replacing the previous one whole or not at all. A summary that cannot be written is told on
    // standard error and in the program log (and in a box when there is a window), and
    // `reportNotWritten` is set. 0, or -1 when it was not written.
    int WriteSummaryReport();
    // The summary of the statistics so far as one HTML document at `path` (the status page's,
    // while the run goes on): nothing of the run's own summary changes. 0, or -1 with the errno.
    int WriteSummaryDocument(const std::string& path, int* error);

    // The highest n for which the store has a section "Item<n>", -1 when it has none. A damaged
    // "Items" value cannot make the loader invent events after the last one that the file holds.
    static int LastItemSection(const CSysReg& store);
    // How many events Load makes of a store whose "Items" is `items`: no more than up to the last
    // "Item<n>" section, and none after more than 24 missing sections.
    static int EventsToLoad(const CSysReg& store, int items);

    // CONSOLE_LINES_* of a "ConsoleLines" value ("all", "changes", "none"); -1 for any other.
    static int ConsoleLinesNamed(const std::string& name);

    // The backup path of a project file: the file name in lower case with every ".qvl" made ".bak".
    static std::string BackupPath(const std::string& path);

    std::string reportFile;  // "Report": execution report file, may hold date and time macros
    std::string logFile;     // "Log": custom log file, may hold macros
    std::string summaryFile; // "Summary": summary report file, may hold macros
    std::string author;      // "Author"
    std::string description; // "Description"
    std::string metricsFile; // "Metrics": metrics file for a node_exporter textfile collector, no macros
    // "TextEncoding": "UTF-8" or "UTF-16LE" for the execution report and the custom log; any other
    // value (empty) follows the preference of the same name.
    std::string textEncoding;
    std::string metricsProject; // "MetricsProject": the metrics' project label; empty: projectName
    // "ConsoleLines": "all", "changes" or "none", the status lines of a console run; any other
    // value (empty) follows the preference of the same name.
    std::string consoleLines;
    // "Listen": host:port of the run's status page (loopback unless a host is named); empty: none.
    std::string listen;
    // "ListenAuth": the status page's credentials file (user:hash lines); needed off loopback.
    std::string listenAuth;
    int checkTimeout = 0;       // "CheckTimeout": seconds, the timeout of events whose iTimeout is 0; 0 none
    // "ShareConnections": 1 when events with the same connection share a few connections of the
    // run; 0, every event keeps its own for the whole run.
    int shareConnections = 0;
    // The project file's name without folder and extension, set by Load and Save.
    std::string projectName;
    // The project file as an absolute path, set by Load and Save.
    std::string projectFile;
    // Set when a report of a run could not be written (the console run then ends with status 4).
    std::atomic<bool> reportNotWritten{false};

    // The paths after macro expansion, set by the last write to each file.
    std::string currentReportFile;
    std::string currentLogFile;
    std::string currentSummaryFile;

    std::vector<Quorvel> events;
    // Workers of the last run that had not ended a few seconds after a break: they may still use
    // this project, which must then outlive them (a console run ends the process instead).
    int abandonedWorkers = 0;

    // Serialises the writes to the execution report and the custom log, and the statistics and
    // the events' `live` state (read by the status snapshot).
    mutable std::mutex lock;
    // Guarded by `lock`: the run now going on, for the status snapshot.
    int64_t runStartedMs = 0;    // Unix ms; 0 before the first run
    bool running = false;
    uint64_t statusChanges = 0;  // counts every change the snapshot shows
    // One summary at a time: the end of the run and a SIGUSR1 may ask at once.
    std::mutex summaryWriting;
    // The writers of the two files; they remember a streak of failed writes for the program log.
    ReportFile reportOutput{"execution report"};
    ReportFile logOutput{"custom log"};
};
