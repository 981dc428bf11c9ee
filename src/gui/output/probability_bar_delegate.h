#pragma once

#include <QStyledItemDelegate>

namespace vadazaz {

// Draws a child-state cell as a bar as long as its exact probability, in a track that stands for
// 1, and its number as the table writes it to the right of the track. A probability below 0 or
// above 1 fills none or all of the track.
class ProbabilityBarDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    ProbabilityBarDelegate(int percentRole, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int numberWidth(const QStyleOptionViewItem &option) const;

    int percentRole_;
};

} // namespace vadazaz
