// The SQL action: the action statement with the check's value put in, on the check's own
// connection when it describes the same one and is connected, else on a connection of its own.
#include "engine/Actions.h"
#include "engine/Iteration.h"
#include "engine/RunControl.h"
#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"

namespace {

std::string TrimStatementEnd(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

bool Execute(CDB& db, const std::string& statement)
{
    CancelScope cancellable([&db] { db.cancel(); });
    return CDB::isOK(db.execute(statement, 0)) != 0;
}

bool RunOnTemporaryConnection(const Quorvel& event, const std::string& statement)
{
    std::unique_ptr<CDB> db = CDB::newDB(event.actionConn.type);
    if (!db || !CDB::isOK(db->connect(&event.actionConn))) {
        CLog::Bug(db ? db->errorText : std::string(), "Connection for Action error", "Quorvel", __LINE__);
        return false;
    }
    const bool ok = Execute(*db, statement);
    if (!ok)
        CLog::Bug(db->errorText, "Action Execution error");
    db->disconnect();
    return ok;
}

// The length of an SQL comment starting at `pos` ("-- …" to the line end, "/* … */"), 0 if none.
size_t CommentLength(const std::string& sql, size_t pos)
{
    size_t end = 0;
    if (sql.compare(pos, 2, "--") == 0) {
        end = sql.find('\n', pos);
    } else if (sql.compare(pos, 2, "/*") == 0) {
        end = sql.find("*/", pos + 2);
        if (end != std::string::npos)
            end += 2;
    } else {
        return 0;
    }
    return (end == std::string::npos ? sql.size() : end) - pos;
}

} // namespace

std::string SubstituteValue(const std::string& statement, const std::string& value)
{
    return SubstituteMacro(statement, "$VALUE$", value);
}

std::string SubstituteMacro(const std::string& statement, const std::string& kMacro, const std::string& value)
{
    std::string quoted;
    for (const char c : value)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    std::string out;
    bool inLiteral = false;
    for (size_t i = 0; i < statement.size();) {
        if (statement.compare(i, kMacro.size(), kMacro) == 0) {
            out += inLiteral ? quoted : value;
            i += kMacro.size();
            continue;
        }
        const size_t comment = inLiteral ? 0 : CommentLength(statement, i);
        if (comment > 0) {
            out += ReplaceAll(statement.substr(i, comment), kMacro, value);
            i += comment;
            continue;
        }
        // A doubled quote inside a literal is an escaped quote and toggles twice: same state.
        if (statement[i] == '\'')
            inLiteral = !inLiteral;
        out += statement[i++];
    }
    return out;
}

bool RunSqlAction(Quorvel& event, Iteration& it)
{
    // The state goes in first: a value that holds "$STATE$" stays as it is.
    it.actionText =
        TrimStatementEnd(SubstituteValue(SubstituteMacro(event.ActionSQL, "$STATE$", it.state), event.value));
    if (event.db && event.db->connected != 0 && event.checkConn == event.actionConn) {
        event.db->closeCursor(0);
        return Execute(*event.db, it.actionText);
    }
    return RunOnTemporaryConnection(event, it.actionText);
}
