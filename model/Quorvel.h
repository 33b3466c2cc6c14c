#pragma once

#include "external/db/CDB.h"
#include "external/db/CONN_INFO.h"
#include "model/EventTypes.h"
#include "model/ExecStats.h"

#include <cstdint>
#include <memory>
#include <string>

class CSysReg;
class QuorvelRunner;
class StatusPage;

// One event definition of a project, with the state that one run of it needs.
class Quorvel {
public:
    Quorvel() = default;
    // An empty record (no run-time state) followed by assignment.
    Quorvel(const Quorvel& other);
    // Copies the definition and lastTab; drops the database object; keeps this record's results,
    // value and counter state.
    Quorvel& operator=(const Quorvel& other);
    virtual ~Quorvel();

    void Load(CSysReg& store, const std::string& section);
    void Save(CSysReg& store, const std::string& section) const;

    static bool Compare(int op, int measured, int configured);
    static std::string CompareText(int op, int value);
    static int ToMilliseconds(int value, int unit);
    static std::string TimeUnitName(int unit);
    // 0 type text, 1 condition text, 2 action text, anything else all three joined by "->".
    std::string Description(int part) const;

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

    // Run-time state, owned by the event's worker thread during a run.
    StatusPage* page = nullptr;
    std::unique_ptr<CDB> db;
    QuorvelRunner* runner = nullptr;
    ExecStats results; // guarded by the runner's lock while a run lasts
    std::string value;

private:
    void CopyDefinition(const Quorvel& other);
};
