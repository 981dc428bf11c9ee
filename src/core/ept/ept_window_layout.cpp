#include "core/ept/ept_window_layout.h"

#include <cmath>

namespace vadazaz {

namespace {

// "Wind = Strong, Sun = Bright": the Modifying parents' states of column block b.
QString blockStates(const Problem &problem, const EptShape &shape, int b)
{
    QStringList states;
    for (int j = 1; j <= shape.noModParents(); ++j) {
        const int p = shape.modParent(j);
        states << QStringLiteral("%1 = %2").arg(
            problem.parentName(p),
            problem.parentStateName(blockModParentState(problem, shape, j, b), p));
    }
    return states.join(QStringLiteral(", "));
}

// The text followed by the Modifying parents' states of block b, when there are any.
QString withBlockStates(const QString &text, const Problem &problem, const EptShape &shape, int b)
{
    if (shape.noModParents() == 0)
        return text;
    return QStringLiteral("%1 (%2)").arg(text, blockStates(problem, shape, b));
}

// Which configuration of the Non-modifying parents EPT row r is.
QString rowDescription(const Problem &problem, const EptShape &shape, int r)
{
    QStringList states;
    int moved = 0;
    for (int i = 1; i <= shape.noNonModParents(); ++i) {
        const int p = shape.nonModParent(i);
        const int state = rowParentState(problem, shape, r, i);
        states << QStringLiteral("%1 = %2").arg(problem.parentName(p),
                                                problem.parentStateName(state, p));
        if (state != 1)
            moved = i;
    }
    if (r == 1)
        return QStringLiteral("Row %1: every Non-modifying parent in its most positive state (%2).")
            .arg(r)
            .arg(states.join(QStringLiteral(", ")));
    if (r == 2)
        return QStringLiteral(
                   "Row %1: every Non-modifying parent in its least positive state (%2).")
            .arg(r)
            .arg(states.join(QStringLiteral(", ")));
    Q_ASSERT(moved > 0); // every later row moves one parent off state 1
    const int p = shape.nonModParent(moved);
    const QString state = problem.parentStateName(rowParentState(problem, shape, r, moved), p);
    if (shape.noNonModParents() == 1)
        return QStringLiteral("Row %1: %2 moved to %3.").arg(r).arg(problem.parentName(p), state);
    return QStringLiteral("Row %1: %2 moved to %3, every other Non-modifying parent in its most "
                          "positive state.")
        .arg(r)
        .arg(problem.parentName(p), state);
}

} // namespace

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
        layout.rowToolTips.append(rowDescription(problem, shape, r));
    }

    const auto lineTop = [](int line) {
        return L::margin + L::lineHeight * (line - 1);
    };
    for (int j = 1; j <= noMod; ++j)
        layout.labels.append({QStringLiteral("labelMPname%1").arg(j),
                              QRectF(w - 1.9, lineTop(j), 1.9, L::lineHeight),
                              problem.parentName(shape.modParent(j)) + QLatin1Char(':'),
                              QString()});
    const int blocks = childStates > 0 ? cols / childStates : 0;
    for (int j = 1; j <= noMod; ++j) {
        const int p = shape.modParent(j);
        for (int b = 1; b <= blocks; ++b)
            layout.labels.append(
                {QStringLiteral("LabelMPstate%1%2").arg(j).arg(b),
                 QRectF(layout.columnLeft((b - 1) * childStates + 1), lineTop(j), 1.9,
                        L::lineHeight),
                 problem.parentStateName(blockModParentState(problem, shape, j, b), p),
                 QStringLiteral("Columns %1 to %2 (%3)")
                     .arg((b - 1) * childStates + 1)
                     .arg(b * childStates)
                     .arg(blockStates(problem, shape, b))});
    }
    layout.labels.append({QStringLiteral("LabelChildName"),
                          QRectF(w - 1.9, lineTop(noMod + 1), 1.9, L::lineHeight),
                          problem.childName + QLatin1Char(':'), QString()});
    // "Rain = Moderate (Wind = Strong)": the child state of column c in full, and its block.
    const auto columnStates = [&](int c) {
        return withBlockStates(
            QStringLiteral("%1 = %2").arg(problem.childName,
                                          problem.childStateName(columnChildState(c, childStates))),
            problem, shape, columnBlock(c, childStates));
    };
    for (int c = 1; c <= cols; ++c)
        layout.labels.append(
            {QStringLiteral("LabelChild%1").arg(c),
             QRectF(layout.columnLeft(c), lineTop(noMod + 1), L::cellWidth, L::lineHeight),
             problem.childStateName(columnChildState(c, childStates)).left(5), columnStates(c)});

    for (int r = 1; r <= shape.eptRows; ++r) {
        const QString &row = layout.rowToolTips.at(r - 1);
        for (int c = 1; c <= cols; ++c)
            layout.textFields.append(
                {QStringLiteral("Text%1").arg((r - 1) * cols + c),
                 QRectF(layout.columnLeft(c), layout.rowTop(r), L::cellWidth, L::lineHeight),
                 QString(),
                 QStringLiteral("%1\nColumn %2: %3")
                     .arg(row, QString::number(c), columnStates(c))});
    }
    return layout;
}

} // namespace vadazaz
