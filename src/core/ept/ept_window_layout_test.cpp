#include "core/ept/ept_window_layout.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

class EptWindowLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Controls of the worked layouts, in centimetres: "name left top width height text".
    void placesEveryControl_data()
    {
        testing::addColumns<int, QString, QStringList>("childStates", "parents", "controls");
        // D = 1.9, W = 5.2 (two parents of 2.6 cm), H = 0.62.
        QTest::newRow("narrowest")
            << 2 << u"N2 N2"_s
            << QStringList{u"GridEPT 0.20 0.82 5.20 14.10"_s,
                           u"LabelChildName 3.30 0.20 1.90 0.42 Child:"_s,
                           u"LabelChild2 6.65 0.20 0.85 0.42 C2"_s, u"Text1 5.60 1.32 0.85 0.42"_s,
                           u"Text4 6.65 1.74 0.85 0.42"_s};
        // D = 12.4: W = 20.5 - 12.4 - 0.4 = 7.7 rather than 7 × 2.6; the columns end at 20.5.
        QTest::newRow("12 columns")
            << 3 << u"M2 M2 N2 N2 N2 N2 N2 N2 N2"_s
            << QStringList{u"GridEPT 0.20 1.66 7.70 14.10"_s, u"Text12 19.65 2.16 0.85 0.42"_s,
                           u"labelMPname2 5.80 0.62 1.90 0.42 P2:"_s,
                           u"LabelMPstate24 17.55 0.62 1.90 0.42 P2s2"_s,
                           u"LabelChild6 13.35 1.04 0.85 0.42 C3"_s};
        // Three blocks of two columns: the states start at X(1), X(3), X(5).
        QTest::newRow("three blocks") << 2 << u"M3 N2"_s
                                      << QStringList{u"LabelMPstate12 5.10 0.20 1.90 0.42 P1s2"_s,
                                                     u"LabelMPstate13 7.20 0.20 1.90 0.42 P1s3"_s};
    }
    void placesEveryControl()
    {
        const auto [childStates, parents, controls] =
            testing::fetch<int, QString, QStringList>("childStates", "parents", "controls");
        const Problem problem = testing::problemOf(childStates, parents);
        const EptWindowLayout layout = eptWindowLayout(problem, deriveEptShape(problem));
        QList<EptLayoutItem> items = layout.labels + layout.textFields;
        items.append({u"GridEPT"_s, layout.table, {}, {}});
        for (const QString &control : controls) {
            QStringList found;
            for (const EptLayoutItem &item : std::as_const(items)) {
                const QRectF &r = item.place;
                if (item.name == control.section(u' ', 0, 0))
                    found << item.name +
                                 QString::asprintf(" %.2f %.2f %.2f %.2f", r.left(), r.top(),
                                                   r.width(), r.height()) +
                                 (item.text.isEmpty() ? QString() : u' ' + item.text);
            }
            QCOMPARE(found, QStringList{control});
        }
    }

    // Edges round on their own, so that controls that touch in centimetres touch on the screen.
    void roundsEachEdgeToWholePixels()
    {
        QCOMPARE(centimetresToPixels(QRectF(5.6, 1.32, 0.85, 0.42)), QRect(212, 50, 32, 16));
        QCOMPARE(centimetresToPixels(QRectF(6.45, 1.74, 0.85, 0.42)), QRect(244, 66, 32, 16));
    }

    // The table: its headings and their format, and the state of each parent in each row.
    void fillsTheTable()
    {
        const Problem problem = testing::problemOf(2, u"N3 M2 N2"_s);
        const EptWindowLayout layout = eptWindowLayout(problem, deriveEptShape(problem));
        QCOMPARE(layout.tableFormat, u"<P1|<P3"_s);
        QStringList rows;
        for (const QStringList &row : layout.tableCells)
            rows << row.join(u' ');
        QCOMPARE(rows, (QStringList{u"P1s1 P3s1"_s, u"P1s3 P3s2"_s, u"P1s2 P3s1"_s, u"P1s3 P3s1"_s,
                                    u"P1s1 P3s2"_s}));
    }
};

VADAZAZ_TEST_MAIN(EptWindowLayoutTest)
#include "ept_window_layout_test.moc"
