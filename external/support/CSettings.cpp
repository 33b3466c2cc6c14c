#include "external/support/CSettings.h"

#include "external/support/StrFormat.h"

CSettings* g_settings = nullptr;

CSettings::CSettings(const std::string& path) : _Settings(path)
{
    for (int i = 0; i < 10; ++i)
        Add(StrFormat("Profile%d", i), S_TEXT, 0, "");
    Add("LastFile", S_TEXT, 0, "");
    Add("LoadLastFile", S_INT, 0, "1");
    Add("MinimizeOnTray", S_INT, 0, "0");
    Add("SmartInput", S_INT, 0, "0");
    Add("MacroDateFmt", S_TEXT, 0, "");
    Add("MacroTimeFmt", S_TEXT, 0, "");
    Add("FetchAll", S_INT, 0, "0");
    const char* projectWidths[] = {"120", "130", "70", "150", "55"};
    for (int i = 0; i < 5; ++i)
        Add(StrFormat("ProjectW%d", i + 1), S_INT, 0, projectWidths[i]);
    const char* activeWidths[] = {"300", "140", "80"};
    for (int i = 0; i < 3; ++i)
        Add(StrFormat("ActiveLogW%d", i + 1), S_INT, 0, activeWidths[i]);
    const char* execWidths[] = {"230", "130", "80", "80"};
    for (int i = 0; i < 4; ++i)
        Add(StrFormat("ExecLogW%d", i + 1), S_INT, 0, execWidths[i]);
    Add("LogLevel", S_INT, 0, "0");
    // Rows of the console page's execution log kept while a run lasts (the report keeps all).
    Add("ExecLogMaxRows", S_INT, 0, "100000");
    // Size in KiB at which the program log starts a new file; 0 = no limit.
    Add("LogMaxKB", S_INT, 0, "10240");
    // Encoding of the execution report and the custom log: 0 UTF-16LE with CRLF, 1 UTF-8 with LF.
    Add("TextEncoding", S_INT, 0, "0");
    // Status lines of a console run: 0 every status, 1 only an event's changes, 2 none.
    Add("ConsoleLines", S_INT, 0, "0");
    // Window placements, as the window stores them.
    Add("MainDlg", S_TEXT, 0, "");
    Add("EventPropsWnd", S_TEXT, 0, "");
}

int SettingInt(const char* name, int fallback)
{
    return g_settings != nullptr ? g_settings->getInt(name) : fallback;
}

std::string SettingStr(const char* name, const std::string& fallback)
{
    return g_settings != nullptr ? g_settings->getStr(name) : fallback;
}
