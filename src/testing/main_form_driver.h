#pragma once

// Enters a problem through the main window and its dialogs, as steps for act().

#include "testing/gui_driver.h"

namespace vadazaz::testing {

// Types the state names into the boxes of a dialog and clicks OK.
inline QString statesSteps(const QStringList &states)
{
    QString steps;
    for (int s = 1; s <= states.size(); ++s)
        steps += QStringLiteral("type TextState%1 %2; ").arg(QString::number(s), states.at(s - 1));
    return steps + QStringLiteral("click CommandOK");
}

// Enters the child's name, then its states, their count chosen from the list.
inline QString childSteps(const QString &name, const QStringList &states)
{
    return QStringLiteral("type TextChildName %1; click CommandEnterChildName; choose "
                          "ComboNoChildStates %2; click CommandEditChildStates [%3]; ")
        .arg(name, QString::number(states.size()), statesSteps(states));
}

// Confirms parent p's name, type and states, the type and count chosen from the lists.
inline QString parentSteps(int p, const QString &name, const QString &type,
                           const QStringList &states)
{
    return QStringLiteral("type ComboParent Parent %1; click CommandEditParent [type TextName %2; "
                          "choose ComboType %3; choose ComboNoStates %4; %5]; ")
        .arg(QString::number(p), name, type, QString::number(states.size()), statesSteps(states));
}

// The rows of the main window's parent table, each as "label|name|type|states".
inline QStringList parentRows(QWidget *window)
{
    auto *grid = child<QTableWidget>(window, QStringLiteral("GridParentInfo"));
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << grid->model()->index(row, column).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace vadazaz::testing
