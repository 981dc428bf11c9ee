#pragma once

#include "core/ept/cpt_computation.h"
#include "core/store/problem.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace vadazaz {

// One bar of the judgement chart: how far moving the Non-modifying parents away from EPT row 1
// moves the probability of the child's state 1.
struct JudgementBar
{
    int eptRow = 0;
    QString label;       // "Temp=Cold", or allMovedLabel() for EPT row 2
    double change = 0.0; // in percentage points: the row's child state 1 less row 1's
};

// The bars of one combination of the Modifying parents' states, in the order of the EPT's rows.
struct JudgementBlock
{
    QString label; // "Wind=Strong, Sea=Calm"; empty without Modifying parents
    QList<JudgementBar> bars;
};

// The CPT as a table to look at: one row per CPT row in the order of the CPT file, the states of
// its parents (Modifying parents first) and its child-state probabilities. It reads the CPT it is
// given, which must outlive it, and keeps nothing per row.
class CptTable
{
public:
    CptTable(const Problem &problem, const Cpt &cpt, QString decimalPoint);

    int noRows() const { return cpt_->cptRows; }
    int noParents() const { return int(cpt_->parentOrder.size()); }
    int noChildStates() const { return cpt_->noChildStates; }

    // The name of the parent at position p, and child state c's heading as the CPT file writes
    // it: "Rain=High".
    const QString &parentHeading(int p) const { return positions_[std::size_t(p - 1)].name; }
    const QString &childHeading(int c) const { return childHeadings_.at(c - 1); }
    int parentNoStates(int p) const { return int(positions_[std::size_t(p - 1)].states.size()); }
    const QString &stateName(int p, int s) const
    {
        return positions_[std::size_t(p - 1)].states.at(s - 1);
    }

    // The state of the parent at position p in CPT row r.
    int state(int r, int p) const { return cpt_->rowState(r, p, parentNoStates(p)); }
    double percent(int r, int c) const { return cpt_->at(r, c); }
    // A percentage as the CPT file writes it: a fraction with two decimals, "0.13" for 12.5.
    QString fractionText(double percent) const;
    QString probabilityText(int r, int c) const { return fractionText(percent(r, c)); }

    // The EPT row that CPT row r was taken from, or 0 for an interpolated row.
    int eptRow(int r) const;

    // The CPT rows, in order, whose parent at each position is in the state wanted there
    // (wanted[p - 1]; 0 for any state).
    std::vector<int> matchingRows(const QList<int> &wanted) const;

    // The rows as TAB-separated text: a heading line of the parent names and child-state
    // headings, then one line per row of state names and probabilities as the table shows them.
    // Every line ends with a line feed.
    QString copiedText(std::span<const int> rows) const;

    // For each block of Modifying-parent states, the change of child state 1 from EPT row 1 to
    // each further EPT row.
    QList<JudgementBlock> judgementChart() const;
    static QString allMovedLabel();

private:
    struct Position
    {
        QString name;
        QStringList states;
        int firstEptRow = 0; // a Non-modifying parent's EPT row of its state 2
    };
    void appendProbability(QString &out, double percent) const;
    int blockLength() const;
    QString stateHeading(int p, int s) const;

    const Cpt *cpt_;
    QString point_;
    std::vector<Position> positions_;
    QStringList childHeadings_;
    int noMod_ = 0;
};

} // namespace vadazaz
