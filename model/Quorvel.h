#pragma once

#include "external/db/CDB.h"
#include "external/db/CONN_INFO.h"
#include "model/ChangeGate.h"
#include "model/EventLive.h"
#include "model/EventTypes.h"
#include "model/FailureStreak.h"
#include "model/ExecStats.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ConnectionPool;
class CounterQuery;
class CSysReg;
struct ProgramSlots;
struct Iteration;
class QuorvelRunner;
class StatusPage;

// One event definition of a project, with the state that one run of it needs.
class Quorvel {
public:
    Quorvel();
    // An empty record (no run-time state) followed by assignment.
    Quorvel(const Quorvel& other);
    // Copies the definition and lastTab; drops the database object; keeps this record's results,
    // value and counter state.
    Quorvel& operator=(const Quorvel& other);
    virtual ~Quorvel();

    void Load(CSysReg& store, const std::string& section);
    void Save(CSysReg& store, const std::string& section) const;

    // A stored text of the definition by its key in the project file ("SQL"); null for any other key.
    const std::string* StoredText(const std::string& key) const;

    static bool Compare(int op, int measured, int configured);
    static std::string CompareText(int op, int value);
    // A stored wait in milliseconds, whatever its size; 0 for an unknown unit.
    static int64_t ToMilliseconds(int value, int unit);
    static std::string TimeUnitName(int unit);
    // ACT_ON_START "when the condition starts to hold"; any other value "every time the condition holds".
    static std::string ActWhenName(int actWhen);
    // 0 type text, 1 condition text, 2 action text, anything else all three joined by "->".
    std::string Description(int part) const;

    // The run (engine/): the body of the event's worker thread and its steps.
    static void EventThreadProc(Quorvel* event);
    // Reports a status change to the page, or as a console line without one (as far as the
    // project's console lines show it). Returns the row.
    int PostStatus(int row, const std::string& text);
    // The outcome of an execution ("Check passed", "Check failed, Do action", ...): a console line
    // when the console shows changes only and it differs from the execution before.
    void PostOutcome(const std::string& outcome);
    // Before the first iteration: empties the statistics, opens a counter, waits the first
    // delay or until the start time. 0 to go on, -1 for a broken event.
    int FirstDelay(int row);
    // 1 when the run is being broken (the event then ends).
    int CheckCancel(int row);
    // 0 when the event has done its iterations, 1 (after the interval) to go on.
    int NextIteration(int row);
    // Waits `ms` milliseconds, or until Break all.
    void Wait(int64_t ms, int row);
    // One iteration: check, condition, action, record.
    void ExecuteOnce(int row);
    // Writes the execution report line and the statistics of one iteration.
    void RecordExecution(const Iteration& it);
    // Appends `text` to the execution report, or to the custom log.
    void WriteRecord(const std::string& text, bool customLog);
    // Opens the counter query of a counter event; failures are logged and fail every check.
    void OpenPerfCounter();
    // Closes the counter query of a counter event.
    void ClosePerfCounter();

    // Stored definition, in declaration order.
    int bNeedConnect = 1;
    int type = EVENT_SQL;
    int cond = COND_ALWAYS;
    int action = ACTION_NONE;
    int delayType = DELAY_NONE;
    int delayTimeType = UNIT_SECONDS;
    int iterType = ITER_ENDLESS;
    int intType = INTERVAL_NONE;
    int intTimeType = UNIT_SECONDS;
    int rowCheck = OP_LESS;
    int resCheck = OP_LESS;
    std::string EventNote;
    std::string SQL;
    std::string FileOrDir;
    std::string ActionSQL;
    std::string sProgram;
    std::string sLogItem;
    std::string PerfCounter;
    std::string Machine;
    std::string tmStartAt;
    int enabled = 1;
    int bTermEvent = 0;
    int bTermProject = 0;
    int stopEvent = 0; // run-time
    int lastTab = 0;   // the editor tab shown when the editor was last closed with OK
    int iDelay = 30;
    int iInterval = 30;
    int iExecs = 10;
    int execCount = 0; // run-time
    int rowCheckValue = 0;
    int resCheckValue = 0;
    CONN_INFO checkConn;
    CONN_INFO actionConn;
    // Acting on changes: optional keys, not written while they hold these defaults.
    int iActWhen = ACT_EVERY_TIME; // ActWhen
    int iRepeatEvery = 0;          // with ACT_ON_START: act again every N holding executions; 0 never
    int bActOnRecovery = 0;        // with ACT_ON_START: act once more when the condition stops holding
    // Optional: seconds after which a check is stopped and fails; 0 takes the project's CheckTimeout.
    int iTimeout = 0;

    // Run-time state, owned by the event's worker thread during a run.
    StatusPage* page = nullptr;
    std::unique_ptr<CDB> db;
    // When the project shares connections: the run's pool, from which `db` is taken for one
    // iteration and to which it goes back after it.
    std::shared_ptr<ConnectionPool> pool;
    QuorvelRunner* runner = nullptr;
    ExecStats results; // guarded by the runner's lock while a run lasts
    std::string value;
    // The counter query, open while a counter event runs. The engine opens it and gives it the
    // function that ends it, so that the event record needs nothing of the counters.
    std::unique_ptr<CounterQuery, void (*)(CounterQuery*)> pdhQuery { nullptr, nullptr };
    bool pdhCounter = false;                // the counter was added to the query
    uint32_t counterValue = 0;              // the last good reading, kept from run to run
    ChangeGate gate;                        // the condition's course in this run
    FailureStreak checkFailure;             // the course of failed checks in this run
    FailureStreak actionFailure;            // the course of failed actions in this run
    EventLive live;                         // guarded by the runner's lock: what the snapshot shows
    int consoleLines = 0;                   // what the console shows of this run: CONSOLE_LINES_*
    std::string lastOutcome;                // the outcome of the execution before, for CONSOLE_LINES_CHANGES
    std::shared_ptr<ProgramSlots> programs; // the started programs that still run (engine/ProgramAction)

    // Not stored, not copied: the keys whose value in the file could not be read when the project
    // was loaded ("iInterval"; "_connect.type" for the check's connection), so that the editor
    // marks what shows their default. The window sets them from its check of the file.
    std::vector<std::string> unreadableKeys;

private:
    void CopyDefinition(const Quorvel& other);
    // Writes one console line "time: description (note) -> text".
    void WriteConsoleLine(const std::string& text) const;
};
