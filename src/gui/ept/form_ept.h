#pragma once

#include "core/ept/calculation.h"
#include "core/ept/ept_window_layout.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Ui {
class FormEPT;
}

class QAction;
class QLabel;

namespace vadazaz {

class EptCell;

// The elicited probability table window, built for a problem and its EPT shape, which "Edit EPT"
// has derived and checked just before. The typed figures and the CPT belong to one opening and go
// with the window.
class FormEPT : public QDialog
{
    Q_OBJECT

public:
    FormEPT(const Problem &problem, const EptShape &shape, QWidget *parent = nullptr);
    ~FormEPT() override;

    const EptWindowLayout &windowLayout() const { return layout_; }
    // The cells as they stand, row by row.
    QList<QStringList> cellTexts() const;
    // Whether the cells differ from what the window opened with.
    bool cellsChanged() const { return cellTexts() != opened_; }

    // The CPT of the last successful "Calculate CPT", or nothing before it.
    const std::optional<Cpt> &cpt() const { return cpt_; }
    // The widget that holds the controls built at run time and scrolls inside the window.
    QWidget *content() const;

    static QString fileFilter() { return QStringLiteral("Text files (*.TXT)|*.TXT"); }
    // Saves a file's bytes, with the message of a failed save.
    static Result<void> saveBytes(const QString &path, const QByteArray &bytes);

private:
    void Form_Load();
    void CommandCalcCPT_Click();
    void CommandSaveCpt_Click();
    void CommandViewFile_Click();
    void CommandShowCpt_Click();
    void CommandExportCpt_Click();
    void CommandWriteIntoNetwork_Click();
    void CommandCancel_Click();
    void CopyEpt_Click();
    // Cell n (counted from 0, row by row) changed, asked for the cell rows further down, or took
    // a pasted block.
    void Text_Change(int n);
    void Text_Move(int n, int rows);
    void Text_PasteBlock(int n, const QString &text);
    // Writes the CPT to a file the user picks, in the layout the user asks for.
    void SaveCPT();
    // Shows the total of block b of row r and marks it and its cells when they need a look.
    void showTotal(int r, int b);
    // Sizes the window so that everything built at run time shows, as far as the screen allows,
    // and lays out the scroll area, the table's height and the buttons to fit.
    void fitWindow();

    std::unique_ptr<Ui::FormEPT> ui;
    const Problem problem_;
    const EptShape shape_;
    EptWindowLayout layout_;
    QList<EptCell *> fields_; // "Text1", "Text2", … row by row
    QList<QLabel *> totals_;  // "LabelTotal" r b, row by row
    QAction *copyEpt_ = nullptr;
    QList<QStringList> opened_; // the cells as the window opened
    std::optional<Cpt> cpt_;
};

} // namespace vadazaz
