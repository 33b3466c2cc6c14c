#pragma once

#include <string>

// Icon and button styles of a message box, as the program passes them.
constexpr int MB_OK = 0x00;
constexpr int MB_ICONERROR = 0x10;
constexpr int IDOK = 1;

// Whatever shows a message box to the user. Console mode writes "Caption: text" to standard error
// and answers as if OK was pressed; the window shows a real box on the window thread, also when a
// worker thread asks.
class MessageBoxSink {
public:
    virtual ~MessageBoxSink() = default;
    virtual int Show(const std::string& text, const std::string& caption, int style) = 0;
};

// Shows a message box through the installed sink (the console one when none is installed).
int ShowMessageBox(const std::string& text, const std::string& caption, int style);

// Installs a sink (not owned; null restores the console one). Returns the previous sink.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);
