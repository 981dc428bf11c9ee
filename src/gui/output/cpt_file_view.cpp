#include "gui/output/cpt_file_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>

namespace vadazaz {

namespace {

// The room between the frame and the text, as in the program's other text boxes.
constexpr int margin = 4;

// Characters that the fixed-pitch font draws one column wide, so that a run of them is drawn at
// once.
bool drawnInRuns(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF && u != 0xAD);
}

// A character as the screen shows it: a control character other than TAB as its symbol.
void appendShown(QString &text, char32_t code)
{
    if (code < 0x20 && code != U'\t')
        text.append(QChar(char16_t(0x2400 + code)));
    else if (code == 0x7F)
        text.append(QChar(char16_t(0x2421)));
    else if (QChar::requiresSurrogates(code))
        text.append(QChar(QChar::highSurrogate(code))).append(QChar(QChar::lowSurrogate(code)));
    else
        text.append(QChar(char16_t(code)));
}

bool isZeroWidth(char32_t code)
{
    return code != U'\t' && columnAfter(code, 0) == 0;
}

} // namespace

// What screen readers, and tests that drive the window from outside, read: the text of the rows
// on screen, as far as they are on screen, one LF between rows.
class CptFileViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit CptFileViewAccessible(CptFileView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || selectionCount() == 0)
            return;
        *startOffset = view()->offsetOf(std::min(view()->anchor_, view()->cursor_));
        *endOffset = view()->offsetOf(std::max(view()->anchor_, view()->cursor_));
    }
    int selectionCount() const override { return view()->anchor_ != view()->cursor_ ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int) override { view()->setCursorPlace(view()->cursor_, false); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        const CptFileView::Place from = view()->placeOfOffset(startOffset);
        const CptFileView::Place to = view()->placeOfOffset(endOffset);
        view()->anchor_ = from;
        view()->setCursorPlace(to, true);
    }
    int cursorPosition() const override { return view()->offsetOf(view()->cursor_); }
    void setCursorPosition(int position) override
    {
        view()->setCursorPlace(view()->placeOfOffset(position), false);
    }
    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int offset) const override { return view()->characterRect(offset); }
    int offsetAtPoint(const QPoint &point) const override { return view()->offsetAtPoint(point); }
    void scrollToSubstring(int startIndex, int) override
    {
        view()->ensureVisible(view()->placeOfOffset(startIndex));
    }
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    CptFileView *view() const { return static_cast<CptFileView *>(widget()); }
    const QString &shown() const
    {
        view()->screen();
        return view()->screenText_;
    }
};

namespace {

QAccessibleInterface *accessibleView(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(CptFileView::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new CptFileViewAccessible(static_cast<CptFileView *>(object));
    return nullptr;
}

} // namespace

CptFileView::CptFileView(QWidget *parent) : QAbstractScrollArea(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleView);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
    updateScrollBars();
}

CptFileView::~CptFileView() = default;

void CptFileView::setFile(ViewerFile file)
{
    file_ = std::move(file);
    longRows_.clear();
    cursor_ = anchor_ = {};
    wantedColumn_ = 0;
    widest_ = 0;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    screenChanged();
    viewport()->update();
}

void CptFileView::selectAll()
{
    const qsizetype rows = file_.rowCount();
    anchor_ = {};
    cursor_ = rows == 0 ? Place() : Place{rows - 1, file_.row(rows - 1).size()};
    viewport()->update();
    notifyCursor();
}

void CptFileView::copy() const
{
    if (anchor_ == cursor_)
        return;
    try {
        QApplication::clipboard()->setText(selectedText());
    } catch (const std::exception &) {
        QApplication::beep(); // too little memory for a copy of the selection
    }
}

QString CptFileView::selectedText() const
{
    const Place from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    QString text;
    for (qsizetype r = from.row; r <= to.row; ++r) {
        const QByteArrayView bytes = file_.row(r);
        const qsizetype start = r == from.row ? from.byte : 0;
        const qsizetype end = r == to.row ? to.byte : bytes.size();
        text += textOf(bytes.sliced(start, end - start));
        if (r < to.row)
            text += QLatin1Char('\n');
    }
    return text;
}

