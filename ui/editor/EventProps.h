#pragma once

#include "model/Quorvel.h"

#include <QDialog>
#include <array>

class EditorPage;
class QTabBar;

// The event editor: a modal, tabbed dialog over a working copy of one event. exec() returns 1
// after Save, when `event` holds the edited definition; any other result leaves it unchanged.
class EventProps : public QDialog {
    Q_OBJECT
public:
    enum Tab { kConnection, kEvent, kTimers, kCondition, kAction, kTabCount };

    // `index`: the event's place in the project (where a new one will go), which names it in what
    // Save warns of.
    EventProps(QWidget* parent, Quorvel& event, int index = 0);

    // Every page stores into the working copy, visited or not; then the caller's record gets it.
    void Save();
    // The "Save" button: the pages store, and an event that would run badly (as the project check
    // would tell of it) is saved only when the user chooses "Save anyway" over "Go back".
    void SaveAfterCheck();
    // What the project check would tell of the working copy, one problem a line.
    QString RunProblems() const;

    QTabBar& Tabs() { return *tabs_; }
    EditorPage& Page(Tab tab) { return *pages_[tab]; }
    int CurrentTab() const { return current_; }
    const Quorvel& WorkingCopy() const { return copy_; }

protected:
    void done(int result) override;

private:
    void TabChanged(int index);

    Quorvel& event_;
    Quorvel copy_;
    int index_;
    QTabBar* tabs_;
    std::array<EditorPage*, kTabCount> pages_ {};
    int current_ = -1;
};
