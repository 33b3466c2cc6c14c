#pragma once

#include <QTreeWidget>

// The page tree at the window's left: one item per page, carrying the page's index.
class CEventModes : public QTreeWidget {
    Q_OBJECT
public:
    enum Page {
        kProject = 0,
        kProperties = 1,
        kConsole = 2,
        kSettings = 3,
        kProjectReport = 4,
        kSummary = 5,
        kProgramLog = 6,
        kExecLog = 7,
        kExecReport = 8,
        kPageCount = 9,
    };

    explicit CEventModes(QWidget* parent = nullptr);

    void Fill();
    void SelectPage(int page);
    void SelectConsole() { SelectPage(kConsole); }

signals:
    void PageChosen(int page);
};
