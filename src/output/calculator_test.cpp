#include "output/calculator.h"

#include "store/problem_file.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

namespace {

const QString examples = QStringLiteral(VADAZAZ_EXAMPLES);

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run runInProcess(const QStringList &arguments)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Run run;
    run.code = runCalculator(QStringList{u"vadazaz-cpt"_s} + arguments, out, err);
    run.out = out.data();
    run.err = err.data();
    return run;
}

Run runProgram(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VADAZAZ_CPT_PROGRAM), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray rainWith(const QString &ept)
{
    return problemFileText(testing::rainProblem(), testing::tableOf(ept));
}

QByteArray problemWith(int childStates, const QString &parents, const QString &ept)
{
    return problemFileText(problemOf(childStates, parents), testing::tableOf(ept));
}

const QString rainEpt = u"90;10;40;60|70;30;5;95"_s;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Takes nothing.
class FullDevice : public QIODevice
{
public:
    FullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    // Writes a problem file into the test's folder and answers its path.
    QString problemFile(const QString &name, const QByteArray &json)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
            qWarning() << "cannot write" << path;
        return path;
    }

private Q_SLOTS:
    void answersWithExitCodesAndMessages_data()
    {
        QTest::addColumn<QByteArray>("problem");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");  // null: anything
        QTest::addColumn<QString>("err");     // the whole standard error …
        QTest::addColumn<bool>("errIsWhole"); // … or a part of it

        const QByteArray rain = rainWith(rainEpt);
        const QByteArray none;
        const QStringList noOptions;
        QTest::newRow("labelled") << rain << noOptions << 0 << testing::rainLabelled << QString()
                                  << true;
        QTest::newRow("plain") << rain << QStringList{u"--layout=plain"_s} << 0
                               << testing::rainPlain << QString() << true;
        QByteArray numbers = rain;
        numbers.replace("\"90\"", "90").replace("\"5\"", "5.0");
        QTest::newRow("numbers as cells") << numbers << QStringList{u"--layout"_s, u"labelled"_s}
                                          << 0 << testing::rainLabelled << QString() << true;

        // Refusals: the program's own message, nothing written.
        const QString noNonModifying = u"You must have at least one non-modifying parent.\n"_s;
        QTest::newRow("every parent Modifying") << problemWith(2, u"M2 M2"_s, u""_s) << noOptions
                                                << 2 << ""_ba << noNonModifying << true;
        QTest::newRow("readiness before columns")
            << problemWith(2, u"M2 M2 M2 M2"_s, u""_s) << noOptions << 2 << ""_ba << noNonModifying
            << true;
        QTest::newRow("16 columns")
            << problemWith(2, u"M2 M2 M2 N2"_s, u"x"_s) << noOptions << 2 << ""_ba
            << u"You need to fill in more than 12 columns in the EPT. This is not a sensible "
               "number.\nDo one of the following:\n\n"
               "1. Reduce the number of states that the child variable has.\n"
               "2. Reduce the number of modifying parents.\n"
               "3. Reduce the number of states that the modifying parents have.\n"_s
            << true;
        QTest::newRow("too many rows, before the EPT's shape")
            << problemWith(2, QStringList(21, u"N2"_s).join(u' '), u""_s) << noOptions << 2 << ""_ba
            << u"The CPT would have more than 1048576 rows. This is too many to calculate.\n"
               "Reduce the number of parents or the number of states that they have.\n"_s
            << true;
        QTest::newRow("blank cell")
            << rainWith(u"90;10;40;60|70;30; ;95"_s) << noOptions << 2 << ""_ba
            << u"Non-numeric or missing entry in row 2.\n"_s << true;
        QTest::newRow("not logical")
            << rainWith(u"90;10;40;60|90;10;5;95"_s) << noOptions << 2 << ""_ba
            << u"The probabilities in the EPT are not logical!\n\nIn column 1, the child "
               "probability in most positive row of the EPT (row 1)\nmust be greater than that "
               "in the least positive row (row 2).\n"_s
            << true;
        QTest::newRow("33.33 three times")
            << problemWith(3, u"N2 M2"_s,
                           u"33.34;33.33;33.33;30;35;35|33.33;33.33;33.33;10;45;45"_s)
            << noOptions << 2 << ""_ba
            << u"Sum of child state probabilities is not 100 in row 2.\n"_s << true;
        QTest::newRow("0.7, 83.4 and 15.9")
            << problemWith(3, u"N2 M2"_s, u"83.4;0.7;15.9;30;35;35|0.7;83.4;15.9;10;45;45"_s)
            << noOptions << 0 << none << QString() << true;
        QTest::newRow("out of range, written anyway")
            << problemWith(3, u"N2 N2 N2"_s, u"80;15;5|10;80;10|45;0;55|45;0;55|45;50;5"_s)
            << QStringList{u"--layout"_s, u"plain"_s} << 0
            << "0.80\t\t0.15\t\t0.05\r\n0.45\t\t0.50\t\t0.05\r\n0.45\t\t0.00\t\t0.55\r\n"
               "0.28\t\t0.18\t\t0.55\r\n0.45\t\t0.00\t\t0.55\r\n0.28\t\t0.18\t\t0.55\r\n"
               "0.28\t\t4.68\t\t-3.95\r\n0.10\t\t0.80\t\t0.10\r\n"_ba
            << u"Some probabilities of the CPT are below 0 or above 1, the first in CPT row 7.\n"
               "Check the EPT entries of the child's states 2 and 3.\n"_s
            << true;

        // Failures: one line that names what is wrong.
        const QString wrongShape = u"problem.json: \"ept\" must have 2 rows of 4 cells"_s;
        QTest::newRow("too many EPT rows") << rainWith(rainEpt + u"|70;30;5;95"_s) << noOptions << 1
                                           << ""_ba << wrongShape << false;
        QTest::newRow("too few EPT cells")
            << rainWith(u"90;10;40;60|70;30;5"_s) << noOptions << 1 << ""_ba << wrongShape << false;
        QTest::newRow("not JSON") << "{\"child\":"_ba << noOptions << 1 << ""_ba
                                  << u"problem.json: not valid JSON"_s << false;
        QTest::newRow("missing file")
            << none << QStringList{u"{dir}/missing.json"_s} << 1 << ""_ba
            << u"vadazaz-cpt: "_s + dir_.filePath(u"missing.json"_s) << false;
        QTest::newRow("unknown layout")
            << rain << QStringList{u"--layout"_s, u"csv"_s} << 1 << ""_ba << u"csv"_s << false;
        QTest::newRow("no problem file")
            << none << noOptions << 1 << ""_ba << u"vadazaz-cpt: "_s << false;
        QTest::newRow("two problem files") << rain << QStringList{u"{dir}/problem.json"_s} << 1
                                           << ""_ba << u"vadazaz-cpt: "_s << false;
        QTest::newRow("unknown option")
            << rain << QStringList{u"--colour"_s} << 1 << ""_ba << u"colour"_s << false;
    }

    void answersWithExitCodesAndMessages()
    {
        QFETCH(QByteArray, problem);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QFETCH(bool, errIsWhole);

        QStringList arguments = options.replaceInStrings(u"{dir}"_s, dir_.path());
        if (!problem.isNull())
            arguments.append(problemFile(u"problem.json"_s, problem));
        const Run run = runInProcess(arguments);
        QCOMPARE(run.code, code);
        if (!out.isNull())
            QCOMPARE(run.out, out);
        if (errIsWhole) {
            QCOMPARE(QString::fromUtf8(run.err), err);
        } else {
            QVERIFY2(QString::fromUtf8(run.err).contains(err), run.err.constData());
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY(run.err.endsWith('\n'));
        }
        if (code == 0 && out.isNull())
            QVERIFY(!run.out.isEmpty());
    }

    void reproducesTheWorkedCpts_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("two child states")
            << u"harvest.json"_s
            << "0.90\t\t0.10\r\n0.30\t\t0.70\r\n0.70\t\t0.30\r\n0.25\t\t0.75\r\n"
               "0.50\t\t0.50\r\n0.20\t\t0.80\r\n0.40\t\t0.60\r\n0.10\t\t0.90\r\n"_ba;
        QTest::newRow("three child states")
            << u"fish.json"_s
            << "0.70\t\t0.20\t\t0.10\r\n0.40\t\t0.30\t\t0.30\r\n0.50\t\t0.25\t\t0.25\r\n"
               "0.30\t\t0.31\t\t0.39\r\n0.30\t\t0.30\t\t0.40\r\n0.10\t\t0.30\t\t0.60\r\n"
               "0.60\t\t0.20\t\t0.20\r\n0.35\t\t0.25\t\t0.40\r\n0.40\t\t0.30\t\t0.30\r\n"
               "0.25\t\t0.30\t\t0.45\r\n0.20\t\t0.30\t\t0.50\r\n0.10\t\t0.30\t\t0.60\r\n"_ba;
    }

    // The plain file and the full-precision fractions of the json layout, from the real program.
    void reproducesTheWorkedCpts()
    {
        QFETCH(QString, example);
        QFETCH(QByteArray, plain);
        const QString path = examples + u'/' + example;
        const Run text = runProgram({u"--layout"_s, u"plain"_s, path});
        QCOMPARE(text.code, 0);
        QCOMPARE(text.out, plain);
        QCOMPARE(text.err, QByteArray());

        const Run json = runProgram({u"--layout"_s, u"json"_s, path});
        QCOMPARE(json.code, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(json.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const ProblemFileRead read = readProblemFile(path);
        QVERIFY(read.file);
        const Problem &problem = read.file->problem;
        QCOMPARE(document[u"child"].toString(), problem.childName);
        QCOMPARE(document[u"childStates"].toArray().size(), problem.noChildStates);
        QCOMPARE(document[u"childStates"][problem.noChildStates - 1].toString(),
                 problem.childStateName(problem.noChildStates));
        const QJsonArray rows = document[u"rows"].toArray();
        const QList<QByteArray> lines = plain.split('\n');
        QCOMPARE(rows.size(), lines.size() - 1);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QList<QByteArray> expected = lines.at(r).trimmed().split('\t');
            const QJsonArray p = rows.at(r)[u"p"].toArray();
            QCOMPARE(p.size() * 2 - 1, expected.size());
            for (qsizetype c = 0; c < p.size(); ++c)
                QVERIFY(std::fabs(p.at(c).toDouble() - expected.at(2 * c).toDouble()) < 1e-12);
        }
    }

    void runsAsAProgram()
    {
        const QString rain = examples + u"/rain.json"_s;
        Run run = runProgram({rain});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, testing::rainLabelled);
        QCOMPARE(run.err, QByteArray());

        run = runProgram({problemFile(u"modifying.json"_s, problemWith(2, u"M2 M3"_s, u""_s))});
        QCOMPARE(run.code, 2);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, "You must have at least one non-modifying parent.\n"_ba);

        run = runProgram({dir_.filePath(u"missing.json"_s)});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(run.err.startsWith("vadazaz-cpt: " + dir_.filePath(u"missing.json"_s).toUtf8()));

        const QString output = dir_.filePath(u"rain.txt"_s);
        run = runProgram({u"--output"_s, output, rain});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(contents(output), testing::rainLabelled);

        run = runProgram({u"--version"_s});
        QCOMPARE(run.code, 0);
        QVERIFY(run.out.contains("1.0.0"));

        run = runProgram({u"--help"_s});
        QCOMPARE(run.code, 0);
        for (const char *part : {"--layout", "--output", "--help", "--version", "PROBLEM.json"})
            QVERIFY2(run.out.contains(part), part);
    }

    void writesToAFileOrNowhere()
    {
        const QString rain = problemFile(u"rain.json"_s, rainWith(rainEpt));
        const QString refused =
            problemFile(u"refused.json"_s, rainWith(u"90;10;40;60|70;30;;95"_s));
        const QString output = dir_.filePath(u"cpt.txt"_s);
        QFile::remove(output);

        Run run = runInProcess({u"--output"_s, output, u"--layout"_s, u"plain"_s, rain});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(contents(output), testing::rainPlain);

        // A refusal and a failed write leave the earlier file as it was.
        run = runInProcess({u"--output"_s, output, refused});
        QCOMPARE(run.code, 2);
        QCOMPARE(contents(output), testing::rainPlain);
        QVERIFY(!QFile::exists(dir_.filePath(u"new.txt"_s)));
        run = runInProcess({u"--output"_s, dir_.filePath(u"new.txt"_s), refused});
        QCOMPARE(run.code, 2);
        QVERIFY(!QFile::exists(dir_.filePath(u"new.txt"_s)));

        for (const QString &target : {dir_.filePath(u"missing/cpt.txt"_s), dir_.path()}) {
            run = runInProcess({u"--output"_s, target, rain});
            QCOMPARE(run.code, 1);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.startsWith("vadazaz-cpt: ") && run.err.contains(target.toUtf8()),
                     run.err.constData());
        }
        QVERIFY(!QFile::exists(dir_.filePath(u"missing"_s)));
        if (QFile::exists(u"/dev/full"_s))
            QCOMPARE(runInProcess({u"--output"_s, u"/dev/full"_s, rain}).code, 1);

        QBuffer err;
        err.open(QIODevice::WriteOnly);
        FullDevice full;
        QCOMPARE(runCalculator({u"vadazaz-cpt"_s, rain}, full, err), 1);
        QVERIFY(err.data().startsWith("vadazaz-cpt: "));
    }

    // Names of one to ten non-ASCII characters reach the file as UTF-8 (the system's code page
    // here), their fields padded to 10 characters, not bytes: "中中中中中中中中中中" is 30 bytes
    // and gets no spaces, "é" gets 9. The header cell "中文=é" is 4 characters wide (9 bytes), so
    // one space follows the probabilities under it.
    void padsNonAsciiNamesByCharacters()
    {
        Problem problem = testing::rainProblem();
        problem.childName = u"中文"_s;
        problem.childStateName(1) = u"é"_s;
        problem.childStateName(2) = u"ßßßßßßßßßß"_s;
        problem.parentName(1) = u"é"_s;
        problem.parentStateName(1, 1) = u"Ω"_s;
        problem.parentStateName(2, 1) = u"中中中中中中中中中中"_s;
        problem.parentName(2) = u"Größenwert"_s;
        problem.parentStateName(1, 2) = u"ß"_s;
        problem.parentStateName(2, 2) = u"ΩΩΩΩΩΩΩΩΩΩ"_s;
        const QString path =
            problemFile(u"names.json"_s, problemFileText(problem, testing::tableOf(rainEpt)));

        const Run run = runProgram({path});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, u"é         \tGrößenwert\t中文=é\t中文=ßßßßßßßßßß\t\r\n"
                          "\r\n"
                          "Ω         \tß         \t0.90 \t0.10\r\n"
                          "Ω         \tΩΩΩΩΩΩΩΩΩΩ\t0.70 \t0.30\r\n"
                          "中中中中中中中中中中\tß         \t0.40 \t0.60\r\n"
                          "中中中中中中中中中中\tΩΩΩΩΩΩΩΩΩΩ\t0.05 \t0.95\r\n"_s.toUtf8());

        const Run json = runProgram({u"--layout"_s, u"json"_s, path});
        QCOMPARE(json.code, 0);
        const QJsonDocument document = QJsonDocument::fromJson(json.out);
        QCOMPARE(document[u"child"].toString(), u"中文"_s);
        QCOMPARE(document[u"parents"].toArray(), (QJsonArray{u"é"_s, u"Größenwert"_s}));
        QCOMPARE(document[u"rows"][3][u"states"].toArray(),
                 (QJsonArray{u"中中中中中中中中中中"_s, u"ΩΩΩΩΩΩΩΩΩΩ"_s}));
    }

    void writesJsonWithFullPrecision()
    {
        // Row 7 = (P1s2, P2s2, P3s1) is 30 % pulled by P2's weight 60 / 90: no short number.
        const QString path = problemFile(
            u"thirds.json"_s, problemWith(2, u"N2 N2 N2"_s, u"90;10|0;100|30;70|60;40|45;55"_s));
        const Run run = runInProcess({u"--layout"_s, u"json"_s, path});
        QCOMPARE(run.code, 0);
        const QJsonDocument document = QJsonDocument::fromJson(run.out);
        QCOMPARE(document[u"parents"].toArray(), (QJsonArray{u"P1"_s, u"P2"_s, u"P3"_s}));
        const QJsonArray rows = document[u"rows"].toArray();
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows.at(6)[u"states"].toArray(), (QJsonArray{u"P1s2"_s, u"P2s2"_s, u"P3s1"_s}));
        const double percent = 30.0 * (60.0 / 90.0);
        QVERIFY(rows.at(6)[u"p"][0].toDouble() == percent / 100.0);
        QVERIFY(rows.at(6)[u"p"][1].toDouble() == (100.0 - percent) / 100.0);
        QVERIFY(rows.at(0)[u"p"][0].toDouble() == 0.9);
        QVERIFY(rows.at(7)[u"p"][1].toDouble() == 1.0);
    }
};

VADAZAZ_TEST_MAIN(CalculatorTest)
#include "calculator_test.moc"
