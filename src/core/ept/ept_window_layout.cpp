#include "core/ept/ept_window_layout.h"

#include <cmath>

namespace vadazaz {

int centimetresToPixels(double centimetres)
{
    return int(std::lround(centimetres * pixelsPerCentimetre));
}

double pixelsToCentimetres(int pixels)
{
    return pixels / pixelsPerCentimetre;
}

QRect centimetresToPixels(const QRectF &centimetres)
{
    const int left = centimetresToPixels(centimetres.left());
    const int top = centimetresToPixels(centimetres.top());
    return QRect(left, top, centimetresToPixels(centimetres.left() + centimetres.width()) - left,
                 centimetresToPixels(centimetres.top() + centimetres.height()) - top);
}

QRectF EptWindowLayout::contentArea() const
{
    QRectF area = table;
    for (const auto &item : labels)
        area |= item.place;
    for (const auto &item : textFields)
        area |= item.place;
    return QRectF(0, 0, area.right() + margin, area.bottom() + margin);
}

EptWindowLayout eptWindowLayout(const Problem &problem, const EptShape &shape)
{
    using L = EptWindowLayout;
    EptWindowLayout layout;
    const int cols = shape.eptCols;
    const int childStates = problem.noChildStates;
    const int noMod = shape.noModParents();
    layout.dataWidth = L::cellWidth * cols + L::margin * (cols - 1);
    layout.tableWidth = float(std::min(L::usableWidth - layout.dataWidth - 2 * L::margin,
                                       L::headingColumnAllowance * shape.noNonModParents()));
    layout.headingHeight = L::margin + L::lineHeight * (noMod + 1);
    const double w = layout.tableWidth;
    const double h = layout.headingHeight;

    layout.table = QRectF(L::margin, h + L::margin, w, L::usableHeight - 2 * L::margin);
    for (int i = 1; i <= shape.noNonModParents(); ++i) {
        const QString name = problem.parentName(shape.nonModParent(i));
        layout.tableHeadings.append(name);
        layout.tableFormat += (i > 1 ? QStringLiteral("|<") : QStringLiteral("<")) + name;
    }
    for (int r = 1; r <= shape.eptRows; ++r) {
        QStringList row;
        for (int i = 1; i <= shape.noNonModParents(); ++i) {
            const int p = shape.nonModParent(i);
            row.append(problem.parentStateName(rowParentState(problem, shape, r, i), p));
        }
        layout.tableCells.append(row);
    }

    const auto lineTop = [](int line) {
        return L::margin + L::lineHeight * (line - 1);
    };
    for (int j = 1; j <= noMod; ++j)
        layout.labels.append({QStringLiteral("labelMPname%1").arg(j),
                              QRectF(w - 1.9, lineTop(j), 1.9, L::lineHeight),
                              problem.parentName(shape.modParent(j)) + QLatin1Char(':')});
    const int blocks = childStates > 0 ? cols / childStates : 0;
    for (int j = 1; j <= noMod; ++j) {
        const int p = shape.modParent(j);
        for (int b = 1; b <= blocks; ++b)
            layout.labels.append(
                {QStringLiteral("LabelMPstate%1%2").arg(j).arg(b),
                 QRectF(layout.columnLeft((b - 1) * childStates + 1), lineTop(j), 1.9,
                        L::lineHeight),
                 problem.parentStateName(blockModParentState(problem, shape, j, b), p)});
    }
    layout.labels.append({QStringLiteral("LabelChildName"),
                          QRectF(w - 1.9, lineTop(noMod + 1), 1.9, L::lineHeight),
                          problem.childName + QLatin1Char(':')});
    for (int c = 1; c <= cols; ++c)
        layout.labels.append(
            {QStringLiteral("LabelChild%1").arg(c),
             QRectF(layout.columnLeft(c), lineTop(noMod + 1), L::cellWidth, L::lineHeight),
             problem.childStateName(columnChildState(c, childStates)).left(5)});

    for (int r = 1; r <= shape.eptRows; ++r)
        for (int c = 1; c <= cols; ++c)
            layout.textFields.append(
                {QStringLiteral("Text%1").arg((r - 1) * cols + c),
                 QRectF(layout.columnLeft(c), layout.rowTop(r), L::cellWidth, L::lineHeight),
                 QString()});
    return layout;
}

} // namespace vadazaz
