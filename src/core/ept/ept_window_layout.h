#pragma once

#include "core/base/result.h"
#include "core/ept/ept_shape.h"
#include "core/store/problem.h"

#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace vadazaz {

// The window's scale: centimetres, shown at 96 dots per inch.
inline constexpr double pixelsPerCentimetre = 96.0 / 2.54;
int centimetresToPixels(double centimetres);
double pixelsToCentimetres(int pixels);
// A rectangle in centimetres as whole pixels, each edge rounded on its own so that controls
// that touch in centimetres touch on the screen.
QRect centimetresToPixels(const QRectF &centimetres);

// One control that the EPT window builds at run time: its name, place and size in centimetres,
// its text, and its tooltip, which says what it stands for.
struct EptLayoutItem
{
    QString name;
    QRectF place;
    QString text;
    QString toolTip;
};

// Everything that the EPT window lays out at run time, in centimetres, worked out from the
// problem and its EPT shape without any window.
struct EptWindowLayout
{
    // The layout constants.
    static constexpr double margin = 0.2;
    static constexpr double cellWidth = 0.85;
    static constexpr double columnPitch = 1.05;
    static constexpr double lineHeight = 0.42;
    static constexpr double usableWidth = 20.5;
    static constexpr double usableHeight = 14.5;
    static constexpr double headingColumnAllowance = 2.6;
    static constexpr double firstCellOffset = 0.5;
    // Every column of the table is 1400 twips wide.
    static constexpr int tableColumnTwips = 1400;
    // The totals of a row stand this far right of its last cell, one column pitch apart.
    static constexpr double totalsGap = 0.2;

    double dataWidth = 0;     // D
    float tableWidth = 0;     // W, single precision as the program holds it
    double headingHeight = 0; // H

    QRectF table;                  // GridEPT
    QString tableFormat;           // "<A|<B": the headings, left-aligned
    QStringList tableHeadings;     // the Non-modifying parents' names
    QList<QStringList> tableCells; // [EPT row - 1][column]: the state names of each row
    QStringList rowToolTips;       // [EPT row - 1]: which configuration of the parents it is

    // "labelMPname" j, "LabelMPstate" j b, LabelChildName, "LabelChild" c and, over the totals,
    // "LabelTotalHeading" b, in the order in which the window creates them.
    QList<EptLayoutItem> labels;
    // "Text" n for n = 1 .. eptRows × eptCols, row by row.
    QList<EptLayoutItem> textFields;
    // "LabelTotal" r b: the total of block b of EPT row r, row by row; the text is the typing's.
    QList<EptLayoutItem> totals;

    // X(c): the left edge of EPT column c.
    double columnLeft(int c) const { return double(tableWidth) + 0.4 + (c - 1) * columnPitch; }
    // The top of the text fields of EPT row r.
    double rowTop(int r) const
    {
        return headingHeight + margin + firstCellOffset + lineHeight * (r - 1);
    }
    // The left edge of the totals of column block b.
    double totalLeft(int b) const;
    // The smallest area that holds every control, the table down to its last row, with a margin
    // to the right and below. The table may reach further down where the window has room.
    QRectF contentArea() const;

    int eptRows = 0;
    int eptCols = 0;
};

EptWindowLayout eptWindowLayout(const Problem &problem, const EptShape &shape);

// What the window shows beside one block of a row while it is typed: the exact total of the cells
// that hold numbers in 0..100 (nothing while every cell is blank), and why the total and each
// cell are marked, if they are. The marks only advise; "Calculate CPT" checks the EPT on its own.
struct EptBlockCheck
{
    QString total;
    QString problem;          // empty: the total is not marked
    QStringList cellProblems; // one per cell of the block; empty: the cell is not marked
};
// The block's cells as typed, the first of them in EPT column firstColumn.
EptBlockCheck checkEptBlock(const QStringList &cells, int firstColumn, QStringView decimalPoint);

// Whether a pasted text holds several cells: a TAB, a ";" or a line end.
bool holdsSeveralCells(QStringView text);
// The cells of a pasted block, as spreadsheets and text editors put them on the clipboard: rows
// separated by LF, CR LF or CR (a line end at the very end ends the last row), cells by TAB or
// ";", each without the blanks around it. Refused when the block does not fit into the EPT from
// row, column on (the rows as wide as the widest).
Result<QList<QStringList>> pastedCells(QStringView text, int row, int column, int eptRows,
                                       int eptCols);
// The EPT's cells as a spreadsheet takes them: cells separated by TAB, each row ended by a line
// end. TABs and line ends inside a cell become blanks.
QString cellsAsText(const QList<QStringList> &rows);

} // namespace vadazaz