RowColumns CptFileView::columnsOf(qsizetype row) const
{
    const QByteArrayView bytes = file_.row(row);
    if (bytes.size() < RowColumns::stride)
        return RowColumns(bytes);
    // Long rows are measured once; what is kept of them is a small part of their size.
    auto found = longRows_.find(row);
    if (found == longRows_.end())
        found = longRows_.emplace(row, RowColumns(bytes)).first;
    return found->second;
}

qint64 CptFileView::columnOf(Place place) const
{
    return columnsOf(place.row).columnOf(file_.row(place.row), place.byte);
}

CptFileView::Place CptFileView::placeAtColumn(qsizetype row, qint64 column) const
{
    return {row, columnsOf(row).placeAt(file_.row(row), column).byte};
}

CptFileView::Place CptFileView::step(Place place, Move move) const
{
    const qsizetype rows = file_.rowCount();
    if (rows == 0)
        return {};
    const Place last{rows - 1, file_.row(rows - 1).size()};
    const QByteArrayView bytes = file_.row(place.row);
    switch (move) {
    case Move::NextChar:
        if (place.byte == bytes.size())
            return place.row + 1 < rows ? Place{place.row + 1, 0} : place;
        // Combining marks go with the character before them.
        do
            place.byte += charAt(bytes, place.byte).length;
        while (place.byte < bytes.size() && isZeroWidth(charAt(bytes, place.byte).code));
        return place;
    case Move::PreviousChar:
        if (place.byte == 0)
            return place.row > 0 ? Place{place.row - 1, file_.row(place.row - 1).size()} : place;
        do
            place.byte = charStart(bytes, place.byte - 1);
        while (place.byte > 0 && isZeroWidth(charAt(bytes, place.byte).code));
        return place;
    case Move::NextRow:
    case Move::PreviousRow:
    case Move::NextPage:
    case Move::PreviousPage: {
        const qsizetype by = move == Move::NextRow       ? 1
                             : move == Move::PreviousRow ? -1
                             : move == Move::NextPage    ? fullRows()
                                                         : -fullRows();
        const qsizetype row = place.row + by;
        if (row < 0)
            return {};
        if (row >= rows)
            return last;
        return placeAtColumn(row, wantedColumn_);
    }
    case Move::RowStart:
        return {place.row, 0};
    case Move::RowEnd:
        return {place.row, bytes.size()};
    case Move::FileStart:
        return {};
    case Move::FileEnd:
        return last;
    }
    return place;
}

CptFileView::Place CptFileView::placeAtPoint(QPoint point) const
{
    const qsizetype rows = file_.rowCount();
    if (rows == 0)
        return {};
    // Above the rows on screen only while the mouse is dragged past the top.
    const qsizetype down = point.y() < 0 ? -1 : std::max(0, point.y() - margin) / lineHeight_;
    const qsizetype row = std::clamp<qsizetype>(verticalScrollBar()->value() + down, 0, rows - 1);
    const qreal column =
        std::max(0.0, horizontalScrollBar()->value() + (point.x() - margin) / charWidth_);
    const QByteArrayView bytes = file_.row(row);
    const RowPlace at = columnsOf(row).placeAt(bytes, qint64(column));
    Place place{row, at.byte};
    // Past the middle of a character, the place after it.
    if (at.byte < bytes.size()) {
        const qint64 after = columnAfter(charAt(bytes, at.byte).code, at.column);
        if (column - qreal(at.column) > qreal(after - at.column) / 2)
            place = step(place, Move::NextChar);
    }
    return place;
}

QRectF CptFileView::cellRect(qsizetype screenRow, qint64 column, qint64 columns) const
{
    return {margin + qreal(column - horizontalScrollBar()->value()) * charWidth_,
            qreal(margin + screenRow * lineHeight_), qreal(columns) * charWidth_,
            qreal(lineHeight_)};
}

void CptFileView::moveCursor(Move move, bool select)
{
    const bool vertical = move == Move::NextRow || move == Move::PreviousRow ||
                          move == Move::NextPage || move == Move::PreviousPage;
    const qint64 wanted = wantedColumn_;
    const Place place = step(cursor_, move);
    // A page down moves the rows on screen by a page too, as far as they go.
    if (move == Move::NextPage || move == Move::PreviousPage)
        verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                      (move == Move::NextPage ? fullRows() : -fullRows()));
    setCursorPlace(place, select);
    if (vertical)
        wantedColumn_ = wanted;
}

