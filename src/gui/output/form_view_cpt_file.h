#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class FormViewCptFile;
}

class QTimer;

namespace vadazaz {

// The CPT file viewer: shows viewerText() in the multi-line box TextViewCpt, in a
// fixed-pitch font without wrapping. What the user types into the box is discarded with the
// window; OK or the window's frame closes it.
//
// A text of many lines is handed to the box in pieces of whole lines: the first piece at once,
// the others between events, so that a file of a million lines neither keeps the window from
// appearing nor freezes it while the rest arrives.
class FormViewCptFile : public QDialog
{
    Q_OBJECT

public:
    // Throws std::length_error for a text longer than the box can hold.
    explicit FormViewCptFile(QWidget *parent = nullptr);
    ~FormViewCptFile() override;

    // Whether part of the text is still to be handed to the box.
    bool isLoading() const { return next_ < text_.size(); }

    // Lines handed to the box in one piece.
    static constexpr qsizetype linesPerPiece = 16384;
    // The longest text the box holds.
    static qsizetype maximumLength();

Q_SIGNALS:
    // The whole text is in the box.
    void loaded();

private:
    void Form_Load();
    void CommandOK_Click();
    void appendPiece();

    std::unique_ptr<Ui::FormViewCptFile> ui;
    QString text_;       // the text being shown
    qsizetype next_ = 0; // where the next piece starts
    QTimer *pieces_ = nullptr;
};

} // namespace vadazaz
