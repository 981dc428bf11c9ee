#pragma once

#include "core/output/viewer_text.h"

#include <QAbstractScrollArea>
#include <QString>

#include <unordered_map>
#include <vector>

namespace vadazaz {

class CptFileViewAccessible;

// A read-only view of a file in the fixed-pitch font it is given: it draws only the rows on
// screen, straight from the file's bytes and index, so that a file of a million rows shows at
// once, and of a long row it decodes only the part on screen. Rows are not wrapped; both scroll
// bars are always shown, the horizontal one as wide as the widest row seen so far. TAB stops are
// every 8 columns; control characters show as their symbols (NUL as U+2400).
//
// The cursor moves with the usual keys (arrows, Page Up and Down, Home and End, Ctrl+Home and
// Ctrl+End), Shift and the mouse select, Ctrl+A selects everything, and Ctrl+C or the context
// menu copies the selection. What is typed changes nothing. Screen readers read the rows on
// screen through the accessibility interface.
class CptFileView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CptFileView(QWidget *parent = nullptr);
    ~CptFileView() override;

    // Shows the file from its start; an empty file shows nothing and frees the one shown.
    void setFile(ViewerFile file);

    void selectAll();
    // Puts the selection, rows joined by LF, on the clipboard.
    void copy() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class CptFileViewAccessible;

    // A place in the file: a row and the byte in it at which a character starts (or the row's
    // end).
    struct Place
    {
        qsizetype row = 0;
        qsizetype byte = 0;
        friend auto operator<=>(const Place &, const Place &) = default;
    };
    enum class Move {
        NextChar,
        PreviousChar,
        NextRow,
        PreviousRow,
        NextPage,
        PreviousPage,
        RowStart,
        RowEnd,
        FileStart,
        FileEnd
    };
    // A character on screen: where it is in its row, its column and where its text starts in
    // the screen's text.
    struct Cell
    {
        qsizetype byte;
        qint64 column;
        int text;
    };
    // A row on screen: its characters on screen, where the part on screen ends, and where the
    // row's text starts and ends in the screen's text.
    struct ScreenRow
    {
        qsizetype row;
        std::vector<Cell> cells;
        RowPlace end;
        int textStart;
        int textEnd;
    };

    RowColumns columnsOf(qsizetype row) const;
    qint64 columnOf(Place place) const;
    Place placeAtColumn(qsizetype row, qint64 column) const;
    Place step(Place place, Move move) const;
    Place placeAtPoint(QPoint point) const;
    QRectF cellRect(qsizetype screenRow, qint64 column, qint64 columns) const;
    QRect characterRect(int offset) const;
    int offsetAtPoint(QPoint global) const;

    void moveCursor(Move move, bool select);
    void setCursorPlace(Place place, bool select);
    void ensureVisible(Place place);
    void updateMetrics();
    void updateScrollBars() const;
    void widen(qint64 columns) const;
    int fullRows() const;
    int fullColumns() const;
    QString selectedText() const;

    const std::vector<ScreenRow> &screen() const;
    void screenChanged();
    void notifyCursor();
    // The character of the row on screen at offset of the screen's text; the end of the cells
    // for the row's end.
    static std::vector<Cell>::const_iterator cellAt(const ScreenRow &shown, int offset);
    int offsetOf(Place place) const;
    Place placeOfOffset(int offset) const;

    ViewerFile file_;
    mutable std::unordered_map<qsizetype, RowColumns> longRows_;
    mutable std::vector<ScreenRow> screen_;
    mutable QString screenText_;
    mutable bool screenValid_ = false;
    Place cursor_;
    Place anchor_;
    qint64 wantedColumn_ = 0; // kept while the cursor moves up and down
    mutable qint64 widest_ = 0;
    qreal charWidth_ = 8;
    int lineHeight_ = 16;
    qreal ascent_ = 12;
};

} // namespace vadazaz
