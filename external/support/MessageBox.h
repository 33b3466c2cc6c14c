#pragma once

#include <string>

// Button and icon styles of a message box, and its answers, as the program passes them.
constexpr int MB_OK = 0x00;
constexpr int MB_OKCANCEL = 0x01;
constexpr int MB_YESNOCANCEL = 0x03;
constexpr int MB_YESNO = 0x04;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int MB_TYPEMASK = 0x0F;
constexpr int MB_ICONMASK = 0xF0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

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

// True while a sink other than the console's is installed: a box is then seen in a window, not
// only on standard error.
bool MessageBoxesShowWindows();

// Installs a sink (not owned; null restores the console one). Returns the previous sink.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);
