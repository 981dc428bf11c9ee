#pragma once

#include "core/network/network.h"

#include <QDialog>
#include <QSet>

#include <memory>

namespace Ui {
class FormImportNode;
}

namespace vadazaz {

// Picks the node of a network to take as the child of a problem, and the variables whose states
// are taken last to first. Nodes that cannot be taken are listed with the reason.
class FormImportNode : public QDialog
{
    Q_OBJECT
public:
    explicit FormImportNode(Network network, QWidget *parent = nullptr);
    ~FormImportNode() override;

    QString node() const;
    QSet<QString> reversed() const { return reversed_; }

private:
    void GridNodes_SelectionChanged();
    void GridStates_ItemChanged(int row);
    void showStates();

    std::unique_ptr<Ui::FormImportNode> ui;
    const Network network_;
    QSet<QString> reversed_;
};

} // namespace vadazaz
