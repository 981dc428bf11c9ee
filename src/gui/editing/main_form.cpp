#include "gui/editing/main_form.h"

#include "core/ept/calculation.h"
#include "core/ept/readiness_check.h"
#include "core/network/cpt_network.h"
#include "core/store/problem.h"
#include "core/store/problem_file.h"
#include "core/store/recent_files.h"
#include "gui/about/form_about.h"
#include "gui/editing/form_child_state.h"
#include "gui/editing/form_import_node.h"
#include "gui/editing/form_notes.h"
#include "gui/editing/form_parent.h"
#include "gui/ept/form_ept.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/name_box.h"
#include "ui_main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLayout>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vadazaz {

namespace {

QString parentLabel(int p)
{
    return QStringLiteral("Parent %1").arg(p);
}

const QString noNameYet = QStringLiteral("(click Edit button)");

QString openTitle()
{
    return QStringLiteral("Open problem");
}

// Problem files are written with this suffix; the calculator's own .json files open too.
const QString problemSuffix = QStringLiteral("vadazaz");

} // namespace

MainForm::MainForm(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainForm>())
{
    ui->setupUi(this);
    ui->centralwidget->setFixedSize(twips(7515), twips(6930));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    setFont(controlFont());
    makeNameBox(ui->TextChildName);
    for (QLabel *heading : {ui->Label1, ui->Label4, ui->Label6})
        heading->setFont(headingFont());
    for (QLabel *label : {ui->Label2, ui->Label3, ui->Label5})
        label->setFont(labelFont());
    QFont bold = labelFont();
    bold.setBold(true);
    ui->Label5->setFont(bold);
    for (QLabel *note : {ui->Label7, ui->Label8})
        note->setFont(noteFont());
    for (QLabel *label :
         {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6, ui->Label7})
        label->adjustSize();
    ui->CommandEditEPT->setFont(namedFont(QStringLiteral("Times New Roman"), 12));

    QTableWidget *grid = ui->GridParentInfo;
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->setCornerButtonEnabled(false);
    // Rows as high as the table's font needs, as in a classic grid.
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(twips(255));
    grid->horizontalHeader()->setFixedHeight(twips(255));

    connect(ui->CommandEnterChildName, &QPushButton::clicked, this,
            &MainForm::CommandEnterChildName_Click);
    connect(ui->ComboNoChildStates, &ChoiceComboBox::chosen, this,
            &MainForm::ComboNoChildStates_Click);
    connect(ui->CommandEditChildStates, &QPushButton::clicked, this,
            &MainForm::CommandEditChildStates_Click);
    connect(ui->CommandAddParent, &QPushButton::clicked, this, &MainForm::CommandAddParent_Click);
    connect(ui->CommandDeleteParent, &QPushButton::clicked, this,
            &MainForm::CommandDeleteParent_Click);
    connect(ui->CommandEditParent, &QPushButton::clicked, this, &MainForm::CommandEditParent_Click);
    connect(ui->CommandEditEPT, &QPushButton::clicked, this, &MainForm::CommandEditEPT_Click);
    connect(ui->CommandExit, &QPushButton::clicked, this, &MainForm::CommandExit_Click);
    connect(ui->MenuAbout, &QAction::triggered, this, &MainForm::MenuAbout_Click);
    connect(ui->MenuNew, &QAction::triggered, this, &MainForm::MenuNew_Click);
    connect(ui->MenuOpen, &QAction::triggered, this, &MainForm::MenuOpen_Click);
    connect(ui->MenuSave, &QAction::triggered, this, &MainForm::MenuSave_Click);
    connect(ui->MenuSaveAs, &QAction::triggered, this, &MainForm::MenuSaveAs_Click);
    connect(ui->MenuNotes, &QAction::triggered, this, &MainForm::MenuNotes_Click);
    connect(ui->MenuImportNode, &QAction::triggered, this, &MainForm::MenuImportNode_Click);

    Form_Load();
    refreshRecentFiles();
}

MainForm::~MainForm() = default;

void MainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Form_Activate();
    }
}

