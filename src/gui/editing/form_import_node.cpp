#include "gui/editing/form_import_node.h"

#include "core/network/cpt_network.h"

#include "ui_form_import_node.h"

#include <QHeaderView>
#include <QPushButton>

namespace vadazaz {

namespace {

QTableWidgetItem *cell(const QString &text, bool usable = true)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(usable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
    return item;
}

} // namespace

FormImportNode::FormImportNode(Network network, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormImportNode>()), network_(std::move(network))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QTableWidget *nodes = ui->GridNodes;
    const QList<NodeChoice> choices = nodeChoices(network_);
    nodes->setColumnCount(3);
    nodes->setHorizontalHeaderLabels(
        {QStringLiteral("Node"), QStringLiteral("Name"), QStringLiteral("Cannot be taken")});
    nodes->setRowCount(int(choices.size()));
    nodes->setSelectionBehavior(QAbstractItemView::SelectRows);
    nodes->setSelectionMode(QAbstractItemView::SingleSelection);
    nodes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    nodes->verticalHeader()->hide();
    nodes->horizontalHeader()->setStretchLastSection(true);
    int first = -1;
    for (int r = 0; r < choices.size(); ++r) {
        const NodeChoice &choice = choices.at(r);
        const bool usable = choice.whyNot.isEmpty();
        nodes->setItem(r, 0, cell(choice.id, usable));
        nodes->setItem(r, 1, cell(choice.label, usable));
        nodes->setItem(r, 2, cell(usable ? QString() : choice.whyNot, usable));
        if (usable && first < 0)
            first = r;
    }
    nodes->resizeColumnsToContents();

    QTableWidget *states = ui->GridStates;
    states->setColumnCount(2);
    states->setHorizontalHeaderLabels(
        {QStringLiteral("Variable (tick to reverse)"), QStringLiteral("States, state 1 first")});
    states->setEditTriggers(QAbstractItemView::NoEditTriggers);
    states->setSelectionMode(QAbstractItemView::NoSelection);
    states->verticalHeader()->hide();
    states->horizontalHeader()->setStretchLastSection(true);

    connect(nodes, &QTableWidget::itemSelectionChanged, this,
            &FormImportNode::GridNodes_SelectionChanged);
    connect(states, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem *item) { GridStates_ItemChanged(item->row()); });
    connect(ui->CommandOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (first >= 0)
        nodes->selectRow(first);
    GridNodes_SelectionChanged();
}

FormImportNode::~FormImportNode() = default;

QString FormImportNode::node() const
{
    const QList<QTableWidgetItem *> selected = ui->GridNodes->selectedItems();
    return selected.isEmpty() ? QString() : ui->GridNodes->item(selected.first()->row(), 0)->text();
}

void FormImportNode::GridNodes_SelectionChanged()
{
    ui->CommandOK->setEnabled(!node().isEmpty());
    showStates();
}

// The child and its parents, each with its states in the order they will have.
void FormImportNode::showStates()
{
    QTableWidget *states = ui->GridStates;
    const QSignalBlocker quiet(states);
    states->setRowCount(0);
    const NetworkVariable *child = network_.variable(node());
    if (!child)
        return;
    QStringList ids{child->id};
    ids += child->parents;
    states->setRowCount(int(ids.size()));
    for (int r = 0; r < ids.size(); ++r) {
        const NetworkVariable *variable = network_.variable(ids.at(r));
        QStringList order = variable->states;
        if (reversed_.contains(variable->id))
            std::reverse(order.begin(), order.end());
        auto *name = new QTableWidgetItem(r == 0 ? QStringLiteral("%1 (child)").arg(variable->id)
                                                 : variable->id);
        name->setData(Qt::UserRole, variable->id);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(reversed_.contains(variable->id) ? Qt::Checked : Qt::Unchecked);
        states->setItem(r, 0, name);
        states->setItem(r, 1, cell(order.join(QStringLiteral(", "))));
    }
    states->resizeColumnToContents(0);
}

void FormImportNode::GridStates_ItemChanged(int row)
{
    const QTableWidgetItem *name = ui->GridStates->item(row, 0);
    const QString id = name->data(Qt::UserRole).toString();
    if (name->checkState() == Qt::Checked)
        reversed_.insert(id);
    else
        reversed_.remove(id);
    showStates();
}

} // namespace vadazaz