void CptFileView::setCursorPlace(Place place, bool select)
{
    cursor_ = place;
    if (!select)
        anchor_ = place;
    wantedColumn_ = file_.rowCount() > 0 ? columnOf(place) : 0;
    ensureVisible(place);
    viewport()->update();
    notifyCursor();
}

void CptFileView::ensureVisible(Place place)
{
    if (file_.rowCount() == 0)
        return;
    QScrollBar *rows = verticalScrollBar();
    if (place.row < rows->value())
        rows->setValue(int(place.row));
    else if (place.row >= rows->value() + fullRows())
        rows->setValue(int(place.row - fullRows() + 1));
    widen(columnsOf(place.row).width());
    const qint64 column = columnOf(place);
    QScrollBar *columns = horizontalScrollBar();
    if (column < columns->value())
        columns->setValue(int(column));
    else if (column >= columns->value() + fullColumns())
        columns->setValue(int(std::min<qint64>(column - fullColumns() + 1, INT_MAX)));
}

void CptFileView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    charWidth_ = std::max(1.0, metrics.horizontalAdvance(QLatin1Char(' ')));
    lineHeight_ = std::max(1, int(std::ceil(metrics.lineSpacing())));
    ascent_ = metrics.ascent();
}

int CptFileView::fullRows() const
{
    return std::max(1, (viewport()->height() - margin) / lineHeight_);
}

int CptFileView::fullColumns() const
{
    return std::max(1, int((viewport()->width() - margin) / charWidth_));
}

void CptFileView::updateScrollBars() const
{
    // Rows and columns are the steps of the scroll bars; the last row can come to the bottom
    // and a column for the cursor after the end of the widest row.
    QScrollBar *rows = verticalScrollBar();
    rows->setRange(0, int(std::clamp<qsizetype>(file_.rowCount() - fullRows(), 0, INT_MAX)));
    rows->setPageStep(fullRows());
    QScrollBar *columns = horizontalScrollBar();
    columns->setRange(0, int(std::clamp<qint64>(widest_ + 1 - fullColumns(), 0, INT_MAX)));
    columns->setPageStep(fullColumns());
}

void CptFileView::widen(qint64 columns) const
{
    if (columns <= widest_)
        return;
    widest_ = columns;
    updateScrollBars();
}

const std::vector<CptFileView::ScreenRow> &CptFileView::screen() const
{
    if (screenValid_)
        return screen_;
    screen_.clear();
    screenText_.clear();
    const qsizetype top = verticalScrollBar()->value();
    const qsizetype shownRows = (viewport()->height() - margin + lineHeight_ - 1) / lineHeight_;
    const qint64 left = horizontalScrollBar()->value();
    const qint64 right = left + qint64(std::ceil((viewport()->width() - margin) / charWidth_));
    qint64 widest = 0;
    for (qsizetype r = top; r < std::min(file_.rowCount(), top + shownRows); ++r) {
        const QByteArrayView bytes = file_.row(r);
        const RowColumns columns = columnsOf(r);
        widest = std::max(widest, columns.width());
        if (r > top)
            screenText_.append(QLatin1Char('\n'));
        ScreenRow shown{r, {}, {}, int(screenText_.size()), 0};
        RowPlace place = columns.placeAt(bytes, left);
        while (place.byte < bytes.size() && place.column < right) {
            const RowChar c = charAt(bytes, place.byte);
            shown.cells.push_back({place.byte, place.column, int(screenText_.size())});
            appendShown(screenText_, c.code);
            place = {place.byte + c.length, columnAfter(c.code, place.column)};
        }
        shown.end = place;
        shown.textEnd = int(screenText_.size());
        screen_.push_back(std::move(shown));
    }
    screenValid_ = true;
    // The horizontal scroll bar reaches as far as the widest row seen.
    widen(widest);
    return screen_;
}

void CptFileView::screenChanged()
{
    screenValid_ = false;
    if (!QAccessible::isActive())
        return;
    const QString before = screenText_;
    screen();
    QAccessibleTextUpdateEvent event(this, 0, before, screenText_);
    QAccessible::updateAccessibility(&event);
}

