#include "gui/output/form_view_cpt_file.h"

#include "gui/widgets/fonts.h"
#include "core/output/viewer_text.h"

#include "ui_form_view_cpt_file.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <limits>
#include <stdexcept>

namespace vadazaz {

namespace {

// Characters handed to the box in one piece at most, for files of very long lines.
constexpr qsizetype charactersPerPiece = qsizetype(4) << 20;

// The end of the piece that starts at from: after linesPerPiece line ends or
// charactersPerPiece characters, never between the CR and the LF of a line end.
qsizetype pieceEnd(const QString &text, qsizetype from, qsizetype lines)
{
    const qsizetype limit = std::min(text.size(), from + charactersPerPiece);
    qsizetype at = from;
    for (qsizetype found = 0; found < lines; ++found) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), at);
        if (lf < 0 || lf >= limit) {
            at = limit;
            break;
        }
        at = lf + 1;
    }
    if (at < text.size() && at > from && text.at(at - 1) == QLatin1Char('\r'))
        ++at;
    return at;
}

// The piece as the box shows it: a lone LF stays inside its line, as a line separator that
// breaks the line on the screen without starting another line of the file.
QString displayed(QStringView piece)
{
    QString shown = piece.toString();
    qsizetype lf = shown.indexOf(QLatin1Char('\n'));
    while (lf >= 0) {
        if (lf == 0 || shown.at(lf - 1) != QLatin1Char('\r'))
            shown[lf] = QChar::LineSeparator;
        lf = shown.indexOf(QLatin1Char('\n'), lf + 1);
    }
    return shown;
}

} // namespace

qsizetype FormViewCptFile::maximumLength()
{
    // The box counts its characters in an int.
    return std::numeric_limits<int>::max() - 1;
}

FormViewCptFile::FormViewCptFile(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormViewCptFile>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QFont fixed = namedFont(QStringLiteral("Lucida Console"), 9.75);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    ui->TextViewCpt->setFont(fixed);
    // Tab stops every eight characters, as in a text box of the system.
    ui->TextViewCpt->setTabStopDistance(8 *
                                        QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')));

    ui->CommandOK->setFont(namedFont(QStringLiteral("Times New Roman"), 12));

    connect(ui->CommandOK, &QPushButton::clicked, this, &FormViewCptFile::CommandOK_Click);

    Form_Load();
}

FormViewCptFile::~FormViewCptFile() = default;

void FormViewCptFile::Form_Load()
{
    text_ = viewerText();
    if (text_.size() > maximumLength())
        throw std::length_error("The text is too long for the viewer.");
    QPlainTextEdit *box = ui->TextViewCpt;
    box->document()->setUndoRedoEnabled(false);
    next_ = pieceEnd(text_, 0, linesPerPiece);
    box->setPlainText(displayed(QStringView(text_).first(next_)));
    if (!isLoading()) {
        box->document()->setUndoRedoEnabled(true);
        text_.clear();
        next_ = 0;
        return;
    }
    pieces_ = new QTimer(this);
    pieces_->setInterval(0);
    connect(pieces_, &QTimer::timeout, this, &FormViewCptFile::appendPiece);
    pieces_->start();
}

void FormViewCptFile::appendPiece()
{
    QPlainTextEdit *box = ui->TextViewCpt;
    const qsizetype end = pieceEnd(text_, next_, linesPerPiece);
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayed(QStringView(text_).sliced(next_, end - next_)));
    next_ = end;
    if (isLoading())
        return;
    pieces_->stop();
    box->document()->setUndoRedoEnabled(true);
    text_.clear();
    next_ = 0;
    Q_EMIT loaded();
}

void FormViewCptFile::CommandOK_Click()
{
    accept();
}

} // namespace vadazaz
