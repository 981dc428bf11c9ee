#pragma once

#include "core/output/cpt_table.h"

#include <QList>
#include <QString>
#include <QWidget>

namespace vadazaz {

// The expert's judgement as a picture: for each block of Modifying-parent states, one bar per
// EPT row from row 2 on, as long as the change it makes to the probability of child state 1 from
// EPT row 1, left of the zero line for less and right for more, labelled with the parent and
// state moved and the change as a fraction. A scale with grid lines runs along the top.
class JudgementChart : public QWidget
{
    Q_OBJECT

public:
    explicit JudgementChart(QWidget *parent = nullptr);

    // Shows the chart of the table, which is read now and not kept.
    void setTable(const CptTable &table);
    const QList<JudgementBlock> &blocks() const { return blocks_; }
    const QString &title() const { return title_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // A scale of steps of one round size, from a multiple of it at or below 0 and every change to
    // one at or above them, in percentage points; the labels from low to high.
    struct Scale
    {
        double low = 0;
        double high = 0;
        double step = 1;
        QStringList ticks;
    };
    // The finest scale whose labels fit the plot's width.
    const Scale &scaleFor(int plotWidth) const;
    int lineHeight() const;
    int labelWidth() const;
    int valueWidth() const;
    int contentHeight() const;

    QString title_;
    QList<JudgementBlock> blocks_;
    QList<QStringList> values_; // the changes as fractions, per block and bar
    QList<Scale> scales_;       // finest first
};

} // namespace vadazaz
