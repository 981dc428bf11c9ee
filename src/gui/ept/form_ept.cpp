#include "gui/ept/form_ept.h"

#include "core/ept/ept_validation.h"
#include "core/output/cpt_file.h"
#include "core/output/viewer_text.h"
#include "gui/output/form_show_cpt.h"
#include "gui/output/form_view_cpt_file.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"

#include "core/base/save_file.h"
#include "core/network/cpt_network.h"
#include "gui/ept/ept_cell.h"
#include "gui/ept/form_export.h"

#include "ui_form_ept.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace vadazaz {

namespace {

const QColor windowColour(128, 128, 255);
const QColor buttonColour(192, 192, 255);
// A cell or total that needs a look.
const QColor markColour(255, 176, 176);

// The hourglass over the program while it works, restored however the work ends.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
    void restore()
    {
        if (busy_)
            QApplication::restoreOverrideCursor();
        busy_ = false;
    }

private:
    bool busy_ = true;
};

QString decimalPoint()
{
    return QLocale::system().decimalPoint();
}

} // namespace

FormEPT::FormEPT(const Problem &problem, const EptShape &shape, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormEPT>()), problem_(problem), shape_(shape)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, windowColour);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    ui->ScrollEPT->viewport()->setAutoFillBackground(false);
    ui->ContentEPT->setAutoFillBackground(false);

    const QFont buttonFont = namedFont(QStringLiteral("Times New Roman"), 9.75);
    for (QPushButton *button :
         {ui->CommandCalcCPT, ui->CommandViewFile, ui->CommandSaveCpt, ui->CommandCancel,
          ui->CommandExportCpt, ui->CommandWriteIntoNetwork, ui->CommandShowCpt}) {
        QPalette face = button->palette();
        face.setColor(QPalette::Button, buttonColour);
        button->setPalette(face);
        button->setFont(buttonFont);
    }

    connect(ui->CommandCalcCPT, &QPushButton::clicked, this, &FormEPT::CommandCalcCPT_Click);
    connect(ui->CommandSaveCpt, &QPushButton::clicked, this, &FormEPT::CommandSaveCpt_Click);
    connect(ui->CommandViewFile, &QPushButton::clicked, this, &FormEPT::CommandViewFile_Click);
    connect(ui->CommandShowCpt, &QPushButton::clicked, this, &FormEPT::CommandShowCpt_Click);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &FormEPT::CommandCancel_Click);
    connect(ui->CommandExportCpt, &QPushButton::clicked, this, &FormEPT::CommandExportCpt_Click);
    connect(ui->CommandWriteIntoNetwork, &QPushButton::clicked, this,
            &FormEPT::CommandWriteIntoNetwork_Click);
    ui->LabelStoredEpt->setFont(controlFont());

    copyEpt_ = new QAction(QStringLiteral("Copy EPT"), this);
    copyEpt_->setObjectName(QStringLiteral("ActionCopyEpt"));
    copyEpt_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyEpt_->setShortcutContext(Qt::WindowShortcut);
    addAction(copyEpt_);
    connect(copyEpt_, &QAction::triggered, this, &FormEPT::CopyEpt_Click);

    Form_Load();
}

FormEPT::~FormEPT() = default;

QWidget *FormEPT::content() const
{
    return ui->ContentEPT;
}

