#include "core/output/cpt_file.h"

#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using namespace vadazaz::testing;

Q_DECLARE_METATYPE(vadazaz::CptLayout)

namespace {

Cpt cptOf(int childStates, const QList<int> &order, const QList<int> &strides,
          std::vector<double> values)
{
    Cpt cpt;
    cpt.noChildStates = childStates;
    cpt.parentOrder = order;
    cpt.positionStrides = strides;
    cpt.cptRows = int(values.size()) / childStates;
    cpt.values = std::move(values);
    return cpt;
}

const Cpt rainCpt = cptOf(2, {1, 2}, {2, 1}, {90, 10, 70, 30, 40, 60, 5, 95});

QByteArray written(CptLayout layout, const Problem &problem, const Cpt &cpt,
                   QStringView decimalPoint = u".")
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writeCpt(buffer, layout, problem, cpt, decimalPoint))
        qWarning("writeCpt failed");
    return buffer.data();
}

// Takes the first room bytes it is given, then refuses every write.
struct FailingDevice : QIODevice
{
    explicit FailingDevice(qint64 bytes) : room(bytes) { open(QIODevice::WriteOnly); }
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        return size > room ? -1 : (room -= size, size);
    }
    qint64 room;
};

} // namespace

class CptFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Written to a device, and saved over a longer file, which it replaces whole; in the
    // decimal separator of the user's region.
    void writesTheRainCpt_data()
    {
        QTest::addColumn<CptLayout>("layout");
        QTest::addColumn<QString>("decimalPoint");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("labelled") << CptLayout::Labelled << u"."_s << rainLabelled;
        QTest::newRow("plain") << CptLayout::Plain << u"."_s << rainPlain;
        QTest::newRow("labelled, decimal comma")
            << CptLayout::Labelled << u","_s << QByteArray(rainLabelled).replace("0.", "0,");
        QTest::newRow("plain, decimal comma")
            << CptLayout::Plain << u","_s << QByteArray(rainPlain).replace("0.", "0,");
    }
    void writesTheRainCpt()
    {
        QFETCH(CptLayout, layout);
        QFETCH(QString, decimalPoint);
        QFETCH(QByteArray, file);
        QCOMPARE(written(layout, rainProblem(), rainCpt, decimalPoint), file);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"rain.txt"_s);
        QVERIFY(writeFile(path, QByteArray(10000, 'x')));
        QVERIFY(saveCptFile(path, layout, rainProblem(), rainCpt, decimalPoint));
        QCOMPARE(contentsOf(path), file);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"rain.txt"_s});
    }

    // Each with a full stop and with a regional comma.
    void formatsProbabilities_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.5 rounds up") << 12.5 << u"0.13"_s;
        QTest::newRow("-3.5 rounds away from zero") << -3.5 << u"-0.04"_s;
        QTest::newRow("-0.4 is no negative zero") << -0.4 << u"0.00"_s;
        QTest::newRow("-0.5") << -0.5 << u"-0.01"_s;
        QTest::newRow("99.5") << 99.5 << u"1.00"_s;
        QTest::newRow("467.5") << 467.5 << u"4.68"_s;
        QTest::newRow("just below 1e15") << 999999999999999.0 << u"9999999999999.99"_s;
        QTest::newRow("1e15") << 1e15 << u"10000000000000.00"_s;
        QTest::newRow("-1e20") << -1e20 << u"-1000000000000000000.00"_s;
    }
    void formatsProbabilities()
    {
        QFETCH(double, percent);
        QFETCH(QString, text);
        QCOMPARE(formatProbability(percent, u"."), text);
        QCOMPARE(formatProbability(percent, u","), text.replace(u'.', u','));
    }

    void formatsTheLargestDouble()
    {
        const QString text = formatProbability(1.7976931348623157e308, u".");
        QCOMPARE(text.size(), 309 + 1);
        QVERIFY(text.startsWith(u"17976931348623157") && text.endsWith(u".68"));
        QCOMPARE(formatProbability(-1.7976931348623157e308, u"."), u'-' + text);
    }

    // Parent order P2 (2 states), P1 (3 states), P3 (2 states): the last changes fastest.
    // Three child states, a name of exactly 10 characters, names outside ASCII padded by
    // characters, and a header cell short enough to need no padding after its value.
    void labelsEveryRowAndPadsByCharacters()
    {
        Problem problem = problemOf(3, u"N3 M2 N2"_s);
        problem.childName = u"C"_s;
        problem.childStateName(1) = u"H"_s;
        problem.childStateName(2) = u"Mittel"_s;
        problem.childStateName(3) = u"Tief"_s;
        problem.parentName(1) = u"Größe"_s;
        problem.parentStateName(1, 1) = u"groß"_s;
        problem.parentStateName(2, 1) = u"klein"_s;
        problem.parentStateName(3, 1) = u"mittel"_s;
        problem.parentName(2) = u"Zehnzeiche"_s;
        problem.parentStateName(1, 2) = u"ja"_s;
        problem.parentStateName(2, 2) = u"nein"_s;
        const Cpt cpt = cptOf(3, {2, 1, 3}, {6, 2, 1},
                              {50, 30, 20, 40,   30, 30,   20,   30,   50, 10, 20.4, 69.6,
                               60, 25, 15, 33.5, 33, 33.5, 70,   20,   10, 45, 45,   10,
                               25, 50, 25, 5,    90, 5,    12.5, -3.5, 91, 0,  0,    100});
        QCOMPARE(written(CptLayout::Labelled, problem, cpt),
                 u"Zehnzeiche\tGröße     \tP3        \tC=H\tC=Mittel\tC=Tief\t\r\n"
                 "\r\n"
                 "ja        \tgroß      \tP3s1      \t0.50\t0.30     \t0.20\r\n"
                 "ja        \tgroß      \tP3s2      \t0.40\t0.30     \t0.30\r\n"
                 "ja        \tklein     \tP3s1      \t0.20\t0.30     \t0.50\r\n"
                 "ja        \tklein     \tP3s2      \t0.10\t0.20     \t0.70\r\n"
                 "ja        \tmittel    \tP3s1      \t0.60\t0.25     \t0.15\r\n"
                 "ja        \tmittel    \tP3s2      \t0.34\t0.33     \t0.34\r\n"
                 "nein      \tgroß      \tP3s1      \t0.70\t0.20     \t0.10\r\n"
                 "nein      \tgroß      \tP3s2      \t0.45\t0.45     \t0.10\r\n"
                 "nein      \tklein     \tP3s1      \t0.25\t0.50     \t0.25\r\n"
                 "nein      \tklein     \tP3s2      \t0.05\t0.90     \t0.05\r\n"
                 "nein      \tmittel    \tP3s1      \t0.13\t-0.04     \t0.91\r\n"
                 "nein      \tmittel    \tP3s2      \t0.00\t0.00     \t1.00\r\n"_s.toUtf8());
    }

    // A name's field holds 10 characters as a reader counts them.
    void padsNamesByWhatAReaderSees_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("spaces");
        QTest::newRow("a letter and its accent") << u"Cafe\u0301"_s << 6;
        QTest::newRow("six emoji") << u"😀"_s.repeated(6) << 4;
        QTest::newRow("a family joined into one emoji") << u"👨\u200D👩\u200D👧"_s << 9;
        QTest::newRow("ten emoji") << u"😀"_s.repeated(10) << 0;
    }
    void padsNamesByWhatAReaderSees()
    {
        QFETCH(QString, name);
        QFETCH(int, spaces);
        Problem problem = rainProblem();
        problem.parentName(1) = name;
        problem.parentStateName(1, 1) = name;
        const QByteArray field = (name + QString(spaces, u' ') + u'\t').toUtf8();
        const QByteArray file = written(CptLayout::Labelled, problem, rainCpt);
        QVERIFY(file.startsWith(field));
        QVERIFY(file.contains("\r\n" + field + "Hot "));
    }

    // Quotes, backslashes and TABs in names are escaped.
    void escapesNamesInJson()
    {
        Problem problem = rainProblem();
        problem.childName = u"Ra\"in\\"_s;
        problem.childStateName(2) = u"Lö\tw"_s;
        problem.parentStateName(1, 2) = u"H\"ot"_s;
        const QJsonDocument document =
            QJsonDocument::fromJson(written(CptLayout::Json, problem, rainCpt));
        QCOMPARE(document[u"child"].toString(), problem.childName);
        QCOMPARE(document[u"childStates"].toArray(), (QJsonArray{u"High"_s, u"Lö\tw"_s}));
        QCOMPARE(document[u"rows"][0][u"states"].toArray(), (QJsonArray{u"Strong"_s, u"H\"ot"_s}));
    }

    void keepsTheOldFileWhenWritingFails_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<qint64>("sizeLimit"); // bytes a file may grow to; 0: no limit
        QTest::addColumn<QString>("reason");   // empty: the system's own words
        QTest::newRow("missing folder") << u"missing/cpt.txt"_s << 0ll << QString();
        QTest::newRow("below a file") << u"old.txt/cpt.txt"_s << 0ll << QString();
        QTest::newRow("a folder") << u"folder"_s << 0ll << u"It is a folder."_s;
        // Kept even when the superuser, whom the system lets write it, runs the program.
        QTest::newRow("read-only file") << u"old.txt"_s << 0ll << u"The file is read-only."_s;
        // Bytes of a name that are not text were read as U+FFFD and would name another file.
        QTest::newRow("a name that is not text")
            << u"old\uFFFD.txt"_s << 0ll
            << u"Its name holds U+FFFD, which stands for bytes that are not text, so it may not "
               "name the file that was meant."_s;
        // A full disk fails the same way: the writes stop part way, the last one included.
        QTest::newRow("file-size limit in the first write")
            << u"kept.txt"_s << 20ll << u"File too large"_s;
        QTest::newRow("file-size limit in the last write")
            << u"kept.txt"_s << 47ll << u"File too large"_s;
    }
    void keepsTheOldFileWhenWritingFails()
    {
        QFETCH(QString, target);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        QVERIFY(writeFile(dir.filePath(u"folder/inside.txt"_s), "inside"));
        QVERIFY(writeFile(dir.filePath(u"old.txt"_s), "old contents"));
        QVERIFY(QFile::setPermissions(dir.filePath(u"old.txt"_s), QFile::ReadOwner));
        QVERIFY(writeFile(dir.filePath(u"kept.txt"_s), rainLabelled.first(48)));

        const QString path = QDir(dir.path()).filePath(target);
        std::optional<Result<void>> saved;
        {
            const FileSizeLimit limit(sizeLimit);
            saved = saveCptFile(path, CptLayout::Plain, rainProblem(), rainCpt, u".");
        }
        QVERIFY(!*saved);
        QCOMPARE(saved->failure().title, u"Save CPT"_s);
        const QString said = u"The CPT could not be saved to %1.\r"_s.arg(path);
        QVERIFY(saved->failure().text.startsWith(said));
        if (!reason.isEmpty())
            QCOMPARE(saved->failure().text, said + reason);
        QCOMPARE(contentsOf(dir.filePath(u"old.txt"_s)), "old contents");
        QCOMPARE(contentsOf(dir.filePath(u"kept.txt"_s)), rainLabelled.first(48));
        QCOMPARE(contentsOf(dir.filePath(u"folder/inside.txt"_s)), "inside");
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{u"folder"_s, u"kept.txt"_s, u"old.txt"_s}));
    }

    // 19683 rows of nine three-state parents, formatted in pieces: every row still names its
    // own parents' states and probabilities, the JSON rows are joined into one document.
    void labelsEveryRowOfALargeCpt()
    {
        const int rows = 19683;
        std::vector<double> values;
        for (int r = 0; r < rows; ++r)
            values.insert(values.end(), {double(r % 101), 100.0 - r % 101});
        const Problem problem = problemOf(2, QStringList(9, u"N3"_s).join(u' '));
        const Cpt cpt = cptOf(2, {1, 2, 3, 4, 5, 6, 7, 8, 9},
                              {6561, 2187, 729, 243, 81, 27, 9, 3, 1}, std::move(values));
        const QList<QByteArray> lines = written(CptLayout::Labelled, problem, cpt).split('\n');
        const QJsonArray json =
            QJsonDocument::fromJson(written(CptLayout::Json, problem, cpt))[u"rows"_s].toArray();
        QCOMPARE(lines.size(), rows + 3);
        QCOMPARE(json.size(), rows);
        for (int r = 0; r < rows; ++r) {
            QByteArray states;
            QJsonArray names;
            for (int p = 1; p <= 9; ++p) {
                const int stride = cpt.positionStride(p);
                names.append(u"P%1s%2"_s.arg(p).arg(r / stride % 3 + 1));
                states += paddedName(names.last().toString(), 10).toUtf8() + '\t';
            }
            const auto fraction = [](int percent) {
                return percent == 100 ? "1.00" : "0." + QByteArray::number(percent + 100).right(2);
            };
            QCOMPARE(lines.at(r + 2),
                     states + fraction(r % 101) + "     \t" + fraction(100 - r % 101) + '\r');
            QCOMPARE(json.at(r)[u"states"_s].toArray(), names);
            QCOMPARE(json.at(r)[u"p"_s][0].toDouble(), (r % 101) / 100.0);
        }
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
        const Cpt cpt = cptOf(2, order, strides, std::move(values));

        const QByteArray plain = written(CptLayout::Plain, problem, cpt);
        QCOMPARE(plain.size(), qsizetype(rows) * 12);
        QVERIFY(plain.startsWith("0.90\t\t0.10\r\n0.89\t\t0.11\r\n"));
        QVERIFY(plain.endsWith("0.60\t\t0.40\r\n")); // 1048575 % 81 is 30
        for (const CptLayout layout : {CptLayout::Plain, CptLayout::Labelled, CptLayout::Json}) {
            FailingDevice device(2 << 20);
            QVERIFY(!writeCpt(device, layout, problem, cpt, u"."));
        }
        FailingDevice empty(0);
        QVERIFY(!writeCpt(empty, CptLayout::Plain, rainProblem(), rainCpt, u"."));
    }
};

VADAZAZ_TEST_MAIN(CptFileTest)
#include "cpt_file_test.moc"
