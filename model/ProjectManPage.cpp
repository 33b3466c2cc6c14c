#include "model/ProjectManPage.h"

#include "model/ProjectSchema.h"

#include <cctype>
#include <string_view>
#include <vector>

namespace {

using Section = ProjectSchema::Section;
using Key = ProjectSchema::Key;

// What a key means, in a line; type, default and values come from the schema. A key that the
// schema gains without a line here is still listed, with those.
struct Meaning {
    Section section;
    const char* name;
    const char* text;
};

constexpr Meaning kMeanings[] = {
    { Section::Common, "Report", "Execution report file; $DATE$ and $TIME$ in the name are replaced." },
    { Section::Common, "Log", "Custom log file, where log actions write; $DATE$ and $TIME$ are replaced." },
    { Section::Common, "Summary", "HTML summary report, written when a run ends; $DATE$ and $TIME$ are replaced." },
    { Section::Common, "Author", "Free text." },
    { Section::Common, "Description", "Free text." },
    { Section::Common, "Metrics",
        "Metrics file for the textfile collector of node_exporter, rewritten during a run; taken as it is "
        "(no macros); not written when empty." },
    { Section::Common, "MetricsProject", "The metrics' project label; empty: the project file's name without .qvl." },
    { Section::Common, "TextEncoding",
        "UTF-8 (LF line ends) or UTF-16LE (byte-order mark, CR LF) for the execution report and the custom "
        "log; empty: the preference TextEncoding." },
    { Section::Common, "CheckTimeout", "Seconds after which a check of an event whose iTimeout is 0 is stopped and fails; 0: none." },
    { Section::Common, "ShareConnections",
        "1: events whose connections are described alike (password included) share a few connections, "
        "each taken for one execution; 0 (or missing): every event keeps its own connection for the whole run." },
    { Section::Common, "ConsoleLines",
        "What a console run prints: all (every status change), changes (an event's start, end and each "
        "execution whose outcome differs from the one before), none; empty: the preference ConsoleLines; "
        "the option --console-lines wins." },
    { Section::Common, "Listen",
        "host:port of the run's status page (/, /status.json, /metrics, /summary); a port alone binds "
        "127.0.0.1; empty: no page; the option --listen wins." },
    { Section::Common, "ListenAuth",
        "File of user:hash lines (crypt hashes) that the status page asks for; needed to listen on any "
        "other than a loopback address; only its owner may read it." },
    { Section::Common, "Items", "Number of events: [Item0] to [Item<Items-1>] are read." },
    { Section::Item, "action", "What is done when the condition holds." },
    { Section::Item, "bNeedConnect", "1: the event uses a connection (as the event editor shows it)." },
    { Section::Item, "cond",
        "When the action is done. Condition 3 compares the row count by rowCheck with rowCheckValue; 4 the "
        "first value, 5 the check's time in milliseconds, by resCheck with resCheckValue." },
    { Section::Item, "delayTimeType", "Unit of iDelay." },
    { Section::Item, "delayType", "What comes before the first iteration." },
    { Section::Item, "iDelay", "First delay, in delayTimeType units." },
    { Section::Item, "iExecs", "Number of iterations when iterType is 2." },
    { Section::Item, "iInterval", "Pause between iterations, in intTimeType units." },
    { Section::Item, "iTimeout",
        "Seconds after which a check is stopped and fails with the reason \"timed out after N s\"; 0: the "
        "project's CheckTimeout." },
    { Section::Item, "intTimeType", "Unit of iInterval." },
    { Section::Item, "intType", "Whether iterations are spaced." },
    { Section::Item, "iterType", "How many iterations." },
    { Section::Item, "type", "Kind of check." },
    { Section::Item, "rowCheck", "Operator of condition 3." },
    { Section::Item, "rowCheckValue", "Right-hand value of condition 3." },
    { Section::Item, "resCheck", "Operator of conditions 4 and 5." },
    { Section::Item, "resCheckValue", "Right-hand value of conditions 4 and 5." },
    { Section::Item, "bTermEvent", "1: a successful action ends this event." },
    { Section::Item, "bTermProject", "1: a successful action ends the whole run." },
    { Section::Item, "iActWhen", "When a condition that holds acts." },
    { Section::Item, "iRepeatEvery",
        "With iActWhen 1: act again every so many executions while the condition holds; 0 or less: never." },
    { Section::Item, "bActOnRecovery", "With iActWhen 1, 1: act once more when the condition stops holding." },
    { Section::Item, "ActionSQL", "Statement of an SQL action; $VALUE$ is the check's value, $STATE$ why it acts." },
    { Section::Item, "EventNote", "The event's name in reports and status lines." },
    { Section::Item, "sProgram", "Command line of a program action: shell-like quoting, no shell is run; $STATE$." },
    { Section::Item, "SQL", "Statement of an SQL check." },
    { Section::Item, "PerfCounter", "Counter path of a counter check." },
    { Section::Item, "Machine", "Machine of the counter, \\\\host or \\\\host:port (node_exporter); empty: this one." },
    { Section::Item, "FileOrDir", "Path of a file-or-folder check." },
    { Section::Item, "sLogItem", "Line of a log action; $VALUE$, $STATE$, $DATE$ and $TIME$ are replaced." },
    { Section::Item, "tmStartAt", "Time of day of the first start when delayType is 2, as HH:MM:SS." },
    { Section::Item, "enabled", "1: the event takes part in a run." },
    { Section::Connection, "type", "Kind of connection." },
    { Section::Connection, "target",
        "SQLite: the database file (empty: a private in-memory database); PostgreSQL: a connection string "
        "or URI; ODBC: a DSN or a connection string." },
    { Section::Connection, "user", "User name." },
    { Section::Connection, "password",
        "Password; present only when it is saved, and the file is then readable by its owner only." },
};

const char* MeaningOf(const Key& key)
{
    for (const Meaning& meaning : kMeanings) {
        if (meaning.section == key.section && std::string_view(meaning.name) == key.name)
            return meaning.text;
    }
    return nullptr;
}

// Text as roff prints it: a backslash and a minus are escaped, and a line never begins as a request.
std::string Roff(std::string_view text)
{
    std::string out;
    if (!text.empty() && (text.front() == '.' || text.front() == '\''))
        out = "\\&";
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// "0 seconds, 1 minutes, 2 hours" as (value, text) pairs; a comma inside a text stays.
std::vector<std::pair<std::string, std::string>> Values(std::string_view values)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t start = 0;
    while (start < values.size()) {
        size_t end = start;
        do
            end = values.find(", ", end + 1);
        while (end != std::string_view::npos && end + 2 < values.size()
            && std::isdigit(static_cast<unsigned char>(values[end + 2])) == 0);
        const std::string_view piece = values.substr(start, end == std::string_view::npos ? end : end - start);
        const size_t blank = piece.find(' ');
        pairs.emplace_back(piece.substr(0, blank), blank == std::string_view::npos ? "" : piece.substr(blank + 1));
        start = end == std::string_view::npos ? values.size() : end + 2;
    }
    return pairs;
}

void WriteKey(std::ostream& out, const Key& key)
{
    out << ".TP\n.B " << key.name << '\n';
    if (key.type == ProjectSchema::Type::Text)
        out << "string; read default empty.\n";
    else if (key.max < 0)
        out << "integer; read default " << key.readDefault << ".\n";
    else
        out << "integer from 0 to " << key.max << "; read default " << key.readDefault << ".\n";
    if (const char* meaning = MeaningOf(key))
        out << Roff(meaning) << '\n';
    if (key.values == nullptr)
        return;
    out << ".RS\n.PD 0\n";
    for (const auto& [value, text] : Values(key.values))
        out << ".TP 4\n.B " << Roff(value) << '\n' << Roff(text) << '\n';
    out << ".PD\n.RE\n";
}

void WriteSection(std::ostream& out, Section section)
{
    for (const Key& key : ProjectSchema::Keys()) {
        if (key.section == section)
            WriteKey(out, key);
    }
}

constexpr const char* kExample = R"([Common]
Report = "/var/log/quorvel/shop.txt"
Log = "/var/log/quorvel/shop.log"
Summary = "/var/log/quorvel/shop.html"
Items = 1

[Item0]
EventNote = "open orders"
bNeedConnect = 1
SQL = "SELECT count(*) FROM orders WHERE status = 'open'"
cond = 4
resCheck = 4
resCheckValue = 100
action = 3
sLogItem = "$TIME$ open orders: $VALUE$"
intType = 1
iInterval = 5
intTimeType = 1

[Item0_connect]
type = 0
target = "/var/lib/quorvel/shop.db"
)";

} // namespace

