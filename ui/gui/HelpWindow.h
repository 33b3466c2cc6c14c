#pragma once

#include <QWidget>

class QTextBrowser;
class QAction;

// The help window: the help pages that ship with the program, with back, forward and the index.
// Links between the pages stay in the window; links out of them open in the desktop's browser.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a page by its file name; false when no such page was installed.
    bool ShowPage(const QString& page);
    QTextBrowser& Browser() { return *browser_; }

    // The installed file of a help page, or an empty text.
    static QString PagePath(const QString& page);
    // Looks for the pages in `folder` instead of where they are installed (tests; empty restores).
    static void SetPageFolder(const QString& folder);

private:
    QAction* AddCommand(const QString& text, const QKeySequence& key);

    QTextBrowser* browser_;
};
