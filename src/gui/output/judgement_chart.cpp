#include "gui/output/judgement_chart.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vadazaz {

namespace {

constexpr int margin = 8;
constexpr int gap = 6;
constexpr int plotMinimum = 160;
const QColor lessColour(200, 80, 60);
const QColor moreColour(60, 150, 80);
const QColor gridColour(215, 215, 215);

} // namespace

JudgementChart::JudgementChart(QWidget *parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void JudgementChart::setTable(const CptTable &table)
{
    title_ = QStringLiteral("Change in %1 from EPT row 1").arg(table.childHeading(1));
    blocks_ = table.judgementChart();
    values_.clear();
    double low = 0;
    double high = 0;
    for (const JudgementBlock &block : std::as_const(blocks_)) {
        QStringList values;
        for (const JudgementBar &bar : block.bars) {
            low = std::min(low, bar.change);
            high = std::max(high, bar.change);
            values.append(table.fractionText(bar.change));
        }
        values_.append(values);
    }
    // Every round step, each with the scale it makes.
    scales_.clear();
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0}) {
        Scale scale{std::floor(low / step) * step, std::ceil(high / step) * step, step, {}};
        if (scale.low == scale.high)
            scale.low = -step;
        for (double tick = scale.low; tick <= scale.high + step / 2; tick += step)
            scale.ticks.append(table.fractionText(tick));
        scales_.append(scale);
    }
    updateGeometry();
    update();
}

int JudgementChart::lineHeight() const
{
    return fontMetrics().height() + 6;
}

int JudgementChart::labelWidth() const
{
    int widest = 0;
    for (const JudgementBlock &block : blocks_)
        for (const JudgementBar &bar : block.bars)
            widest = std::max(widest, fontMetrics().horizontalAdvance(bar.label));
    return widest + fontMetrics().horizontalAdvance(QStringLiteral("row 00  "));
}

int JudgementChart::valueWidth() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("-0.00")) + gap;
}

int JudgementChart::contentHeight() const
{
    int rows = 2; // the title and the scale
    for (const JudgementBlock &block : blocks_)
        rows += int(block.bars.size()) + (block.label.isEmpty() ? 0 : 1);
    return 2 * margin + rows * lineHeight();
}

QSize JudgementChart::minimumSizeHint() const
{
    const int width = std::max(2 * margin + labelWidth() + gap + plotMinimum + 2 * valueWidth(),
                               2 * margin + fontMetrics().horizontalAdvance(title_));
    return {width, contentHeight()};
}

QSize JudgementChart::sizeHint() const
{
    return minimumSizeHint() + QSize(plotMinimum / 2, 0);
}

const JudgementChart::Scale &JudgementChart::scaleFor(int plotWidth) const
{
    const int room = fontMetrics().horizontalAdvance(QStringLiteral("-0.00")) + 2 * gap;
    for (const Scale &scale : scales_)
        if (scale.ticks.size() <= 11 && plotWidth / (scale.ticks.size() - 1) >= room)
            return scale;
    return scales_.back();
}

void JudgementChart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

void JudgementChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int line = lineHeight();
    const int plotLeft = margin + labelWidth() + gap + valueWidth();
    const int plotRight = std::max(plotLeft + 1, width() - margin - valueWidth());
    if (scales_.isEmpty())
        return;
    const Scale &scale = scaleFor(plotRight - plotLeft);
    const double perPoint = (plotRight - plotLeft) / (scale.high - scale.low);
    const auto xOf = [&](double change) {
        return plotLeft + (change - scale.low) * perPoint;
    };
    const QColor text = palette().color(QPalette::Text);
    QFont bold = font();
    bold.setBold(true);

    painter.setPen(text);
    painter.setFont(bold);
    painter.drawText(QRect(margin, margin, width() - 2 * margin, line),
                     Qt::AlignLeft | Qt::AlignVCenter, title_);
    painter.setFont(font());

    // The scale: a label and a grid line at every step.
    const int plotTop = margin + 2 * line;
    const int plotBottom = contentHeight() - margin;
    for (qsizetype k = 0; k < scale.ticks.size(); ++k) {
        const double x = xOf(scale.low + double(k) * scale.step);
        painter.setPen(gridColour);
        painter.drawLine(QPointF(x, plotTop - 2), QPointF(x, plotBottom));
        painter.setPen(text);
        painter.drawText(QRectF(x - 40, margin + line, 80, line), Qt::AlignCenter,
                         scale.ticks.at(k));
    }

    int top = plotTop;
    for (qsizetype b = 0; b < blocks_.size(); ++b) {
        const JudgementBlock &block = blocks_.at(b);
        if (!block.label.isEmpty()) {
            painter.setFont(bold);
            painter.setPen(text);
            painter.drawText(QRect(margin, top, width() - 2 * margin, line),
                             Qt::AlignLeft | Qt::AlignVCenter, block.label);
            painter.setFont(font());
            top += line;
        }
        for (qsizetype i = 0; i < block.bars.size(); ++i) {
            const JudgementBar &bar = block.bars.at(i);
            const QRect row(margin, top, labelWidth(), line);
            painter.setPen(palette().color(QPalette::PlaceholderText));
            painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("row %1").arg(bar.eptRow));
            painter.setPen(text);
            painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, bar.label);
            const double zero = xOf(0);
            const double end = xOf(bar.change);
            const QRectF drawn(QPointF(std::min(zero, end), top + 3),
                               QPointF(std::max(zero, end), top + line - 3));
            painter.fillRect(drawn, bar.change < 0 ? lessColour : moreColour);
            const QString &value = values_.at(b).at(i);
            if (bar.change < 0)
                painter.drawText(QRectF(drawn.left() - valueWidth(), top, valueWidth() - 2, line),
                                 Qt::AlignRight | Qt::AlignVCenter, value);
            else
                painter.drawText(QRectF(drawn.right() + 2, top, valueWidth(), line),
                                 Qt::AlignLeft | Qt::AlignVCenter, value);
            top += line;
        }
    }
    painter.setPen(text);
    painter.drawLine(QPointF(xOf(0), plotTop - 2), QPointF(xOf(0), plotBottom));
}

} // namespace vadazaz
