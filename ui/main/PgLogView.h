#pragma once

#include "ui/gui/CSmPage.h"

class QuorvelRunner;

// Placeholder until the viewer pages are built.
class PgLogView : public CSmPage {
    Q_OBJECT
public:
    PgLogView(QuorvelRunner& project, int mode, QWidget* parent = nullptr);

private:
    QuorvelRunner& project_;
    int mode_;
};