void CptFileView::notifyCursor()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextCursorEvent cursor(this, offsetOf(cursor_));
    QAccessible::updateAccessibility(&cursor);
    QAccessibleTextSelectionEvent selection(this, offsetOf(std::min(anchor_, cursor_)),
                                            offsetOf(std::max(anchor_, cursor_)));
    QAccessible::updateAccessibility(&selection);
}

int CptFileView::offsetOf(Place place) const
{
    const auto &rows = screen();
    if (rows.empty() || place.row < rows.front().row)
        return 0;
    if (place.row > rows.back().row)
        return int(screenText_.size());
    const ScreenRow &shown = rows[std::size_t(place.row - rows.front().row)];
    if (shown.cells.empty() || place.byte <= shown.cells.front().byte)
        return shown.textStart;
    if (place.byte >= shown.end.byte)
        return shown.textEnd;
    const auto cell = std::upper_bound(shown.cells.begin(), shown.cells.end(), place.byte,
                                       [](qsizetype byte, const Cell &c) { return byte < c.byte; });
    return (cell - 1)->text;
}

std::vector<CptFileView::Cell>::const_iterator CptFileView::cellAt(const ScreenRow &shown,
                                                                   int offset)
{
    if (offset >= shown.textEnd)
        return shown.cells.end();
    const auto cell = std::upper_bound(shown.cells.begin(), shown.cells.end(), offset,
                                       [](int text, const Cell &c) { return text < c.text; });
    return cell == shown.cells.begin() ? cell : cell - 1;
}

CptFileView::Place CptFileView::placeOfOffset(int offset) const
{
    const auto &rows = screen();
    for (const ScreenRow &shown : rows) {
        if (offset > shown.textEnd)
            continue;
        const auto cell = cellAt(shown, offset);
        return {shown.row, cell == shown.cells.end() ? shown.end.byte : cell->byte};
    }
    return rows.empty() ? Place() : Place{rows.back().row, rows.back().end.byte};
}

QRect CptFileView::characterRect(int offset) const
{
    const auto &rows = screen();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ScreenRow &shown = rows[i];
        if (offset < shown.textStart || offset > shown.textEnd)
            continue;
        // The line end after a row is a column wide.
        const auto cell = cellAt(shown, offset);
        const bool end = cell == shown.cells.end();
        const qint64 column = end ? shown.end.column : cell->column;
        const qint64 after = end                             ? column + 1
                             : cell + 1 == shown.cells.end() ? shown.end.column
                                                             : (cell + 1)->column;
        const QRect local = cellRect(qsizetype(i), column, after - column).toAlignedRect();
        return {viewport()->mapToGlobal(local.topLeft()), local.size()};
    }
    return {};
}

int CptFileView::offsetAtPoint(QPoint global) const
{
    const QPoint point = viewport()->mapFromGlobal(global);
    const auto &rows = screen();
    if (!viewport()->rect().contains(point) || point.y() < margin)
        return -1;
    const std::size_t i = std::size_t((point.y() - margin) / lineHeight_);
    if (i >= rows.size())
        return -1;
    const ScreenRow &shown = rows[i];
    const qreal column = horizontalScrollBar()->value() + (point.x() - margin) / charWidth_;
    for (std::size_t k = 0; k < shown.cells.size(); ++k) {
        const qint64 after =
            k + 1 < shown.cells.size() ? shown.cells[k + 1].column : shown.end.column;
        if (column >= qreal(shown.cells[k].column) && column < qreal(after))
            return shown.cells[k].text;
    }
    return -1;
}

