#include "gui/output/form_show_cpt.h"

#include "gui/output/cpt_table_model.h"
#include "gui/output/probability_bar_delegate.h"
#include "gui/widgets/fonts.h"

#include "ui_form_show_cpt.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace vadazaz {

FormShowCpt::FormShowCpt(const Problem &problem, const Cpt &cpt, const QString &decimalPoint,
                         QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormShowCpt>()),
      model_(new CptTableModel(CptTable(problem, cpt, decimalPoint), this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->CommandOK->setFont(namedFont(QStringLiteral("Times New Roman"), 12));
    connect(ui->CommandOK, &QPushButton::clicked, this, &FormShowCpt::CommandOK_Click);
    Form_Load();
}

FormShowCpt::~FormShowCpt() = default;

void FormShowCpt::Form_Load()
{
    const CptTable &table = model_->table();
    const QFont font = controlFont();
    const QFontMetrics metrics(font);

    // One drop-down per parent, in the order of the table's columns.
    for (int p = 1; p <= table.noParents(); ++p) {
        auto *label = new QLabel(table.parentHeading(p) + QLatin1Char(':'), ui->ContentFilter);
        label->setObjectName(QStringLiteral("LabelFilter%1").arg(p));
        label->setTextFormat(Qt::PlainText);
        label->setFont(font);
        auto *combo = new QComboBox(ui->ContentFilter);
        combo->setObjectName(QStringLiteral("ComboFilter%1").arg(p));
        combo->setFont(font);
        combo->addItem(QStringLiteral("any"));
        for (int s = 1; s <= table.parentNoStates(p); ++s)
            combo->addItem(table.stateName(p, s));
        ui->filterRow->addWidget(label);
        ui->filterRow->addWidget(combo);
        connect(combo, &QComboBox::currentIndexChanged, this, &FormShowCpt::ComboFilter_Change);
        filters_.append(combo);
    }
    ui->filterRow->addStretch();
    ui->ScrollFilter->setFixedHeight(ui->ContentFilter->sizeHint().height() +
                                     ui->ScrollFilter->horizontalScrollBar()->sizeHint().height());

    // Every row as high as the others, so that the view measures none of them.
    QTableView *view = ui->TableCpt;
    view->setFont(font);
    view->horizontalHeader()->setFont(font);
    view->verticalHeader()->setFont(font);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setModel(model_);

    const int padding = 16;
    view->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("EPT")) + padding);
    for (int p = 1; p <= table.noParents(); ++p) {
        int widest = metrics.horizontalAdvance(table.parentHeading(p));
        for (int s = 1; s <= table.parentNoStates(p); ++s)
            widest = std::max(widest, metrics.horizontalAdvance(table.stateName(p, s)));
        view->setColumnWidth(p, widest + padding);
    }
    auto *bars = new ProbabilityBarDelegate(CptTableModel::PercentRole, this);
    QStyleOptionViewItem item;
    item.initFrom(view);
    item.font = font;
    item.fontMetrics = metrics;
    for (int c = 1; c <= table.noChildStates(); ++c) {
        const int column = model_->firstChildColumn() + c - 1;
        view->setItemDelegateForColumn(column, bars);
        view->setColumnWidth(column,
                             std::max(metrics.horizontalAdvance(table.childHeading(c)) + padding,
                                      bars->sizeHint(item, model_->index(0, column)).width()));
    }

    ui->ActionCopy->setShortcut(QKeySequence::Copy);
    ui->ActionSelectAll->setShortcut(QKeySequence::SelectAll);
    for (QAction *action : {ui->ActionCopy, ui->ActionSelectAll}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        view->addAction(action);
    }
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(ui->ActionCopy, &QAction::triggered, this, &FormShowCpt::copySelection);
    connect(ui->ActionSelectAll, &QAction::triggered, view, &QTableView::selectAll);

    ui->ChartJudgement->setFont(font);
    ui->ChartJudgement->setTable(table);
    // Room beyond what the chart needs goes to the table.
    ui->SplitterCpt->setStretchFactor(0, 1);
    ui->SplitterCpt->setStretchFactor(1, 0);

    ComboFilter_Change();
}

void FormShowCpt::ComboFilter_Change()
{
    QList<int> wanted;
    for (const QComboBox *combo : std::as_const(filters_))
        wanted.append(combo->currentIndex());
    model_->setFilter(wanted);
    ui->LabelRows->setText(
        QStringLiteral("%1 of %2 rows").arg(model_->rowCount()).arg(model_->table().noRows()));
}

void FormShowCpt::copySelection() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange &range : ui->TableCpt->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(model_->cptRow(row));
    if (rows.empty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QApplication::clipboard()->setText(model_->table().copiedText(rows));
    QApplication::restoreOverrideCursor();
}

void FormShowCpt::CommandOK_Click()
{
    accept();
}

} // namespace vadazaz
