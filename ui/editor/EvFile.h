#pragma once

#include "ui/editor/EditorPage.h"

class Quorvel;
class QLineEdit;

// The settings of a file-or-folder check: the path.
class EvFile : public EditorPage {
    Q_OBJECT
public:
    EvFile(QWidget* parent, Quorvel& event);

    // Shows the stored path again each time the page is shown.
    void Activate() override;
    void Store() override;
    void Browse();

    QLineEdit& Path() { return *path_; }

private:
    Quorvel& event_;
    QLineEdit* path_;
};
