#include "support/ScriptedDialogs.h"
#include "support/UiTestSupport.h"

#include "external/support/MessageBox.h"
#include "ui/gui/GuiMessageBox.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

// A worker's message box is shown on the window thread and the worker gets the answer, while the
// window thread keeps serving its events.
TEST(GuiMessageBox, AWorkerWaitsForTheAnswerFromTheWindowThread)
{
    ScriptedDialogs dialogs;
    dialogs.Answer(IDNO);
    GuiMessageBox sink;
    std::atomic<int> answer { 0 };
    std::thread worker([&] { answer = ShowMessageBox("Stop?", "Warning!", MB_YESNO); });
    EXPECT_TRUE(ServeUntil([&] { return answer != 0; }));
    worker.join();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: Stop?") });
}

} // namespace
