#pragma once

#include "external/support/MessageBox.h"

// The core's message boxes shown by the window: on the window thread directly; from a worker
// thread the box is handed to the window thread and the worker waits for the answer. The window
// thread never waits for a worker, so this cannot deadlock as long as the window thread keeps
// serving its event loop while a run lasts.
class GuiMessageBox : public MessageBoxSink {
public:
    GuiMessageBox();
    ~GuiMessageBox() override;
    GuiMessageBox(const GuiMessageBox&) = delete;
    GuiMessageBox& operator=(const GuiMessageBox&) = delete;

    int Show(const std::string& text, const std::string& caption, int style) override;

private:
    MessageBoxSink* previous_;
};
