#pragma once

#include "reports/HeadTemplate.h"
#include "support/RecordingBox.h"
#include "support/TestEnv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The outline of a written report as html_outline.py prints it (one tab-separated line per item,
// "ERROR" lines for structural faults). A test fails when the file does not parse cleanly.
std::vector<std::string> Outline(const std::string& path);

// The lines of `outline` that start with `kind` followed by a tab, without that prefix.
std::vector<std::string> Items(const std::vector<std::string>& outline, const std::string& kind);

// The table rows ("head\t…" and "row\t…") of the section that starts at the anchor `anchor`.
std::vector<std::string> SectionRows(const std::vector<std::string>& outline, const std::string& anchor);

// Report tests write into a fresh folder, with the head template that ships with the program.
class ReportTest : public ::testing::Test {
protected:
    ReportTest() { SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime"); }
    ~ReportTest() override { SetHeadTemplateFolder(""); }

    TempDir dir;
    RecordingBox boxes;
};
