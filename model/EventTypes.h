#pragma once

// Enumerations of an event definition, stored as signed 32-bit integers. A value outside a list
// is stored and loaded unchanged; the operations say how they treat it.

enum EventType { EVENT_SQL = 0, EVENT_FILE = 1, EVENT_COUNTER = 2 };

enum ConditionType {
    COND_ALWAYS = 0,
    COND_ON_ERROR = 1,
    COND_ON_SUCCESS = 2,
    COND_ROW_COUNT = 3,
    COND_RESULT_VALUE = 4,
    COND_CHECK_TIME = 5,
};

enum ActionType { ACTION_NONE = 0, ACTION_SQL = 1, ACTION_PROGRAM = 2, ACTION_LOG = 3 };

enum DelayType { DELAY_NONE = 0, DELAY_FOR = 1, DELAY_START_AT = 2 };

enum IterationType { ITER_ENDLESS = 0, ITER_ONCE = 1, ITER_COUNT = 2 };

enum IntervalType { INTERVAL_NONE = 0, INTERVAL_WAIT = 1 };

enum TimeUnit { UNIT_SECONDS = 0, UNIT_MINUTES = 1, UNIT_HOURS = 2 };
// The status lines of a console run ("ConsoleLines"): every status, an event's changes, none.
enum ConsoleLines { CONSOLE_LINES_ALL = 0, CONSOLE_LINES_CHANGES = 1, CONSOLE_LINES_NONE = 2 };

// When an event acts on a condition that holds: at every execution, or when it starts to hold.
enum ActWhen { ACT_EVERY_TIME = 0, ACT_ON_START = 1 };

enum CompareOp { OP_LESS = 0, OP_LESS_EQUAL = 1, OP_EQUAL = 2, OP_GREATER_EQUAL = 3, OP_GREATER = 4, OP_NOT_EQUAL = 5 };

// At most this many events in a project run.
constexpr int kMaxEvents = 24;
