#include "ui/gui/SparklineDelegate.h"

#include "ui/gui/RowsModel.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kMargin = 4;
constexpr qreal kCross = 2.5;
const QColor kLine(0x2d, 0x5f, 0x8a);
const QColor kFailed(0xc0, 0x39, 0x2b);

void DrawPoints(QPainter& painter, const QRectF& area, const SparkPoints& points)
{
    const size_t count = points.ms.size();
    if (count == 0 || area.width() < 4)
        return;
    const qreal longest = std::max<qreal>(1, *std::max_element(points.ms.begin(), points.ms.end()));
    const auto at = [&](size_t i) {
        const qreal x = count == 1 ? area.center().x() : area.left() + area.width() * qreal(i) / qreal(count - 1);
        return QPointF(x, area.bottom() - area.height() * points.ms[i] / longest);
    };
    QPainterPath line(at(0));
    for (size_t i = 1; i < count; ++i)
        line.lineTo(at(i));
    painter.setPen(QPen(kLine, 1.4));
    painter.drawPath(line);
    if (count == 1) { // a line of one point would not show
        painter.setBrush(kLine);
        painter.drawEllipse(at(0), 1.5, 1.5);
    }
    painter.setPen(QPen(kFailed, 1.4));
    for (size_t i = 0; i < count && i < points.failed.size(); ++i) {
        if (points.failed[i] == 0)
            continue;
        const QPointF p = at(i);
        painter.drawLine(p + QPointF(-kCross, -kCross), p + QPointF(kCross, kCross));
        painter.drawLine(p + QPointF(-kCross, kCross), p + QPointF(kCross, -kCross));
    }
}

} // namespace

void SparklineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect cell = option.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int textWidth = std::min(opt.fontMetrics.horizontalAdvance(text) + 2, cell.width() * 3 / 5);
    painter->save();
    painter->setFont(opt.font);
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF area(cell.left(), cell.top(), cell.width() - textWidth - (textWidth > 0 ? kMargin * 2 : 0),
        cell.height());
    DrawPoints(*painter, area, index.data(RowsModel::kRowDataRole).value<SparkPoints>());
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(cell, Qt::AlignRight | Qt::AlignVCenter,
        opt.fontMetrics.elidedText(text, Qt::ElideRight, textWidth));
    painter->restore();
}
