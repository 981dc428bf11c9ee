#pragma once

#include <QList>
#include <QString>

#include <array>

namespace vadazaz {

// Longest name the program accepts for a variable or a state.
inline constexpr int maxNameLength = 10;

// Parent type codes.
inline constexpr int nonModifyingType = 0;
inline constexpr int modifyingType = 1;

// The shape of the elicited probability table, derived from the problem by "Edit EPT".
// Non-modifying parents vary down its rows, Modifying parents across its column blocks.
struct EptShape
{
    QList<int> nonModParents; // parent indices (1-based), ascending
    QList<int> modParents;    // parent indices (1-based), ascending
    int eptRows = 0;
    int eptCols = 0; // saturates at INT_MAX, so a huge problem never wraps round to a small one

    int noNonModParents() const { return int(nonModParents.size()); }
    int noModParents() const { return int(modParents.size()); }
    // The i-th Non-modifying and the j-th Modifying parent, both counted from 1.
    int nonModParent(int i) const { return nonModParents.at(i - 1); }
    int modParent(int j) const { return modParents.at(j - 1); }
};

// The one problem the program works on: the child variable, its parents and the EPT shape.
// Every index counts from 1, as the windows and messages count.
class Problem
{
public:
    Problem() { initialise(); }

    // Back to the state of a fresh start: two unnamed parents of type 0 with 2 states each,
    // a child with 2 unnamed states.
    void initialise();
    // A new last parent with an empty name, type 0, 2 states and empty state names.
    void appendParent();
    // Removes the last parent while more than 2 remain; answers whether it did.
    bool removeLastParent();

    QString childName;
    int noChildStates = 2;
    int selectedParent = 1;
    EptShape eptShape;

    QString &childStateName(int s) { return childStateNames_.at(s - 1); }
    const QString &childStateName(int s) const { return childStateNames_.at(s - 1); }

    int noParents() const { return int(parents_.size()); }
    QString &parentName(int p) { return parent(p).name; }
    const QString &parentName(int p) const { return parent(p).name; }
    int &parentType(int p) { return parent(p).type; }
    int parentType(int p) const { return parent(p).type; }
    int &parentNoStates(int p) { return parent(p).noStates; }
    int parentNoStates(int p) const { return parent(p).noStates; }
    // State s (1..3) of parent p.
    QString &parentStateName(int s, int p) { return parent(p).stateNames.at(s - 1); }
    const QString &parentStateName(int s, int p) const { return parent(p).stateNames.at(s - 1); }

private:
    struct Parent
    {
        QString name;
        int type = nonModifyingType;
        int noStates = 2;
        std::array<QString, 3> stateNames;
    };
    Parent &parent(int p) { return parents_[p - 1]; }
    const Parent &parent(int p) const { return parents_.at(p - 1); }

    std::array<QString, 3> childStateNames_;
    QList<Parent> parents_;
};

// The program-wide problem that every window reads and writes.
Problem &problem();

} // namespace vadazaz
