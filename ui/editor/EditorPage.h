#pragma once

#include "ui/gui/CSmPage.h"

// A page of the event editor. Store copies what the page shows into the editor's working copy;
// the editor asks every page, visited or not, when the user saves.
// No Q_OBJECT: the page adds no signals, and its subclasses name CSmPage as their meta base.
class EditorPage : public CSmPage {
public:
    using CSmPage::CSmPage;
    virtual void Store() = 0;
};