void FormEPT::Form_Load()
{
    const EptShape &shape = shape_;
    layout_ = eptWindowLayout(problem_, shape);
    QWidget *area = ui->ContentEPT;

    auto *grid = new QTableWidget(area);
    grid->setObjectName(QStringLiteral("GridEPT"));
    grid->setGeometry(centimetresToPixels(layout_.table));
    grid->setRowCount(shape.eptRows);
    grid->setColumnCount(shape.noNonModParents());
    grid->setFont(controlFont());
    grid->horizontalHeader()->setFont(controlFont());
    grid->setProperty("formatString", layout_.tableFormat);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->setHorizontalHeaderLabels(layout_.tableHeadings);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setMinimumSectionSize(1);
    const int columnWidth = twips(EptWindowLayout::tableColumnTwips);
    // Below and beside its cells the table is grey, as far as it reaches.
    QPalette gridPalette = grid->palette();
    gridPalette.setColor(QPalette::Base, QColor(128, 128, 128));
    grid->setPalette(gridPalette);
    for (int c = 0; c < shape.noNonModParents(); ++c) {
        grid->setColumnWidth(c, columnWidth);
        for (int r = 1; r <= shape.eptRows; ++r) {
            auto *cell = new QTableWidgetItem(layout_.tableCells.at(r - 1).at(c));
            cell->setBackground(Qt::white);
            grid->setItem(r - 1, c, cell);
        }
    }
    // The heading row is 0.5 cm high and each data row 0.42 cm, so that every row heading is
    // level with its text fields; the pixel heights follow the rounded tops of the fields.
    const int gridTop = grid->geometry().top() + grid->frameWidth();
    const auto fieldTop = [this](int r) {
        return centimetresToPixels(layout_.rowTop(r));
    };
    grid->horizontalHeader()->setFixedHeight(fieldTop(1) - gridTop);
    for (int r = 1; r <= shape.eptRows; ++r)
        grid->setRowHeight(r - 1, fieldTop(r + 1) - fieldTop(r));

    for (int r = 1; r <= shape.eptRows; ++r)
        for (int c = 0; c < shape.noNonModParents(); ++c)
            grid->item(r - 1, c)->setToolTip(layout_.rowToolTips.at(r - 1));

    const QFont font = controlFont();
    const auto makeLabel = [&](const EptLayoutItem &item) {
        auto *label = new QLabel(item.text, area);
        label->setObjectName(item.name);
        label->setGeometry(centimetresToPixels(item.place));
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setToolTip(item.toolTip);
        QPalette background = label->palette();
        background.setColor(QPalette::Window, windowColour);
        label->setPalette(background);
        label->setAutoFillBackground(true);
        return label;
    };
    for (const auto &item : std::as_const(layout_.labels))
        makeLabel(item);
    QWidget *previous = ui->CommandSaveCpt;
    for (const auto &item : std::as_const(layout_.textFields)) {
        const int n = int(fields_.size());
        auto *field = new EptCell(area);
        field->setObjectName(item.name);
        field->setGeometry(centimetresToPixels(item.place));
        field->setFont(font);
        field->setTextMargins(0, 0, 0, 0);
        field->setToolTip(item.toolTip);
        field->addAction(copyEpt_);
        setTabOrder(previous, field);
        previous = field;
        fields_.append(field);
        connect(field, &QLineEdit::textChanged, this, [this, n] { Text_Change(n); });
        connect(field, &EptCell::stepRequested, this, [this, n](int rows) { Text_Move(n, rows); });
        connect(field, &EptCell::blockPasted, this,
                [this, n](const QString &text) { Text_PasteBlock(n, text); });
    }
    for (const auto &item : std::as_const(layout_.totals))
        totals_.append(makeLabel(item));

    // The entries kept with the problem, when they fit the EPT as it is now.
    const QList<QStringList> &kept = problem_.ept;
    const bool fits = kept.size() == shape.eptRows &&
                      std::all_of(kept.begin(), kept.end(), [&](const QStringList &row) {
                          return row.size() == shape.eptCols;
                      });
    if (fits) {
        for (int r = 0; r < shape.eptRows; ++r)
            for (int c = 0; c < shape.eptCols; ++c)
                fields_.at(r * shape.eptCols + c)->setText(kept.at(r).at(c));
    }
    ui->LabelStoredEpt->setVisible(!fits && !kept.isEmpty());
    opened_ = cellTexts();
    for (int r = 1; r <= shape.eptRows; ++r)
        for (int b = 1; b <= shape.eptCols / problem_.noChildStates; ++b)
            showTotal(r, b);

    fitWindow();
}

