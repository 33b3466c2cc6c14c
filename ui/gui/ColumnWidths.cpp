#include "ui/gui/ColumnWidths.h"

#include "external/support/CSettings.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <algorithm>
#include <numeric>

namespace {

constexpr int kMinimum = 40;
// A column that follows its content grows no wider: a long statement stays cut (its tooltip shows
// it whole) instead of pushing the other columns out of view.
constexpr int kWidest = 420;
// When the view is too narrow for them all, a column that follows its content gives way no further
// than what its rows need, or this much: dates and numbers stay whole, long texts are cut.
constexpr int kFloorMost = 120;
// Room kept at most for the last column when the others must give way: its title, or this much.
constexpr int kLastRoom = 200;
// How soon after its rows change a list measures them again: one measure for a burst of changes.
constexpr int kContentDelayMs = 150;

} // namespace

std::vector<int> ColumnWidths::Fit(const std::vector<int>& wanted, const std::vector<int>& floors, int available)
{
    const auto widths = [&](int cap) {
        std::vector<int> fitted;
        for (size_t at = 0; at < wanted.size(); ++at)
            fitted.push_back(std::max(std::min(wanted[at], cap), std::min(floors[at], wanted[at])));
        return fitted;
    };
    const auto total = [](const std::vector<int>& fitted) { return std::accumulate(fitted.begin(), fitted.end(), 0); };
    if (wanted.empty() || total(wanted) <= available)
        return wanted;
    // The widest cap under which they fit: the columns wider than it give way, none below its floor.
    int fits = 0;
    int over = *std::max_element(wanted.begin(), wanted.end());
    while (over - fits > 1) {
        const int cap = fits + (over - fits) / 2;
        (total(widths(cap)) <= available ? fits : over) = cap;
    }
    return widths(fits);
}

ColumnWidths* ColumnWidths::Attach(
    QAbstractItemView& view, QHeaderView& header, std::initializer_list<const char*> keys)
{
    return new ColumnWidths(view, header, keys);
}

ColumnWidths::ColumnWidths(QAbstractItemView& view, QHeaderView& header, std::initializer_list<const char*> keys)
    : QObject(&header)
    , view_(view)
    , header_(header)
    , viewport_(view.viewport())
    , keys_(keys)
{
    header_.setStretchLastSection(true);
    header_.setSectionResizeMode(QHeaderView::Interactive);
    contentTimer_.setSingleShot(true);
    contentTimer_.setInterval(kContentDelayMs);
    connect(&contentTimer_, &QTimer::timeout, this, &ColumnWidths::FitContent);
    const auto later = [this] {
        if (!contentTimer_.isActive())
            contentTimer_.start();
    };
    QAbstractItemModel* model = view_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, later);
    connect(model, &QAbstractItemModel::dataChanged, this, later);
    connect(model, &QAbstractItemModel::modelReset, this, later);
    connect(&header_, &QHeaderView::sectionCountChanged, this, later);
    connect(&header_, &QHeaderView::sectionResized, this, &ColumnWidths::OnSectionResized);
    viewport_->installEventFilter(this);
    Restore();
    FitContent();
}

int ColumnWidths::Last() const
{
    return header_.count() - 1;
}

void ColumnWidths::Restore()
{
    const int columns = std::max(Last(), 0);
    wanted_.assign(static_cast<size_t>(columns), 0);
    byContent_.assign(static_cast<size_t>(columns), true);
    floors_.assign(static_cast<size_t>(columns), kMinimum);
    for (int column = 0; column < columns; ++column) {
        const size_t at = static_cast<size_t>(column);
        const int stored = at < keys_.size() ? SettingInt(keys_[at]) : 0;
        const bool chosen
            = at < keys_.size() && g_settings != nullptr && !g_settings->IsDefault(keys_[at]) && stored > 0;
        byContent_[at] = !chosen;
        wanted_[at] = chosen ? stored : header_.sectionSizeHint(column);
    }
}

// Columns came or went (a report with other columns): they all start afresh.
void ColumnWidths::Resync()
{
    if (static_cast<int>(wanted_.size()) != std::max(Last(), 0))
        Restore();
}

int ColumnWidths::ContentWidth(int column) const
{
    const int width = std::max(header_.sectionSizeHint(column), view_.sizeHintForColumn(column));
    return std::clamp(width, kMinimum, kWidest);
}

void ColumnWidths::FitContent()
{
    Resync();
    for (size_t at = 0; at < wanted_.size(); ++at) {
        if (!byContent_[at])
            continue;
        const int column = static_cast<int>(at);
        wanted_[at] = std::max(wanted_[at], ContentWidth(column));
        floors_[at] = std::max(floors_[at], std::min(view_.sizeHintForColumn(column), kFloorMost));
    }
    Apply();
}

void ColumnWidths::Apply()
{
    Resync();
    const int room = std::min(std::max(header_.sectionSizeHint(Last()), kMinimum), kLastRoom);
    const std::vector<int> widths = Fit(wanted_, floors_, viewport_->width() - room);
    applying_ = true;
    // The header keeps the last column at least as wide as it was before it stretched it.
    if (Last() > 0)
        header_.resizeSection(Last(), room);
    for (size_t at = 0; at < widths.size(); ++at) {
        if (header_.sectionSize(static_cast<int>(at)) != widths[at])
            header_.resizeSection(static_cast<int>(at), widths[at]);
    }
    applying_ = false;
}

void ColumnWidths::OnSectionResized(int column, int, int newSize)
{
    if (applying_ || column < 0 || column >= static_cast<int>(wanted_.size()))
        return;
    wanted_[static_cast<size_t>(column)] = newSize;
    byContent_[static_cast<size_t>(column)] = false;
    floors_[static_cast<size_t>(column)] = kMinimum;
}

bool ColumnWidths::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != viewport_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Resize)
        Apply();
    else if (event->type() == QEvent::Show) // rows measure only once they can be seen
        FitContent();
    return QObject::eventFilter(watched, event);
}

void ColumnWidths::Store() const
{
    if (g_settings == nullptr)
        return;
    for (size_t at = 0; at < wanted_.size() && at < keys_.size(); ++at) {
        if (!byContent_[at])
            g_settings->setInt(keys_[at], wanted_[at]);
    }
}