void MainForm::setGridText(int row, int column, const QString &text)
{
    QTableWidget *grid = ui->GridParentInfo;
    QTableWidgetItem *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (column == 0) {
            // The first column is fixed: it names the row, like the heading row names columns.
            item->setBackground(grid->palette().button());
            item->setForeground(grid->palette().buttonText());
        }
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

void MainForm::Form_Load()
{
    QTableWidget *grid = ui->GridParentInfo;
    grid->setColumnCount(4);
    grid->setHorizontalHeaderLabels({QStringLiteral(" "), QStringLiteral("Name"),
                                     QStringLiteral("Type"), QStringLiteral("States")});
    const int widths[] = {800, 2000, 1200, 600};
    for (int column = 0; column < 4; ++column)
        grid->setColumnWidth(column, twips(widths[column]));
    grid->setRowCount(2);
    for (int p = 1; p <= 2; ++p) {
        setGridText(p - 1, 0, parentLabel(p));
        setGridText(p - 1, 1, noNameYet);
    }

    ui->ComboParent->setCurrentIndex(0);
    ui->ComboNoChildStates->choose(0);
    problem().initialise();
    selectedParent_ = 1;
    saved_ = problem();
    refreshTitle();
}

void MainForm::Form_Activate()
{
    refreshTitle();
    const Problem &store = problem();
    const int p = selectedParent_;
    if (p < 1 || p > store.noParents() || store.parentName(p).isEmpty())
        return;
    setGridText(p - 1, 1, store.parentName(p));
    setGridText(p - 1, 2, parentTypeName(store.parentType(p)));
    setGridText(p - 1, 3, QString::number(store.parentNoStates(p)));
}

template <typename Dialog>
void MainForm::openEditingDialog(std::unique_ptr<Dialog> &dialog, int selectedParent)
{
    if (!dialog)
        dialog = std::make_unique<Dialog>(problem(), this);
    if constexpr (std::is_same_v<Dialog, FormParent>)
        dialog->setSelectedParent(selectedParent);
    dialog->exec();
    if (dialog->closedByFrame())
        dialog.reset();
    Form_Activate();
}

void MainForm::CommandEnterChildName_Click()
{
    const QString name = ui->TextChildName->text();
    const QString title = QStringLiteral("Enter child name");
    if (name.isEmpty()) {
        showMessage(this, {title, QStringLiteral("A child name has NOT been entered.\r"
                                                 "Please type name of child in the box.")});
        return;
    }
    problem().childName = name;
    refreshTitle();
    showMessage(this,
                {title, QStringLiteral("A child name has been entered.\r"
                                       "If you want to, you will be able to change this later- "
                                       "simply enter\r"
                                       "a new name in the box and click on the Enter child name "
                                       "button.")});
}

void MainForm::ComboNoChildStates_Click(int index)
{
    problem().noChildStates = ui->ComboNoChildStates->itemText(index).toInt();
    refreshTitle();
}

void MainForm::CommandEditChildStates_Click()
{
    const QString title = QStringLiteral("Edit child state names");
    if (problem().childName.isEmpty()) {
        showMessage(this, {title, childNameMissingText()});
        return;
    }
    const QString count = ui->ComboNoChildStates->currentText();
    if (count != QStringLiteral("3") && count != QStringLiteral("2")) {
        showMessage(this, {title, QStringLiteral("Number of child states must be either 2 or 3.")});
        return;
    }
    problem().noChildStates = count.toInt();
    openEditingDialog(formChildState_);
}

void MainForm::CommandAddParent_Click()
{
    problem().appendParent();
    QTableWidget *grid = ui->GridParentInfo;
    const int n = grid->rowCount() + 1;
    grid->setRowCount(n);
    setGridText(n - 1, 0, parentLabel(n));
    setGridText(n - 1, 1, noNameYet);
    ui->ComboParent->addItem(parentLabel(n));
    ui->ComboParent->setCurrentIndex(ui->ComboParent->count() - 1);
    refreshTitle();
}

void MainForm::CommandDeleteParent_Click()
{
    if (!problem().removeLastParent()) {
        showMessage(this, {QStringLiteral("Delete parent"),
                           QStringLiteral("I'm sorry but you can't have less than 2 parents.")});
        return;
    }
    QTableWidget *grid = ui->GridParentInfo;
    grid->setRowCount(grid->rowCount() - 1);
    ui->ComboParent->removeItem(ui->ComboParent->count() - 1);
    ui->ComboParent->setCurrentIndex(ui->ComboParent->count() - 1);
    refreshTitle();
}

void MainForm::CommandEditParent_Click()
{
    const int index = ui->ComboParent->findText(ui->ComboParent->currentText(),
                                                Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        showMessage(this, {QStringLiteral("Edit parent"),
                           QStringLiteral("Please select a parent to enter from the drop down "
                                          "list.")});
        return;
    }
    selectedParent_ = index + 1;
    openEditingDialog(formParent_, selectedParent_);
}

void MainForm::CommandEditEPT_Click()
{
    const Result<EptShape> shape = eptShapeFor(problem());
    if (!shape) {
        showMessage(this, shape.failure());
        return;
    }
    {
        FormEPT form(problem(), *shape, this);
        form.exec();
        // What was typed stays with the problem, however the window closed. Stored entries that
        // do not fit the parents as they are now stay until the user types new ones.
        if (form.cellsChanged())
            problem().ept = form.cellTexts();
    }
    Form_Activate();
}

void MainForm::CommandExit_Click()
{
    const auto answer = dialogs().message(
        this,
        {QStringLiteral("Exit programme"),
         QStringLiteral("Are you sure you want to exit the programme?")},
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer != QMessageBox::Yes || !changesSetAside())
        return;
    exiting_ = true;
    QApplication::closeAllWindows();
    QApplication::quit();
}

void MainForm::closeEvent(QCloseEvent *event)
{
    if (!exiting_ && !changesSetAside()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainForm::MenuAbout_Click()
{
    FormAbout about(this);
    about.exec();
    Form_Activate();
}

QString MainForm::documentName() const
{
    return filePath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(filePath_).fileName();
}

void MainForm::refreshTitle()
{
    const bool modified = isModified();
    if (filePath_.isEmpty() && !modified)
        setWindowTitle(appTitle());
    else
        setWindowTitle(
            QStringLiteral("%1%2 - %3")
                .arg(documentName(), modified ? QStringLiteral("*") : QString(), appTitle()));
}

QString MainForm::problemFolder() const
{
    if (!filePath_.isEmpty())
        return QFileInfo(filePath_).absolutePath();
    const QString last = lastProblemFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool MainForm::changesSetAside()
{
    if (!isModified())
        return true;
    const auto answer = dialogs().message(
        this,
        {appTitle(), QStringLiteral("Do you want to save the changes to %1?").arg(documentName())},
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        MenuSave_Click();
        return !isModified();
    }
    return answer == QMessageBox::No;
}

void MainForm::showProblem()
{
    const Problem &store = problem();
    QTableWidget *grid = ui->GridParentInfo;
    grid->setRowCount(store.noParents());
    ui->ComboParent->clear();
    for (int p = 1; p <= store.noParents(); ++p) {
        const bool named = !store.parentName(p).isEmpty();
        setGridText(p - 1, 0, parentLabel(p));
        setGridText(p - 1, 1, named ? store.parentName(p) : noNameYet);
        setGridText(p - 1, 2, named ? parentTypeName(store.parentType(p)) : QString());
        setGridText(p - 1, 3, named ? QString::number(store.parentNoStates(p)) : QString());
        ui->ComboParent->addItem(parentLabel(p));
    }
    ui->ComboParent->setCurrentIndex(0);
    selectedParent_ = 1;
    ui->TextChildName->setText(store.childName);
    ui->ComboNoChildStates->setCurrentIndex(store.noChildStates == 3 ? 1 : 0);
    // The dialogs start afresh, the child's with the problem's state names in its boxes.
    formParent_.reset();
    formChildState_ = std::make_unique<FormChildState>(problem(), this);
    formChildState_->showStateNames();
    refreshTitle();
}

void MainForm::refreshRecentFiles()
{
    const QList<QAction *> old = ui->MenuFile->findChildren<QAction *>(
        QRegularExpression(QStringLiteral("^MenuRecent")), Qt::FindDirectChildrenOnly);
    qDeleteAll(old);
    const QStringList recent = recentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent.at(i);
        auto *action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), ui->MenuFile);
        action->setObjectName(QStringLiteral("MenuRecent%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { MenuRecent_Click(path); });
        ui->MenuFile->addAction(action);
    }
}

bool MainForm::openProblemFile(const QString &path)
{
    const Result<ProblemFile> read = readProblemFile(path);
    if (!read) {
        showMessage(this, {openTitle(), read.failure().text});
        return false;
    }
    problem() = read->problem;
    filePath_ = QFileInfo(path).absoluteFilePath();
    original_ = read->original;
    saved_ = problem();
    rememberRecentFile(filePath_);
    setLastProblemFolder(QFileInfo(filePath_).absolutePath());
    refreshRecentFiles();
    showProblem();
    return true;
}

bool MainForm::saveTo(const QString &path)
{
    const Result<void> saved = saveProblemFile(path, problem(), original_);
    if (!saved) {
        showMessage(this, saved.failure());
        return false;
    }
    filePath_ = QFileInfo(path).absoluteFilePath();
    saved_ = problem();
    rememberRecentFile(filePath_);
    setLastProblemFolder(QFileInfo(filePath_).absolutePath());
    refreshRecentFiles();
    refreshTitle();
    return true;
}

void MainForm::MenuNew_Click()
{
    if (!changesSetAside())
        return;
    problem().initialise();
    filePath_.clear();
    original_ = {};
    saved_ = problem();
    showProblem();
}

void MainForm::MenuOpen_Click()
{
    if (!changesSetAside())
        return;
    const QString path = dialogs().openFileName(
        this, QStringLiteral("Problem files (*.%1 *.json)|*.%1;*.json").arg(problemSuffix),
        problemFolder());
    if (!path.isEmpty())
        openProblemFile(path);
}

void MainForm::MenuSave_Click()
{
    if (filePath_.isEmpty())
        MenuSaveAs_Click();
    else
        saveTo(filePath_);
}

void MainForm::MenuSaveAs_Click()
{
    const QString path =
        dialogs().saveFileName(this, QStringLiteral("Problem files (*.%1)|*.%1").arg(problemSuffix),
                               problemFolder(), problemSuffix);
    if (!path.isEmpty())
        saveTo(path);
}

void MainForm::MenuNotes_Click()
{
    FormNotes notes(problem().notes, this);
    if (notes.exec() == QDialog::Accepted)
        problem().notes = notes.notes();
    Form_Activate();
}

void MainForm::MenuImportNode_Click()
{
    if (!changesSetAside())
        return;
    QStringList patterns;
    for (const NetworkFormatInfo &info : networkFormats()) {
        if (info.readable)
            patterns << QStringLiteral("*.%1").arg(info.suffix);
    }
    patterns << QStringLiteral("*.xmlbif") << QStringLiteral("*.bifxml");
    const QString path = dialogs().openFileName(
        this,
        QStringLiteral("Network files (%1)|%2")
            .arg(patterns.join(QLatin1Char(' ')), patterns.join(QLatin1Char(';'))),
        problemFolder());
    if (path.isEmpty())
        return;
    const QString title = QStringLiteral("Import node from network");
    const std::optional<NetworkFormat> format = networkFormatOfFile(path);
    if (!format) {
        showMessage(this, {title, QStringLiteral("%1 is not a network file this program reads.")
                                      .arg(QDir::toNativeSeparators(path))});
        return;
    }
    const Result<QByteArray> bytes = networkFileBytes(path);
    if (!bytes) {
        showMessage(this, bytes.failure());
        return;
    }
    const Result<Network> network = readNetwork(*format, *bytes, QFileInfo(path).fileName());
    if (!network) {
        showMessage(this, network.failure());
        return;
    }
    FormImportNode choice(*network, this);
    if (choice.exec() != QDialog::Accepted)
        return;
    const Result<Problem> taken = problemFromNode(*network, QFileInfo(path).absoluteFilePath(),
                                                  choice.node(), choice.reversed());
    if (!taken) {
        showMessage(this, taken.failure());
        return;
    }
    // A new problem, not yet in a problem file of its own.
    problem() = *taken;
    filePath_.clear();
    original_ = {};
    saved_ = Problem();
    showProblem();
}

void MainForm::MenuRecent_Click(const QString &path)
{
    if (!changesSetAside())
        return;
    if (!QFileInfo::exists(path)) {
        forgetRecentFile(path);
        refreshRecentFiles();
        showMessage(this, {openTitle(), QStringLiteral("The file %1 no longer exists. It has been "
                                                       "taken off the list of recent files.")
                                            .arg(QDir::toNativeSeparators(path))});
        return;
    }
    openProblemFile(path);
}

} // namespace vadazaz
