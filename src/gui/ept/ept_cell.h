#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace vadazaz {

// One cell of the EPT window: a text box that takes a spreadsheet's keys. Enter and the Down
// arrow ask for the cell below, Shift+Enter and the Up arrow for the one above; a paste that
// holds several cells is handed to the window, a single value pastes into the cell as usual.
class EptCell : public QLineEdit
{
    Q_OBJECT

public:
    explicit EptCell(QWidget *parent = nullptr);

    // Replaces the text as one change that Undo takes back (setText would forget what Undo
    // knows).
    void replaceText(const QString &text);

Q_SIGNALS:
    // The cell the given number of rows down (up when negative) is asked for.
    void stepRequested(int rows);
    // A text of several cells was pasted into this cell.
    void blockPasted(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Hands the clipboard's text to the window when it holds several cells, and says whether it
    // did; a single value is left to the usual paste.
    bool pastedBlock(QClipboard::Mode mode);
};

} // namespace vadazaz
