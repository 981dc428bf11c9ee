#include "core/ept/ept_window_layout.h"

#include "core/ept/ept_validation.h"

#include <algorithm>
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

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isCellSeparator(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char(';');
}

// "3 rows of 4 cells", "1 row of 1 cell".
QString blockSize(qsizetype rows, qsizetype cells)
{
    if (rows == 1 && cells == 1)
        return QStringLiteral("1 row of 1 cell");
    if (rows == 1)
        return QStringLiteral("1 row of %1 cells").arg(cells);
    if (cells == 1)
        return QStringLiteral("%1 rows of 1 cell").arg(rows);
    return QStringLiteral("%1 rows of %2 cells").arg(rows).arg(cells);
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

double EptWindowLayout::totalLeft(int b) const
{
    return columnLeft(eptCols + 1) + totalsGap + (b - 1) * columnPitch;
}

QRectF EptWindowLayout::contentArea() const
{
    QRectF area = table;
    area.setBottom(rowTop(eptRows + 1));
    for (const auto &item : labels + textFields + totals)
        area |= item.place;
    return QRectF(0, 0, area.right() + margin, area.bottom() + margin);
}

EptWindowLayout eptWindowLayout(const Problem &problem, const EptShape &shape)
{
    using L = EptWindowLayout;
    EptWindowLayout layout;
    layout.eptRows = shape.eptRows;
    layout.eptCols = shape.eptCols;
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
    // "Total of columns 4 to 6 (Wind = Strong)": what the totals of block b add up.
    const auto blockTotal = [&](int b) {
        return withBlockStates(QStringLiteral("Total of columns %1 to %2")
                                   .arg((b - 1) * childStates + 1)
                                   .arg(b * childStates),
                               problem, shape, b);
    };
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
    for (int b = 1; b <= blocks; ++b)
        layout.labels.append(
            {QStringLiteral("LabelTotalHeading%1").arg(b),
             QRectF(layout.totalLeft(b), lineTop(noMod + 1), L::cellWidth, L::lineHeight),
             QStringLiteral("Total"),
             QStringLiteral("%1\nEach row's total must be 100.").arg(blockTotal(b))});

    for (int r = 1; r <= shape.eptRows; ++r) {
        const QString &row = layout.rowToolTips.at(r - 1);
        for (int c = 1; c <= cols; ++c)
            layout.textFields.append(
                {QStringLiteral("Text%1").arg((r - 1) * cols + c),
                 QRectF(layout.columnLeft(c), layout.rowTop(r), L::cellWidth, L::lineHeight),
                 QString(),
                 QStringLiteral("%1\nColumn %2: %3")
                     .arg(row, QString::number(c), columnStates(c))});
        for (int b = 1; b <= blocks; ++b)
            layout.totals.append(
                {QStringLiteral("LabelTotal%1%2").arg(r).arg(b),
                 QRectF(layout.totalLeft(b), layout.rowTop(r), L::cellWidth, L::lineHeight),
                 QString(), QStringLiteral("%1\n%2").arg(row, blockTotal(b))});
    }
    return layout;
}

EptBlockCheck checkEptBlock(const QStringList &cells, int firstColumn, QStringView decimalPoint)
{
    EptBlockCheck check;
    ExactDecimalSum sum;
    bool typed = false;
    QString firstProblem;
    for (qsizetype k = 0; k < cells.size(); ++k) {
        const int column = firstColumn + int(k);
        const QString &text = cells.at(k);
        typed = typed || !text.trimmed().isEmpty();
        const std::optional<EptNumber> number = parseEptNumber(text, decimalPoint);
        QString problem;
        if (!number) {
            if (!text.trimmed().isEmpty())
                problem = QStringLiteral("Not a number.");
            if (firstProblem.isEmpty())
                firstProblem =
                    QStringLiteral("Non-numeric or missing entry in column %1.").arg(column);
        } else if (!isInEptRange(*number)) {
            problem = QStringLiteral("Not between 0 and 100 inclusive.");
            if (firstProblem.isEmpty())
                firstProblem =
                    QStringLiteral("Column %1 is not between 0 and 100 inclusive.").arg(column);
        } else {
            sum.add(*number);
        }
        check.cellProblems.append(problem);
    }
    if (!typed)
        return check;
    check.total = sum.text(decimalPoint);
    check.problem = !firstProblem.isEmpty() ? firstProblem
                    : sum.equals(100)
                        ? QString()
                        : QStringLiteral("The total is %1, not 100.").arg(check.total);
    return check;
}

bool holdsSeveralCells(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return isLineEnd(c) || isCellSeparator(c); });
}

Result<QList<QStringList>> pastedCells(QStringView text, int row, int column, int eptRows,
                                       int eptCols)
{
    QList<QStringList> rows{QStringList{QString()}};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isLineEnd(c)) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (i + 1 < text.size())
                rows.append(QStringList{QString()});
        } else if (isCellSeparator(c)) {
            rows.last().append(QString());
        } else {
            rows.last().last().append(c);
        }
    }
    qsizetype width = 0;
    for (QStringList &cells : rows) {
        for (QString &cell : cells)
            cell = cell.trimmed();
        width = std::max(width, cells.size());
    }
    const int roomRows = eptRows - row + 1;
    const int roomCells = eptCols - column + 1;
    if (rows.size() > roomRows || width > roomCells)
        return Message{QStringLiteral("Paste"),
                       QStringLiteral("The pasted block has %1; from row %2, column %3 there is "
                                      "room for %4.")
                           .arg(blockSize(rows.size(), width))
                           .arg(row)
                           .arg(column)
                           .arg(blockSize(roomRows, roomCells))};
    return rows;
}

QString cellsAsText(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row) {
            for (QChar &c : cell)
                if (isLineEnd(c) || c == QLatin1Char('\t'))
                    c = QLatin1Char(' ');
            cells << cell;
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

} // namespace vadazaz