void FormEPT::fitWindow()
{
    QTableWidget *grid = ui->ContentEPT->findChild<QTableWidget *>(QStringLiteral("GridEPT"));
    QScrollArea *scroll = ui->ScrollEPT;
    // The table shows every row, and its scroll bar, when its columns are wider than it, below
    // them; it reaches no further down than designed.
    const int frame = grid->frameWidth();
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    const bool gridScrolls = grid->horizontalHeader()->length() > grid->width() - 2 * frame;
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int gridNeeds = centimetresToPixels(layout_.rowTop(shape_.eptRows + 1)) - grid->y() +
                          frame + (gridScrolls ? bar : 0);
    const int margin = centimetresToPixels(EptWindowLayout::margin);
    QSize needed = centimetresToPixels(layout_.contentArea()).size();
    needed.setHeight(std::max(needed.height(), grid->y() + gridNeeds + margin));

    // The window as designed, larger when the controls need it, up to the screen's free area
    // less the frame that the desktop puts around a window like the one it opens from.
    const QSize designed = size();
    const int buttons = designed.width() - scroll->width();
    QWidget *host = parentWidget() ? parentWidget()->window() : this;
    const QSize frameAround = host != this && host->isVisible()
                                  ? host->frameGeometry().size() - host->size()
                                  : QSize(0, 0);
    const QSize screen = host->screen()->availableGeometry().size() - frameAround;
    const int roomWidth = std::max(screen.width(), designed.width()) - buttons;
    const int roomHeight = std::max(screen.height(), designed.height());
    QSize area(std::max(designed.width() - buttons, needed.width()),
               std::max(designed.height(), needed.height()));
    // A scroll bar takes room from the other direction: the window grows by it where it can.
    bool across = area.width() > roomWidth;
    if (across) {
        area.setWidth(roomWidth);
        area.setHeight(area.height() + bar);
    }
    const bool down = area.height() > roomHeight;
    if (down) {
        area.setHeight(roomHeight);
        if (!across)
            area.setWidth(area.width() + bar);
        if (area.width() > roomWidth) {
            area.setWidth(roomWidth);
            across = true;
        }
    }
    const QSize viewport(area.width() - (down ? bar : 0), area.height() - (across ? bar : 0));
    const QSize content = needed.expandedTo(viewport);
    ui->ContentEPT->resize(content);
    grid->resize(grid->width(),
                 std::clamp(content.height() - margin - grid->y(), gridNeeds,
                            std::max(gridNeeds, centimetresToPixels(layout_.table).height())));

    // The buttons and the note keep their places at the window's right, the buttons at its foot.
    const QSize grown = QSize(area.width() + buttons, area.height()) - designed;
    for (QWidget *widget : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (widget != scroll)
            widget->move(widget->pos() +
                         QPoint(grown.width(), widget == ui->LabelStoredEpt ? 0 : grown.height()));
    }
    scroll->setGeometry(0, 0, area.width(), area.height());
    setFixedSize(area.width() + buttons, area.height());
}

void FormEPT::showTotal(int r, int b)
{
    const int states = problem_.noChildStates;
    const int cols = shape_.eptCols;
    const int first = (b - 1) * states + 1;
    QStringList cells;
    for (int c = first; c < first + states; ++c)
        cells.append(fields_.at((r - 1) * cols + c - 1)->text());
    const EptBlockCheck check = checkEptBlock(cells, first, decimalPoint());

    const auto mark = [](QWidget *widget, QPalette::ColorRole role, const QColor &plain,
                         const QString &problem, const QString &toolTip) {
        const QColor colour = problem.isEmpty() ? plain : markColour;
        if (widget->palette().color(role) != colour) {
            QPalette palette = widget->palette();
            palette.setColor(role, colour);
            widget->setPalette(palette);
        }
        widget->setToolTip(problem.isEmpty() ? toolTip
                                             : QStringLiteral("%1\n%2").arg(problem, toolTip));
    };
    const qsizetype total = qsizetype(r - 1) * (cols / states) + (b - 1);
    QLabel *label = totals_.at(total);
    label->setText(check.total);
    mark(label, QPalette::Window, windowColour, check.problem, layout_.totals.at(total).toolTip);
    const QColor plainBase = QApplication::palette().color(QPalette::Base);
    for (int k = 0; k < states; ++k) {
        const qsizetype n = qsizetype(r - 1) * cols + first - 1 + k;
        mark(fields_.at(n), QPalette::Base, plainBase, check.cellProblems.at(k),
             layout_.textFields.at(n).toolTip);
    }
}

