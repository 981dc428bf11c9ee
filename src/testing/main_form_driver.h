#pragma once

// Enters a problem through the main window and its dialogs, as a person would.

#include "gui/editing/main_form.h"
#include "testing/gui_driver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

namespace vadazaz::testing {

class MainFormDriver
{
public:
    MainFormDriver()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("The main window was not shown");
    }

    template <typename T> T *w(const char *name) { return child<T>(&window, name); }
    QPushButton *button(const char *name) { return w<QPushButton>(name); }

    // The rows of the parent table, each as "label|name|type|states".
    QStringList rows()
    {
        auto *grid = w<QTableWidget>("GridParentInfo");
        QStringList rows;
        for (int row = 0; row < grid->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < grid->columnCount(); ++column)
                cells << grid->model()->index(row, column).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }

    // Enters the child's name, answering the box that confirms it.
    void enterChildName(const QString &name)
    {
        act(&window, QStringLiteral("type TextChildName ") + name +
                         QStringLiteral("; click CommandEnterChildName"));
    }

    // Opens the child state names dialog or parent p's and runs inside on it; answers whether it
    // opened.
    bool editChildStates(const std::function<void(QWidget *)> &inside)
    {
        return clickAndHandle(button("CommandEditChildStates"), inside);
    }
    bool editParent(int p, const std::function<void(QWidget *)> &inside)
    {
        typeInto(w<QComboBox>("ComboParent"), QStringLiteral("Parent ") + QString::number(p));
        return clickAndHandle(button("CommandEditParent"), inside);
    }

    // Confirms the child's states or parent p's, the counts and the type chosen from the lists.
    bool enterChildStates(const QStringList &states)
    {
        return chooseFromList(w<QComboBox>("ComboNoChildStates"), QString::number(states.size())) &&
               editChildStates([&](QWidget *dialog) { confirm(dialog, states); });
    }
    bool enterParent(int p, const QString &name, const QString &type, const QStringList &states)
    {
        bool chosen = false;
        const bool opened = editParent(p, [&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), name);
            chosen = chooseFromList(child<QComboBox>(dialog, "ComboType"), type) &&
                     chooseFromList(child<QComboBox>(dialog, "ComboNoStates"),
                                    QString::number(states.size()));
            confirm(dialog, states);
        });
        return opened && chosen;
    }
    // Types the state names and clicks OK, then Cancel if OK was refused.
    static void confirm(QWidget *dialog, const QStringList &states)
    {
        for (int s = 1; s <= states.size(); ++s)
            typeInto(child<QLineEdit>(dialog, QStringLiteral("TextState") + QString::number(s)),
                     states.at(s - 1));
        click(child<QPushButton>(dialog, "CommandOK"));
        if (dialog->isVisible())
            click(child<QPushButton>(dialog, "CommandCancel"));
    }

    MainForm window;
};

} // namespace vadazaz::testing
