#pragma once

#include <QMetaType>
#include <QStyledItemDelegate>
#include <cstdint>
#include <vector>

// The latest check times of an event, oldest first, and which of those executions failed.
struct SparkPoints {
    std::vector<uint32_t> ms;
    std::vector<char> failed;
};
Q_DECLARE_METATYPE(SparkPoints)

// Draws a cell's SparkPoints (RowsModel::kRowDataRole) as a small line of check times scaled to
// the longest of them, failed executions as crosses, with the cell's text (the figures in
// words) at its right.
class SparklineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
