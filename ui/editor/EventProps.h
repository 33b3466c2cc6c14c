#pragma once

#include <QDialog>

class Quorvel;

// The event editor: a modal, tabbed dialog over a working copy of one event. exec() returns 1
// after Save, when `event` holds the edited definition; any other result leaves it unchanged.
class EventProps : public QDialog {
    Q_OBJECT
public:
    EventProps(QWidget* parent, Quorvel& event);

private:
    Quorvel& event_;
};
