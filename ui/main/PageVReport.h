#pragma once

#include "ui/gui/CSmPage.h"

class QuorvelRunner;

// Placeholder until the viewer pages are built.
class PageVReport : public CSmPage {
    Q_OBJECT
public:
    PageVReport(QuorvelRunner& project, int mode, QWidget* parent = nullptr);

private:
    QuorvelRunner& project_;
    int mode_;
};