void FormEPT::Text_Change(int n)
{
    const int cols = shape_.eptCols;
    showTotal(n / cols + 1, columnBlock(n % cols + 1, problem_.noChildStates));
}

void FormEPT::Text_Move(int n, int rows)
{
    // Enter in the last row, like the Down arrow there, stays in its cell.
    const qsizetype to = n + qsizetype(rows) * shape_.eptCols;
    if (to < 0 || to >= fields_.size())
        return;
    fields_.at(to)->setFocus(Qt::TabFocusReason);
    ui->ScrollEPT->ensureWidgetVisible(fields_.at(to));
}

void FormEPT::Text_PasteBlock(int n, const QString &text)
{
    const int cols = shape_.eptCols;
    const int row = n / cols + 1;
    const int column = n % cols + 1;
    const Result<QList<QStringList>> block =
        pastedCells(text, row, column, shape_.eptRows, shape_.eptCols);
    if (!block) {
        showMessage(this, block.failure());
        return;
    }
    for (qsizetype i = 0; i < block->size(); ++i)
        for (qsizetype j = 0; j < block->at(i).size(); ++j)
            fields_.at((row - 1 + i) * cols + column - 1 + j)->replaceText(block->at(i).at(j));
}

void FormEPT::CopyEpt_Click()
{
    QGuiApplication::clipboard()->setText(cellsAsText(cellTexts()));
}

QList<QStringList> FormEPT::cellTexts() const
{
    QList<QStringList> rows;
    for (qsizetype n = 0; n < fields_.size(); ++n) {
        if (n % shape_.eptCols == 0)
            rows.append(QStringList());
        rows.last().append(fields_.at(n)->text());
    }
    return rows;
}

void FormEPT::CommandCalcCPT_Click()
{
    QStringList cells;
    cells.reserve(fields_.size());
    for (const EptCell *field : std::as_const(fields_))
        cells.append(field->text());
    BusyCursor busy;
    Result<Calculation> calculation = calculateCpt(problem_, shape_, cells, decimalPoint());
    busy.restore();
    if (!calculation) {
        showMessage(this, calculation.failure());
        return;
    }
    cpt_ = std::move(calculation->cpt);
    if (calculation->warning)
        showMessage(this, *calculation->warning);

    ui->CommandSaveCpt->setEnabled(true);
    ui->CommandShowCpt->setEnabled(true);
    ui->CommandExportCpt->setEnabled(true);
    ui->CommandWriteIntoNetwork->setEnabled(!problem_.networkFile.isEmpty());
    const auto answer = dialogs().message(
        this,
        {calculateCptTitle(),
         QStringLiteral("CPT calculated successfully.\rDo you want to save the CPT?")},
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        SaveCPT();
        ui->CommandViewFile->setEnabled(true);
    } else {
        showMessage(this, {calculateCptTitle(), QStringLiteral("CPT not saved.")});
    }
}

void FormEPT::CommandSaveCpt_Click()
{
    SaveCPT();
}

void FormEPT::SaveCPT()
{
    if (!cpt_)
        return;
    const Message question{
        saveCptTitle(),
        QStringLiteral(
            "Do you want to save the parent state names with the conditional probabilities?")};
    const auto answer =
        dialogs().message(this, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
        showMessage(this, {saveCptTitle(), QStringLiteral("File not saved.")});
        return;
    }
    const CptLayout layout = answer == QMessageBox::Yes ? CptLayout::Labelled : CptLayout::Plain;

    const QString path = dialogs().saveFileName(this, fileFilter());
    if (path.isEmpty())
        return;

    BusyCursor busy;
    const Result<void> saved = saveCptFile(path, layout, problem_, *cpt_, decimalPoint());
    busy.restore();
    if (!saved)
        showMessage(this, saved.failure());
}

