#pragma once

#include "core/base/name_rules.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace vadazaz {

// Non-modifying parents vary down the rows of the EPT, Modifying parents across its column blocks.
// The numbers are the positions of the types in the parent dialog's list.
enum class ParentType { NonModifying = 0, Modifying = 1 };

// "Non-modifying" or "Modifying", as the windows and problem files spell the type.
QString parentTypeName(ParentType type);
// The type of that name (exactly, case included), or nothing.
std::optional<ParentType> parentTypeNamed(const QString &name);

// The one problem the program works on: the child variable and its parents.
// Every index counts from 1, as the windows and messages count.
class Problem
{
public:
    Problem() { initialise(); }

    // Back to the state of a fresh start: two unnamed Non-modifying parents with 2 states each,
    // a child with 2 unnamed states.
    void initialise();
    // A new last parent with an empty name, Non-modifying, 2 states and empty state names.
    void appendParent();
    // Removes the last parent while more than 2 remain; answers whether it did.
    bool removeLastParent();

    QString childName;
    int noChildStates = 2;
    // The EPT as the user typed it, row by row, blanks and decimal separators included. It
    // belongs to the problem and outlives the EPT window; after the parents change it may no
    // longer fit the EPT's shape, and is kept all the same until new entries replace it.
    QList<QStringList> ept;
    // The elicitation's record: who gave the judgement, when, why.
    QString notes;

    // The network file and node the problem was taken from, when it was; the CPT can be written
    // back into that node. Empty otherwise.
    QString networkFile;
    QString networkNode;
    // The child's and its states' identifiers in that network, whatever the names shown; empty
    // where the problem did not come from a network.
    QString childId;
    std::array<QString, 3> childStateIds;

    QString &childStateName(int s) { return childStateNames_.at(s - 1); }
    const QString &childStateName(int s) const { return childStateNames_.at(s - 1); }

    int noParents() const { return int(parents_.size()); }
    QString &parentName(int p) { return parent(p).name; }
    const QString &parentName(int p) const { return parent(p).name; }
    ParentType &parentType(int p) { return parent(p).type; }
    ParentType parentType(int p) const { return parent(p).type; }
    int &parentNoStates(int p) { return parent(p).noStates; }
    int parentNoStates(int p) const { return parent(p).noStates; }
    // State s (1..3) of parent p.
    QString &parentStateName(int s, int p) { return parent(p).stateNames.at(s - 1); }
    const QString &parentStateName(int s, int p) const { return parent(p).stateNames.at(s - 1); }
    // Parent p's and its states' identifiers in the network the problem came from, or empty.
    QString &parentId(int p) { return parent(p).id; }
    const QString &parentId(int p) const { return parent(p).id; }
    QString &parentStateId(int s, int p) { return parent(p).stateIds.at(s - 1); }
    const QString &parentStateId(int s, int p) const { return parent(p).stateIds.at(s - 1); }

    friend bool operator==(const Problem &, const Problem &) = default;

private:
    struct Parent
    {
        QString name;
        ParentType type = ParentType::NonModifying;
        int noStates = 2;
        std::array<QString, 3> stateNames;
        QString id;
        std::array<QString, 3> stateIds;

        friend bool operator==(const Parent &, const Parent &) = default;
    };
    Parent &parent(int p) { return parents_[p - 1]; }
    const Parent &parent(int p) const { return parents_.at(p - 1); }

    std::array<QString, 3> childStateNames_;
    QList<Parent> parents_;
};

// The program-wide problem: the main window and its dialogs edit it.
Problem &problem();

} // namespace vadazaz
