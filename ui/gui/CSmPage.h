#pragma once

#include <QWidget>

// A page of the main window or of the event editor: made once, then shown and hidden as the user
// moves between pages. Activate may refresh what the page shows first; Deactivate may commit what
// the user changed first.
class CSmPage : public QWidget {
    Q_OBJECT
public:
    explicit CSmPage(QWidget* parent = nullptr);

    virtual void Activate();
    virtual void Deactivate();
};