void ProjectManPage::Write(std::ostream& out, const std::string& version)
{
    out << ".TH QUORVEL.QVL 5 \"2026\" \"Quorvel " << Roff(version) << "\" \"File Formats\"\n"
        << R"(.SH NAME
quorvel.qvl \- project file of quorvel
.SH DESCRIPTION
A project file
.RI ( .qvl )
is a TOML document that
.BR quorvel (1)
runs.
Each section is a table; each value is a string or an integer.
A missing key, a value of the wrong type and an integer outside 32 bits read as the key's read
default; a file that does not parse loads as an empty project.
.B quorvel \-\-check
names each such value, each section and key that the program does not know, and every enumeration
value outside the values listed here, with its line.
.PP
The sections:
.B [Common]
once;
.BI [Item N ]
for
.I N
from 0 to
.BR Items \-1,
one event each, in the order of the list (a run takes at most 24);
.BI [Item N _connect]
and
\fB[Item\fP\fIN\fP\fB_action]\fP,
the connections of that event's SQL check and SQL action.
.SH [Common]
)";
    WriteSection(out, Section::Common);
    out << ".SH [Item\\fIN\\fP]\n";
    WriteSection(out, Section::Item);
    out << ".SH [Item\\fIN\\fP_connect], [Item\\fIN\\fP_action]\n";
    WriteSection(out, Section::Connection);
    out << ".SH EXAMPLE\n"
           "Every 5 minutes, count the open orders in a SQLite database, and write a log line when there "
           "are more than 100:\n.PP\n.RS\n.EX\n";
    std::string_view example = kExample;
    while (!example.empty()) {
        const size_t end = example.find('\n');
        const std::string_view line = example.substr(0, end);
        out << (line.empty() ? "\\&" : Roff(line)) << '\n';
        example.remove_prefix(end + 1);
    }
    out << R"(.EE
.RE
.SH FILES
.TP
.I /etc/quorvel/NAME.qvl
The project that the service
.BI quorvel@ NAME .service
runs.
.TP
.I /usr/share/quorvel/examples/demo.qvl
A demo project with every kind of check, condition and action.
.SH SEE ALSO
.BR quorvel (1)
)";
}
