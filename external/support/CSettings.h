#pragma once

#include "external/support/_Settings.h"

// The program's preferences, every key registered with its default.
class CSettings : public _Settings {
public:
    explicit CSettings(const std::string& path = {});
};

// The one preference store of the process; set by start-up, read by every part of the program.
// Null outside a running program (tests set it where they need one).
extern CSettings* g_settings;

// Reads a preference from g_settings, or the given fallback when there is no store.
int SettingInt(const char* name, int fallback = 0);
std::string SettingStr(const char* name, const std::string& fallback = {});
