#pragma once

#include "ui/editor/EditorPage.h"

#include <array>

class Quorvel;
class QComboBox;
class QLineEdit;

// The "Event" tab: the kind of check, the note, and the settings of the kind chosen on a sub-page.
// Every sub-page stores when the tab stores, so the settings of all kinds stay in the event.
class PgEvent : public EditorPage {
    Q_OBJECT
public:
    PgEvent(QWidget* parent, Quorvel& event);

    void Store() override;

    QComboBox& Type() { return *type_; }
    QLineEdit& Note() { return *note_; }
    EditorPage& SubPage(int index) { return *subPages_[static_cast<std::size_t>(index)]; }
    int CurrentSubPage() const { return current_; }

private:
    void TypeChanged(int index);

    Quorvel& event_;
    QComboBox* type_;
    QLineEdit* note_;
    std::array<EditorPage*, 3> subPages_ {};
    int current_ = -1;
};
