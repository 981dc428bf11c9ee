#include "output/cpt_file.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

Q_DECLARE_METATYPE(vadazaz::CptLayout)

namespace {

Cpt cptOf(int childStates, const QList<int> &strides, std::vector<double> values)
{
    Cpt cpt;
    cpt.noChildStates = childStates;
    cpt.positionStrides = strides;
    cpt.cptRows = int(values.size()) / childStates;
    cpt.values = std::move(values);
    return cpt;
}

const Cpt rainCpt = cptOf(2, {2, 1}, {90, 10, 70, 30, 40, 60, 5, 95});

QByteArray written(CptLayout layout, const Problem &problem, const QList<int> &parentOrder,
                   const Cpt &cpt)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writeCpt(buffer, layout, problem, parentOrder, cpt, u"."))
        qWarning("writeCpt failed");
    return buffer.data();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Takes the first bytes it is given, then refuses every write.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (size > room_)
            return -1;
        room_ -= size;
        return size;
    }

private:
    qint64 room_;
};

} // namespace

class CptFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheRainCpt_data()
    {
        QTest::addColumn<CptLayout>("layout");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("labelled") << CptLayout::Labelled << testing::rainLabelled;
        QTest::newRow("plain") << CptLayout::Plain << testing::rainPlain;
    }

    void writesTheRainCpt()
    {
        QFETCH(CptLayout, layout);
        QFETCH(QByteArray, file);
        QCOMPARE(written(layout, testing::rainProblem(), {1, 2}, rainCpt), file);

        const QString path = QDir::temp().filePath(u"rain.txt"_s);
        QString error;
        QVERIFY(saveCptFile(path, layout, testing::rainProblem(), {1, 2}, rainCpt, u".", &error));
        QCOMPARE(contents(path), file);
    }

    void formatsProbabilities_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("decimalPoint");
        QTest::addColumn<QString>("text");

        const QString point = u"."_s;
        QTest::newRow("12.5 rounds up") << 12.5 << point << u"0.13"_s;
        QTest::newRow("14.5 rounds up") << 14.5 << point << u"0.15"_s;
        QTest::newRow("-3.5 rounds away from zero") << -3.5 << point << u"-0.04"_s;
        QTest::newRow("-0.4 is no negative zero") << -0.4 << point << u"0.00"_s;
        QTest::newRow("-0.0") << -0.0 << point << u"0.00"_s;
        QTest::newRow("-0.5") << -0.5 << point << u"-0.01"_s;
        QTest::newRow("0.49") << 0.49 << point << u"0.00"_s;
        QTest::newRow("33.333") << 33.333 << point << u"0.33"_s;
        QTest::newRow("99.5") << 99.5 << point << u"1.00"_s;
        QTest::newRow("100") << 100.0 << point << u"1.00"_s;
        QTest::newRow("0") << 0.0 << point << u"0.00"_s;
        QTest::newRow("467.5") << 467.5 << point << u"4.68"_s;
        QTest::newRow("-395") << -395.0 << point << u"-3.95"_s;
        QTest::newRow("regional separator") << 12.5 << u","_s << u"0,13"_s;
        QTest::newRow("just below 1e15") << 999999999999999.0 << point << u"9999999999999.99"_s;
        QTest::newRow("1e15") << 1e15 << point << u"10000000000000.00"_s;
        QTest::newRow("-1e20") << -1e20 << point << u"-1000000000000000000.00"_s;
        QTest::newRow("smallest double") << 5e-324 << point << u"0.00"_s;
    }

    void formatsProbabilities()
    {
        QFETCH(double, percent);
        QFETCH(QString, decimalPoint);
        QFETCH(QString, text);
        QCOMPARE(formatProbability(percent, decimalPoint), text);
    }

    void formatsTheLargestDouble()
    {
        const QString text = formatProbability(1.7976931348623157e308, u".");
        QCOMPARE(text.size(), 309 + 1);
        QVERIFY(text.startsWith(u"17976931348623157"));
        QVERIFY(text.endsWith(u".68"));
        QCOMPARE(formatProbability(-1.7976931348623157e308, u"."), u'-' + text);
    }

    // Three child states, a name of exactly 10 characters, names outside ASCII padded by
    // characters, and a header cell short enough to need no padding after its value.
    void labelsRowsAndPadsByCharacters()
    {
        Problem problem;
        problem.childName = u"C"_s;
        problem.noChildStates = 3;
        problem.childStateName(1) = u"H"_s;
        problem.childStateName(2) = u"Mittel"_s;
        problem.childStateName(3) = u"Tief"_s;
        problem.parentName(1) = u"Größe"_s;
        problem.parentStateName(1, 1) = u"groß"_s;
        problem.parentStateName(2, 1) = u"klein"_s;
        problem.parentName(2) = u"Zehnzeiche"_s;
        problem.parentType(2) = modifyingType;
        problem.parentStateName(1, 2) = u"ja"_s;
        problem.parentStateName(2, 2) = u"nein"_s;
        const Cpt cpt = cptOf(3, {2, 1}, {50, 30, 20, 40, 30, 30, 20, 30, 50, 10, 20.4, 69.6});

        QCOMPARE(written(CptLayout::Labelled, problem, {2, 1}, cpt),
                 u"Zehnzeiche\tGröße     \tC=H\tC=Mittel\tC=Tief\t\r\n"
                 "\r\n"
                 "ja        \tgroß      \t0.50\t0.30     \t0.20\r\n"
                 "ja        \tklein     \t0.40\t0.30     \t0.30\r\n"
                 "nein      \tgroß      \t0.20\t0.30     \t0.50\r\n"
                 "nein      \tklein     \t0.10\t0.20     \t0.70\r\n"_s.toUtf8());
        QCOMPARE(written(CptLayout::Plain, problem, {2, 1}, cpt),
                 QByteArray("0.50\t\t0.30\t\t0.20\r\n"
                            "0.40\t\t0.30\t\t0.30\r\n"
                            "0.20\t\t0.30\t\t0.50\r\n"
                            "0.10\t\t0.20\t\t0.70\r\n"));
    }

    // Parent order P2 (2 states), P1 (3 states), P3 (2 states): the last changes fastest.
    void namesTheStatesOfEveryRow()
    {
        const Problem problem = problemOf(2, u"N3 M2 N2"_s);
        std::vector<double> values;
        for (int r = 1; r <= 12; ++r)
            values.insert(values.end(), {100.0 - r, double(r)});
        const QList<QByteArray> lines =
            written(CptLayout::Labelled, problem, {2, 1, 3}, cptOf(2, {6, 2, 1}, values))
                .split('\n');
        QCOMPARE(lines.size(), 2 + 12 + 1);
        QCOMPARE(lines.at(0),
                 QByteArray("P2        \tP1        \tP3        \tChild=C1\tChild=C2\t\r"));
        QCOMPARE(lines.at(1), QByteArray("\r"));
        for (int r = 1; r <= 12; ++r) {
            const int p2 = (r - 1) / 6 + 1, p1 = (r - 1) / 2 % 3 + 1, p3 = (r - 1) % 2 + 1;
            const QString line =
                u"P2s%1      \tP1s%2      \tP3s%3      \t%4     \t%5\r"_s.arg(p2)
                    .arg(p1)
                    .arg(p3)
                    .arg(formatProbability(100.0 - r, u"."), formatProbability(r, u"."));
            QCOMPARE(lines.at(r + 1), line.toUtf8());
        }
    }

    void writesJsonThatReadsBack()
    {
        Problem problem = testing::rainProblem();
        problem.childName = u"Ra\"in\\"_s;
        problem.childStateName(2) = u"Lö\tw"_s;
        problem.parentStateName(1, 2) = u"\u96E8"_s;
        const Cpt cpt =
            cptOf(2, {2, 1}, {100.0 / 3, 200.0 / 3, 12.5, 87.5, 0.1, 99.9, -3.5, 103.5});
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(written(CptLayout::Json, problem, {1, 2}, cpt), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject top = document.object();
        QCOMPARE(top.value(u"child").toString(), problem.childName);
        QCOMPARE(top.value(u"childStates").toArray(), (QJsonArray{u"High"_s, u"Lö\tw"_s}));
        QCOMPARE(top.value(u"parents").toArray(), (QJsonArray{u"Wind"_s, u"Temp"_s}));
        const QJsonArray rows = top.value(u"rows").toArray();
        QCOMPARE(rows.size(), 4);
        const QStringList wind{u"Strong"_s, u"Weak"_s}, temp{u"\u96E8"_s, u"Cold"_s};
        for (int r = 1; r <= 4; ++r) {
            const QJsonObject row = rows.at(r - 1).toObject();
            QCOMPARE(row.value(u"states").toArray(),
                     (QJsonArray{wind.at((r - 1) / 2), temp.at((r - 1) % 2)}));
            const QJsonArray p = row.value(u"p").toArray();
            QCOMPARE(p.size(), 2);
            for (int c = 1; c <= 2; ++c)
                QVERIFY(p.at(c - 1).toDouble() == cpt.at(r, c) / 100.0); // exactly
        }
    }

    void keepsTheOldFileWhenWritingFails_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("readOnlyFile");
        QTest::addColumn<QString>("reason"); // empty: the system's own words
        QTest::newRow("missing folder") << u"missing/cpt.txt"_s << false << QString();
        QTest::newRow("a folder") << u"folder"_s << false << u"It is a folder."_s;
        // Kept even when the superuser, whom the system lets write it, runs the program.
        QTest::newRow("read-only file") << u"old.txt"_s << true << u"The file is read-only."_s;
    }

    void keepsTheOldFileWhenWritingFails()
    {
        QFETCH(QString, target);
        QFETCH(bool, readOnlyFile);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        QVERIFY(putFile(dir.filePath(u"folder/inside.txt"_s), "inside"));
        QVERIFY(putFile(dir.filePath(u"old.txt"_s), "old contents"));
        QVERIFY(QFile::setPermissions(dir.filePath(u"old.txt"_s),
                                      readOnlyFile ? QFile::ReadOwner
                                                   : QFile::ReadOwner | QFile::WriteOwner));

        QString error;
        QVERIFY(!saveCptFile(dir.filePath(target), CptLayout::Plain, testing::rainProblem(), {1, 2},
                             rainCpt, u".", &error));
        QVERIFY(!error.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(error, reason);
        QCOMPARE(contents(dir.filePath(u"old.txt"_s)), QByteArray("old contents"));
        QCOMPARE(contents(dir.filePath(u"folder/inside.txt"_s)), QByteArray("inside"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{u"folder"_s, u"old.txt"_s}));
    }

    void replacesAFileEntirely()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"cpt.txt"_s);
        QVERIFY(putFile(path, QByteArray(10000, 'x')));
        const Problem problem = testing::rainProblem();
        QVERIFY(saveCptFile(path, CptLayout::Labelled, problem, {1, 2}, rainCpt, u".", nullptr));
        QCOMPARE(contents(path), testing::rainLabelled);
        QVERIFY(saveCptFile(path, CptLayout::Plain, problem, {1, 2}, rainCpt, u".", nullptr));
        QCOMPARE(contents(path), testing::rainPlain);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"cpt.txt"_s});
    }

    // 1048576 rows, written in pieces; a device that stops taking them is reported.
    void writesLargeCptsAndReportsRefusedWrites()
    {
        const int rows = 1 << 20;
        std::vector<double> values;
        values.reserve(2 * rows);
        for (int r = 0; r < rows; ++r)
            values.insert(values.end(), {90.0 - r % 81, 10.0 + r % 81});
        const Problem problem = problemOf(2, QStringList(20, u"N2"_s).join(u' '));
        QList<int> order, strides;
        for (int p = 1; p <= 20; ++p) {
            order.append(p);
            strides.append(1 << (20 - p));
        }
        const Cpt cpt = cptOf(2, strides, std::move(values));

        const QByteArray plain = written(CptLayout::Plain, problem, order, cpt);
        QCOMPARE(plain.size(), qsizetype(rows) * 12);
        QVERIFY(plain.startsWith("0.90\t\t0.10\r\n0.89\t\t0.11\r\n"));
        QVERIFY(plain.endsWith(QByteArray("0.") + QByteArray::number(90 - (rows - 1) % 81) +
                               "\t\t0." + QByteArray::number(10 + (rows - 1) % 81) + "\r\n"));

        for (const CptLayout layout : {CptLayout::Plain, CptLayout::Labelled, CptLayout::Json}) {
            FailingDevice device(2 << 20);
            QVERIFY(!writeCpt(device, layout, problem, order, cpt, u"."));
        }
        FailingDevice empty(0);
        QVERIFY(!writeCpt(empty, CptLayout::Plain, testing::rainProblem(), {1, 2}, rainCpt, u"."));
    }
};

VADAZAZ_TEST_MAIN(CptFileTest)
#include "cpt_file_test.moc"
