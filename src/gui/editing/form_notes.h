#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FormNotes;
}

namespace vadazaz {

// The elicitation's record, typed as free text: who gave the judgement, when, why. OK hands the
// text back; Cancel, Esc or the frame leave it as it was.
class FormNotes : public QDialog
{
    Q_OBJECT
public:
    explicit FormNotes(const QString &notes, QWidget *parent = nullptr);
    ~FormNotes() override;

    QString notes() const;

private:
    std::unique_ptr<Ui::FormNotes> ui;
};

} // namespace vadazaz
