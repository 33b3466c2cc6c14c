#pragma once

#include "ui/gui/CSmPage.h"

// A page of the event editor. Store copies what the page shows into the editor's working copy;
// the editor asks every page, visited or not, when the user saves.
class EditorPage : public CSmPage {
    Q_OBJECT
public:
    using CSmPage::CSmPage;
    virtual void Store() = 0;
};