void FormEPT::CommandViewFile_Click()
{
    const QString path = dialogs().openFileName(this, fileFilter());
    if (path.isEmpty())
        return;

    // The viewer holds the file while it is shown and lets go of it when it closes.
    std::unique_ptr<FormViewCptFile> viewer;
    {
        BusyCursor busy;
        ViewerRead read = readViewerFile(path);
        if (!read) {
            busy.restore();
            showMessage(this, read.failure());
            return;
        }
        viewer = std::make_unique<FormViewCptFile>(std::move(read).value(), this);
    }
    viewer->exec();
}

void FormEPT::CommandShowCpt_Click()
{
    if (!cpt_)
        return;
    FormShowCpt window(problem_, *cpt_, decimalPoint(), this);
    window.exec();
}

Result<void> FormEPT::saveBytes(const QString &path, const QByteArray &bytes)
{
    return saveFile(
        path, [&](QIODevice &file) { return file.write(bytes) == bytes.size(); },
        [](const QString &file, const QString &reason) {
            return Message{
                QStringLiteral("Export CPT"),
                QStringLiteral("The CPT could not be written to %1.\r%2").arg(file, reason)};
        });
}

void FormEPT::CommandExportCpt_Click()
{
    if (!cpt_)
        return;
    FormExport choice(this);
    if (choice.exec() != QDialog::Accepted)
        return;
    const NetworkFormatInfo &format = networkFormatInfo(choice.format());
    const Result<QByteArray> file =
        cptNetworkFile(format.format, problem_, *cpt_, choice.decimals());
    if (!file) {
        showMessage(this, file.failure());
        return;
    }
    const QString path = dialogs().saveFileName(
        this, QStringLiteral("%1 files (*.%2)|*.%2").arg(format.description, format.suffix), {},
        format.suffix);
    if (path.isEmpty())
        return;
    if (const Result<void> saved = saveBytes(path, *file); !saved)
        showMessage(this, saved.failure());
}

void FormEPT::CommandWriteIntoNetwork_Click()
{
    if (!cpt_ || problem_.networkFile.isEmpty())
        return;
    const QString network = problem_.networkFile;
    const auto answer = dialogs().message(
        this,
        {writeBackTitle(),
         QStringLiteral("Write the CPT into the node %1 of %2?\rYes writes into that file; No "
                        "writes into a copy of it that you name. Nothing else in the network "
                        "changes.")
             .arg(problem_.networkNode, network)},
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No)
        return;
    const std::optional<NetworkFormat> format = networkFormatOfFile(network);
    const Result<QByteArray> bytes = networkFileBytes(network);
    if (!bytes || !format) {
        showMessage(this, bytes ? Message{writeBackTitle(),
                                          QStringLiteral("%1 is not a network file this program "
                                                         "reads.")
                                              .arg(network)}
                                : bytes.failure());
        return;
    }
    const Result<QByteArray> written =
        cptWrittenInto(*bytes, *format, QFileInfo(network).fileName(), problem_, *cpt_,
                       FormExport::lastDecimals());
    if (!written) {
        showMessage(this, written.failure());
        return;
    }
    QString path = network;
    if (answer == QMessageBox::No) {
        const NetworkFormatInfo &info = networkFormatInfo(*format);
        path = dialogs().saveFileName(
            this, QStringLiteral("%1 files (*.%2)|*.%2").arg(info.description, info.suffix),
            QFileInfo(network).absolutePath(), QFileInfo(network).suffix());
        if (path.isEmpty())
            return;
    }
    if (const Result<void> saved = saveBytes(path, *written); !saved)
        showMessage(this, saved.failure());
}

void FormEPT::CommandCancel_Click()
{
    reject();
}

} // namespace vadazaz
