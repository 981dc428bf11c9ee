#include "core/output/cpt_table.h"

#include "core/output/probability_text.h"

namespace vadazaz {

CptTable::CptTable(const Problem &problem, const Cpt &cpt, QString decimalPoint)
    : cpt_(&cpt), point_(std::move(decimalPoint))
{
    int nextEptRow = 3;
    for (const int q : cpt.parentOrder) {
        Position position{problem.parentName(q), {}, 0};
        for (int s = 1; s <= problem.parentNoStates(q); ++s)
            position.states.append(problem.parentStateName(s, q));
        if (problem.parentType(q) == ParentType::Modifying) {
            ++noMod_;
        } else {
            position.firstEptRow = nextEptRow;
            nextEptRow += problem.parentNoStates(q) - 1;
        }
        positions_.push_back(std::move(position));
    }
    for (int c = 1; c <= cpt.noChildStates; ++c)
        childHeadings_.append(problem.childName + QLatin1Char('=') + problem.childStateName(c));
}

void CptTable::appendProbability(QString &out, double percent) const
{
    putProbabilityText(
        percent, [&](char c) { out += QLatin1Char(c); }, [&] { out += point_; });
}

QString CptTable::fractionText(double percent) const
{
    QString text;
    appendProbability(text, percent);
    return text;
}

int CptTable::blockLength() const
{
    return noMod_ > 0 ? cpt_->positionStride(noMod_) : noRows();
}

QString CptTable::stateHeading(int p, int s) const
{
    return parentHeading(p) + QLatin1Char('=') + stateName(p, s);
}

int CptTable::eptRow(int r) const
{
    int moved = 0;
    int atLast = 0;
    int movedPosition = 0;
    for (int p = noMod_ + 1; p <= noParents(); ++p) {
        const int s = state(r, p);
        if (s != 1) {
            ++moved;
            movedPosition = p;
        }
        if (s == parentNoStates(p))
            ++atLast;
    }
    if (moved == 0)
        return 1;
    if (atLast == noParents() - noMod_)
        return 2;
    if (moved == 1)
        return positions_[std::size_t(movedPosition - 1)].firstEptRow + state(r, movedPosition) - 2;
    return 0;
}

std::vector<int> CptTable::matchingRows(const QList<int> &wanted) const
{
    const int positions = noParents();
    std::vector<int> states(std::size_t(positions), 1);
    std::size_t count = 1;
    int r = 1;
    for (int p = 1; p <= positions; ++p) {
        const int s = wanted.value(p - 1);
        if (s > 0) {
            states[std::size_t(p - 1)] = s;
            r += (s - 1) * cpt_->positionStride(p);
        } else {
            count *= std::size_t(parentNoStates(p));
        }
    }
    std::vector<int> rows;
    rows.reserve(count);
    // An odometer over the positions left free, the last fastest, so that rows come in order.
    for (;;) {
        rows.push_back(r);
        int p = positions;
        for (; p >= 1; --p) {
            if (wanted.value(p - 1) > 0)
                continue;
            int &s = states[std::size_t(p - 1)];
            const int stride = cpt_->positionStride(p);
            if (s < parentNoStates(p)) {
                ++s;
                r += stride;
                break;
            }
            r -= (s - 1) * stride;
            s = 1;
        }
        if (p < 1)
            return rows;
    }
}

QString CptTable::copiedText(std::span<const int> rows) const
{
    const QChar tab(QLatin1Char('\t'));
    const QChar lineFeed(QLatin1Char('\n'));
    QString text;
    qsizetype lineLength = 1 + noChildStates() * (6 + point_.size());
    for (int p = 1; p <= noParents(); ++p) {
        text += parentHeading(p) + tab;
        qsizetype longest = 0;
        for (const QString &name : positions_[std::size_t(p - 1)].states)
            longest = std::max(longest, name.size());
        lineLength += longest + 1;
    }
    text += childHeadings_.join(tab) + lineFeed;
    text.reserve(text.size() + qsizetype(rows.size()) * lineLength);
    for (const int r : rows) {
        for (int p = 1; p <= noParents(); ++p) {
            text += stateName(p, state(r, p));
            text += tab;
        }
        for (int c = 1; c <= noChildStates(); ++c) {
            if (c > 1)
                text += tab;
            appendProbability(text, percent(r, c));
        }
        text += lineFeed;
    }
    return text;
}

QString CptTable::allMovedLabel()
{
    return QStringLiteral("all at once");
}

QList<JudgementBlock> CptTable::judgementChart() const
{
    const int length = blockLength();
    const int noNonMod = noParents() - noMod_;
    QList<JudgementBlock> blocks;
    for (int first = 1; first <= noRows(); first += length) {
        JudgementBlock block;
        QStringList modifying;
        for (int p = 1; p <= noMod_; ++p)
            modifying.append(stateHeading(p, state(first, p)));
        block.label = modifying.join(QStringLiteral(", "));
        const double from = percent(first, 1);
        // With one Non-modifying parent, EPT row 2 is that parent in its last state.
        const QString allMoved = noNonMod == 1
                                     ? stateHeading(noParents(), parentNoStates(noParents()))
                                     : allMovedLabel();
        block.bars.append({2, allMoved, percent(first + length - 1, 1) - from});
        for (int p = noMod_ + 1; p <= noParents(); ++p) {
            const int last = noNonMod == 1 ? parentNoStates(p) - 1 : parentNoStates(p);
            for (int s = 2; s <= last; ++s) {
                const int r = first + (s - 1) * cpt_->positionStride(p);
                block.bars.append({positions_[std::size_t(p - 1)].firstEptRow + s - 2,
                                   stateHeading(p, s), percent(r, 1) - from});
            }
        }
        blocks.append(block);
    }
    return blocks;
}

} // namespace vadazaz