void CptFileView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QPalette &colours = palette();
    painter.fillRect(event->rect(), colours.base());
    painter.setFont(font());
    const Place from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    const auto &rows = screen();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ScreenRow &shown = rows[i];
        const auto &cells = shown.cells;
        const auto selected = [&](qsizetype byte) {
            const Place place{shown.row, byte};
            return from <= place && place < to;
        };
        const auto columnAfterCell = [&](std::size_t k) {
            return k + 1 < cells.size() ? cells[k + 1].column : shown.end.column;
        };
        const auto textOfCell = [&](std::size_t k) {
            const int end = k + 1 < cells.size() ? cells[k + 1].text : shown.textEnd;
            return QStringView(screenText_).sliced(cells[k].text, end - cells[k].text);
        };
        // The selection, and the line end after the row when the selection goes on past it.
        for (std::size_t k = 0; k < cells.size(); ++k)
            if (selected(cells[k].byte))
                painter.fillRect(
                    cellRect(qsizetype(i), cells[k].column, columnAfterCell(k) - cells[k].column),
                    colours.highlight());
        if (shown.end.byte == file_.row(shown.row).size() && selected(shown.end.byte))
            painter.fillRect(cellRect(qsizetype(i), shown.end.column, 1), colours.highlight());

        // Runs of plain characters at once; any other character, with the combining marks
        // after it, in its own cell.
        const qreal baseline = margin + qreal(i) * lineHeight_ + ascent_;
        QString run;
        QPointF runAt;
        bool runSelected = false;
        const auto draw = [&](const QString &text, QPointF at, bool isSelected) {
            painter.setPen(colours.color(isSelected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(at, text);
        };
        for (std::size_t k = 0; k < cells.size(); ++k) {
            const QStringView text = textOfCell(k);
            const bool isSelected = selected(cells[k].byte);
            const QPointF at(cellRect(qsizetype(i), cells[k].column, 0).left(), baseline);
            const bool marked =
                k + 1 < cells.size() && cells[k + 1].column == columnAfterCell(k + 1);
            if (!run.isEmpty() && (isSelected != runSelected || text.size() != 1 ||
                                   !drawnInRuns(text.front()) || marked)) {
                draw(run, runAt, runSelected);
                run.clear();
            }
            if (text.size() == 1 && drawnInRuns(text.front()) && !marked) {
                if (run.isEmpty()) {
                    runAt = at;
                    runSelected = isSelected;
                }
                run.append(text.front());
                continue;
            }
            if (text == u"\t")
                continue;
            QString cluster = text.toString();
            while (k + 1 < cells.size() && cells[k + 1].column == columnAfterCell(k + 1))
                cluster.append(textOfCell(++k));
            draw(cluster, at, isSelected);
        }
        if (!run.isEmpty())
            draw(run, runAt, runSelected);
    }

    // The cursor, while the view has the keyboard.
    if (hasFocus() && !rows.empty() && cursor_.row >= rows.front().row &&
        cursor_.row <= rows.back().row) {
        const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
        const QRectF cell = cellRect(cursor_.row - rows.front().row, columnOf(cursor_), 0);
        painter.fillRect(QRectF(cell.left(), cell.top(), std::max(1, width), cell.height()),
                         colours.text());
    }
}

void CptFileView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    screenChanged();
}

void CptFileView::scrollContentsBy(int, int)
{
    screenChanged();
    viewport()->update();
}

void CptFileView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
        screenChanged();
        viewport()->update();
    }
}

void CptFileView::keyPressEvent(QKeyEvent *event)
{
    struct Binding
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Move motion;
    };
    static constexpr Binding bindings[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Move::NextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Move::PreviousChar},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Move::NextRow},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Move::PreviousRow},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Move::NextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Move::PreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Move::RowStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Move::RowEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Move::FileStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Move::FileEnd},
    };
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    for (const Binding &binding : bindings) {
        const bool select = event->matches(binding.select);
        if (select || event->matches(binding.move)) {
            moveCursor(binding.motion, select);
            return;
        }
    }
    // Nothing else changes the view: what is typed goes on to the window (Escape closes it).
    event->ignore();
}

void CptFileView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setCursorPlace(placeAtPoint(event->position().toPoint()),
                   event->modifiers().testFlag(Qt::ShiftModifier));
}

void CptFileView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        setCursorPlace(placeAtPoint(event->position().toPoint()), true);
}

void CptFileView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copying = menu.addAction(QStringLiteral("&Copy"));
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(anchor_ != cursor_);
    connect(copying, &QAction::triggered, this, &CptFileView::copy);
    QAction *all = menu.addAction(QStringLiteral("Select &All"));
    all->setShortcut(QKeySequence::SelectAll);
    connect(all, &QAction::triggered, this, &CptFileView::selectAll);
    menu.exec(event->globalPos());
}

void CptFileView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CptFileView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace vadazaz
