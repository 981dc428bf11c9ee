#include "gui/output/probability_bar_delegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace vadazaz {

namespace {

constexpr int trackWidth = 80;
constexpr int margin = 4;
const QColor barColour(70, 110, 200);
const QColor trackColour(200, 200, 200);

} // namespace

ProbabilityBarDelegate::ProbabilityBarDelegate(int percentRole, QObject *parent)
    : QStyledItemDelegate(parent), percentRole_(percentRole)
{}

int ProbabilityBarDelegate::numberWidth(const QStyleOptionViewItem &option) const
{
    return option.fontMetrics.horizontalAdvance(QStringLiteral("-0.00")) + 2 * margin;
}

QSize ProbabilityBarDelegate::sizeHint(const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    const QSize text = QStyledItemDelegate::sizeHint(option, index);
    return {trackWidth + 2 * margin + std::max(text.width(), numberWidth(option)), text.height()};
}

void ProbabilityBarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString number = item.text;
    item.text.clear();
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const QRect cell = item.rect;
    const int numberLeft = std::max(cell.left(), cell.right() - numberWidth(item));
    const QRectF track(cell.left() + margin, cell.top() + 3,
                       std::max(0, numberLeft - cell.left() - 2 * margin), cell.height() - 6);
    const double fraction = std::clamp(index.data(percentRole_).toDouble() / 100.0, 0.0, 1.0);
    painter->save();
    painter->setPen(trackColour);
    painter->drawRect(track.adjusted(0, 0, -1, -1));
    painter->fillRect(QRectF(track.topLeft(), QSizeF(track.width() * fraction, track.height())),
                      barColour);
    painter->setFont(item.font);
    painter->setPen(item.palette.color(
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(
        QRect(numberLeft, cell.top(), cell.right() - numberLeft - margin, cell.height()),
        Qt::AlignRight | Qt::AlignVCenter, number);
    painter->restore();
}

} // namespace vadazaz
