#include "support/TestEnv.h"

#include "ui/main/ExecReportModel.h"
#include "ui/main/RunOutcomes.h"
#include "ui/main/RunStatusBar.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

using Outcome = RunOutcomes::Outcome;

// The icon as a greyscale picture: what a reader who cannot tell the colours apart sees.
QImage Grey(Outcome outcome)
{
    return RunOutcomes::Icon(outcome).pixmap(16, 16).toImage().convertToFormat(QImage::Format_Grayscale8);
}

int PixelsApart(const QImage& a, const QImage& b)
{
    int apart = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            apart += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 60 ? 1 : 0;
    return apart;
}

// Each outcome has its word, its colour and an icon whose shape tells it from the others also in
// greyscale; a failure that holds shows as failed whatever the outcome, and its reason is what the
// row tells.
TEST(RunOutcomes, EachOutcomeLooksItsOwnAndAFailureTellsItsReason)
{
    const struct {
        Outcome outcome;
        const char* failure;
        const char* value;
        const char* word;
        const char* described;
    } cases[] = {
        { Outcome::kNone, "", "", "", "" },
        { Outcome::kPassed, "", "42", "Passed", "Passed, value 42" },
        { Outcome::kActed, "", "", "Acted", "Acted" },
        { Outcome::kHeldBack, "", "3", "Held back", "Held back, value 3" },
        { Outcome::kFailed, "check failed: no such table: t", "", "Failed", "check failed: no such table: t" },
        { Outcome::kPassed, "execution report failed: /r.txt: Permission denied", "5", "Failed",
            "execution report failed: /r.txt: Permission denied" },
    };
    for (const auto& c : cases) {
        const RunOutcomes::Event event { c.outcome, QString::fromUtf8(c.value), QString::fromUtf8(c.failure) };
        EXPECT_EQ(RunOutcomes::Word(event.Shown()), QString::fromUtf8(c.word));
        EXPECT_EQ(RunOutcomes::Describe(event), QString::fromUtf8(c.described));
        EXPECT_EQ(RunOutcomes::Icon(event.Shown()).isNull(), *c.word == '\0') << c.word;
        EXPECT_EQ(RunOutcomes::Colour(event.Shown()).isValid(), *c.word != '\0') << c.word;
    }
    const Outcome shown[] = { Outcome::kPassed, Outcome::kActed, Outcome::kHeldBack, Outcome::kFailed };
    for (Outcome a : shown) {
        for (Outcome b : shown) {
            if (a < b) {
                EXPECT_GT(PixelsApart(Grey(a), Grey(b)), 12) << int(a) << " " << int(b);
            }
        }
    }
    EXPECT_EQ(RunStatusBar::Duration(3723999), QStringLiteral("1:02:03"));
}

// A report line whose check failed stands out in the table by its colour, icon and bold status.
TEST(RunOutcomes, FailedReportLinesStandOut)
{
    TempDir dir;
    const std::string lines[] = { "Date\tEvent\tStatus\tAction SQL", "1\ta\tOK\t", "2\tb\tFAILED\t" };
    std::string text;
    std::vector<LineSpan> spans;
    for (const std::string& line : lines) {
        spans.push_back({ static_cast<int64_t>(text.size()), static_cast<uint32_t>(line.size()) });
        text += line + "\n";
    }
    WriteFile(dir.File("r.txt"), text);
    ExecReportModel model;
    model.Reset(QString::fromStdString(dir.File("r.txt")), TextEncoding::EightBit);
    model.SetColumns(ExecReportModel::SplitLine(lines[0], TextEncoding::EightBit));
    model.AppendRows(std::span(spans).subspan(1));
    for (int row = 0; row < 2; ++row) {
        const bool failed = row == 1;
        EXPECT_EQ(model.index(row, 2).data(Qt::DecorationRole).isValid(), failed);
        EXPECT_EQ(model.index(row, 0).data(Qt::ForegroundRole).isValid(), failed);
        EXPECT_EQ(model.index(row, 2).data(Qt::FontRole).isValid(), failed);
        EXPECT_FALSE(model.index(row, 0).data(Qt::DecorationRole).isValid());
    }
}

} // namespace
