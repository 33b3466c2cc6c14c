#pragma once

// The window's commands. Menu entries, toolbar buttons, shortcut keys, page buttons and the
// event list's context menu all carry one of these numbers, and a toolbar button's tooltip is
// the string-table entry of the same number.
enum CommandId {
    ID_OK = 1,
    ID_EXIT = 2,
    ID_NEW_PROJECT = 1081,
    ID_RUN_PROJECT = 1179,
    ID_MODIFY_EVENT = 1206,
    ID_DELETE_EVENT = 1307,
    ID_HELP_INDEX = 2005,
    ID_LOAD_PROJECT = 2006,
    ID_SAVE_PROJECT = 2007,
    ID_ADD_EVENT = 2873,
    ID_RECENT_FIRST = 3072, // 3072 + n opens recent project n (0 to 9)
    ID_PROJECT_REPORT = 3776,
    ID_BREAK = 4775,
    ID_RUN_CHECKED = 4777,
    ID_TOGGLE_ENABLED = 4778,
    ID_COPY_EVENT = 4781,
    ID_LOG_TRUNCATE = 5779,
    ID_PAUSE = 30778,
    ID_SAVE_AS = 32771,
    ID_ABOUT = 32772,
    ID_HELP_HOWTO = 32774,
    ID_LOG_VIEW = 32780,
};

constexpr int kRecentCommands = 10;
