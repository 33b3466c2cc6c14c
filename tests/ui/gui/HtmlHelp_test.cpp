#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "ui/gui/HelpWindow.h"
#include "ui/gui/HtmlHelp.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QString kPages = QStringLiteral(QUORVEL_SOURCE_DIR "/res/help");

TEST(HelpWindow, OneWindowShowsEveryPageWithBackAndForwardOrTellsItIsMissing)
{
    ScriptedDialogs dialogs;
    HelpWindow::SetPageFolder(kPages);
    QWidget main;
    ShowHtmlHelp(&main, QStringLiteral("index.html"));
    HelpWindow* window = CurrentHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Browser().documentTitle(), QStringLiteral("Olvex Quorvel Help"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Olvex Quorvel Help"));

    window->Browser().setSource(QUrl(QStringLiteral("settings.html"))); // a link, relative as in the pages
    EXPECT_EQ(window->Browser().documentTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Settings - Olvex Quorvel Help"));
    window->Browser().backward();
    EXPECT_EQ(window->Browser().documentTitle(), QStringLiteral("Olvex Quorvel Help"));

    // Asked for again, from a dialog of its own: the same window, now owned by that dialog so that
    // it takes input while the dialog is modal.
    QWidget dialog(&main, Qt::Dialog);
    ShowHtmlHelp(&dialog, QStringLiteral("tips.html"));
    EXPECT_EQ(CurrentHelpWindow(), window);
    EXPECT_EQ(window->parentWidget(), &dialog);
    EXPECT_EQ(window->Browser().documentTitle(), QStringLiteral("How to..."));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    ShowHtmlHelp(&main, QStringLiteral("nothing.html"));
    EXPECT_EQ(
        dialogs.messages, QStringList { QStringLiteral("Warning!: The help page \"nothing.html\" is not installed.") });
    delete window;
    HelpWindow::SetPageFolder({});
}

// Every link between the help pages leads to a page that ships and, with an anchor, to a place in
// it.
TEST(HelpPages, EveryLinkLeadsSomewhere)
{
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    for (const QString& name : QDir(kPages).entryList({ QStringLiteral("*.html") })) {
        const QString text = QString::fromStdString(ReadFile((kPages + QLatin1Char('/') + name).toStdString()));
        for (auto match = link.globalMatch(text); match.hasNext();) {
            const auto found = match.next();
            const QString target = found.captured(1).isEmpty() ? name : found.captured(1);
            SCOPED_TRACE((name + QStringLiteral(" -> ") + found.captured(0)).toStdString());
            ASSERT_TRUE(QFileInfo::exists(kPages + QLatin1Char('/') + target));
            const std::string linked = ReadFile((kPages + QLatin1Char('/') + target).toStdString());
            const std::string anchor = "name=\"" + found.captured(2).toStdString() + "\"";
            EXPECT_TRUE(found.captured(2).isEmpty() || linked.find(anchor) != std::string::npos);
        }
    }
}

} // namespace
