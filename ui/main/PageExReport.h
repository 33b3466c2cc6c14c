#pragma once

#include "ui/gui/CSmPage.h"

class QuorvelRunner;

// Placeholder until the viewer pages are built.
class PageExReport : public CSmPage {
    Q_OBJECT
public:
    explicit PageExReport(QuorvelRunner& project, QWidget* parent = nullptr);

private:
    QuorvelRunner& project_;
};
