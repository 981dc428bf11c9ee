#include "app/calculator.h"

#include "core/base/version.h"
#include "core/store/problem.h"
#include "core/store/problem_file.h"
#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run runInProcess(const QStringList &arguments, QIODevice *standardOutput = nullptr)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = runCalculator(QStringList{u"vadazaz-cpt"_s} + arguments,
                                   standardOutput ? *standardOutput : out, err);
    return {code, out.data(), err.data()};
}

Run runProgram(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VADAZAZ_CPT_PROGRAM), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

const QString rainEpt = u"90;10;40;60|70;30;5;95"_s;
using testing::rainProblemFile;

QByteArray problemWith(int childStates, const QString &parents, const QString &ept)
{
    Problem problem = problemOf(childStates, parents);
    problem.ept = testing::tableOf(ept);
    return problemFileText(problem);
}

const QByteArray rainJson =
    R"({"child": "Rain", "childStates": ["High", "Low"], "parents": ["Wind", "Temp"], "rows": [
{"states": ["Strong", "Hot"], "p": [0.9, 0.1]},
{"states": ["Strong", "Cold"], "p": [0.7, 0.3]},
{"states": ["Weak", "Hot"], "p": [0.4, 0.6]},
{"states": ["Weak", "Cold"], "p": [0.05, 0.95]}
]}
)";

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private Q_SLOTS:
    void answersWithExitCodesAndMessages_data()
    {
        QTest::addColumn<QByteArray>("problem");  // null: no problem file of the test's own
        QTest::addColumn<QString>("commandLine"); // arguments separated by spaces
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out"); // standard output or the --output file; null: any
        QTest::addColumn<QString>("err"); // the whole standard error or, with no line end, a part

        const QByteArray rain = rainProblemFile(), none;
        QTest::newRow("labelled") << rain << u""_s << 0 << testing::rainLabelled << u""_s;
        QTest::newRow("json") << rain << u"--layout json"_s << 0 << rainJson << u""_s;
        QTest::newRow("program: written to a file")
            << rain << u"--output {dir}/cpt.txt --layout=plain"_s << 0 << testing::rainPlain
            << u""_s;

        // Refusals: the program's own message, nothing written.
        QTest::newRow("readiness before the EPT's size")
            << problemWith(2, u"M2 M2 M2 M2"_s, u""_s) << u""_s << 2 << ""_ba
            << u"You must have at least one non-modifying parent.\n"_s;
        QTest::newRow("refused, no file written")
            << rainProblemFile(u"90;10;40;60|70;30; ;95"_s) << u"--output {dir}/refused.txt"_s << 2
            << ""_ba << u"Non-numeric or missing entry in row 2.\n"_s;
        QTest::newRow("not logical")
            << rainProblemFile(u"90;10;40;60|90;10;5;95"_s) << u""_s << 2 << ""_ba
            << u"The probabilities in the EPT are not logical!\n\nIn column 1, the child "
               "probability in most positive row of the EPT (row 1)\nmust be greater than that "
               "in the least positive row (row 2).\n"_s;
        QTest::newRow("out of range, written anyway")
            << problemWith(3, u"N2 N2 N2"_s, u"80;15;5|10;80;10|45;0;55|45;0;55|45;50;5"_s) << u""_s
            << 0 << none
            << u"Some probabilities of the CPT are below 0 or above 1, the first in CPT row 7.\n"
               "Check the EPT entries of the child's states 2 and 3.\n"_s;

        // Failures: one line that names what is wrong.
        const QString wrongShape = u"vadazaz-cpt: {dir}/problem.json: \"ept\" must have 2 rows of "
                                   "4 cells for this problem\n"_s;
        QTest::newRow("too many EPT rows")
            << rainProblemFile(rainEpt + u"|70;30;5;95"_s) << u""_s << 1 << ""_ba << wrongShape;
        QTest::newRow("too few EPT cells")
            << rainProblemFile(u"90;10;40;60|70;30;5"_s) << u""_s << 1 << ""_ba << wrongShape;
        QTest::newRow("missing file") << none << u"{dir}/missing.json"_s << 1 << ""_ba
                                      << u"vadazaz-cpt: {dir}/missing.json: cannot be read: "_s;
        QTest::newRow("unknown layout") << rain << u"--layout xls"_s << 1 << ""_ba
                                        << u"vadazaz-cpt: unknown layout \"xls\": use labelled, "
                                           u"plain, json, net, xdsl, xmlbif, "
                                           "bif, dne, csv\n"_s;
        QTest::newRow("two problem files")
            << rain << u"{dir}/problem.json"_s << 1 << ""_ba
            << u"vadazaz-cpt: name exactly one problem file (see --help)\n"_s;
        QTest::newRow("decimals past 15")
            << rain << u"--layout bif --decimals 16"_s << 1 << ""_ba
            << u"vadazaz-cpt: --decimals must be a whole number from 1 to 15\n"_s;
        QTest::newRow("program: unknown option")
            << rain << u"--colour"_s << 1 << ""_ba << u"colour"_s;
        QTest::newRow("version") << none << u"--version"_s << 0
                                 << "vadazaz-cpt "_ba + versionText + '\n'
                                 << u""_s;
        QTest::newRow("help") << none << u"--help"_s << 0 << none << u""_s;

        // The worked CPTs to the byte.
        QTest::newRow("worked CPT, two child states")
            << none << u"--layout plain {examples}/harvest.json"_s << 0
            << "0.90\t\t0.10\r\n0.30\t\t0.70\r\n0.70\t\t0.30\r\n0.25\t\t0.75\r\n"
               "0.50\t\t0.50\r\n0.20\t\t0.80\r\n0.40\t\t0.60\r\n0.10\t\t0.90\r\n"_ba
            << u""_s;
    }

    void answersWithExitCodesAndMessages()
    {
        QFETCH(QByteArray, problem);
        QFETCH(QString, commandLine);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);

        QStringList arguments = commandLine.split(u' ', Qt::SkipEmptyParts);
        arguments.replaceInStrings(u"{dir}"_s, dir_.path())
            .replaceInStrings(u"{examples}"_s, QStringLiteral(VADAZAZ_EXAMPLES));
        err.replace(u"{dir}"_s, dir_.path());
        if (!problem.isNull()) {
            arguments.append(dir_.filePath(u"problem.json"_s));
            QVERIFY(testing::writeFile(arguments.last(), problem));
        }
        const qsizetype outputAt = arguments.indexOf(u"--output"_s);
        const QString output = outputAt < 0 ? QString() : arguments.at(outputAt + 1);
        if (!output.isEmpty())
            QFile::remove(output);

        // The real program for a few cases, to see that it answers as the function does.
        const bool program = QByteArray(QTest::currentDataTag()).startsWith("program: ");
        const Run run = program ? runProgram(arguments) : runInProcess(arguments);
        QCOMPARE(run.code, code);
        const QString said = QString::fromUtf8(run.err);
        if (err.isEmpty() || err.endsWith(u'\n'))
            QCOMPARE(said, err);
        else
            QVERIFY2(said.contains(err) && said.count(u'\n') == 1 && said.endsWith(u'\n'),
                     run.err.constData());
        if (!output.isEmpty()) {
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(QFileInfo(output).isFile(), code == 0);
        }
        const QByteArray written = output.isEmpty()             ? run.out
                                   : QFileInfo(output).isFile() ? testing::contentsOf(output)
                                                                : QByteArray();
        if (out.isNull())
            QVERIFY(!written.isEmpty());
        else
            QCOMPARE(written, out);
    }

    // A file the calculator must not replace, or cannot write whole, stays as it was; so does
    // the problem file. A standard output that takes nothing is a failure, not a CPT written.
    void keepsTheFilesItCannotReplace_data()
    {
        QTest::addColumn<QString>("output");   // empty: the standard output, to the file out.txt
        QTest::addColumn<qint64>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("reason");   // empty: any
        QTest::newRow("a link to the problem file")
            << u"link.json"_s << 0ll << u"It is the problem file."_s;
        QTest::newRow("past the file-size limit") << u"old.txt"_s << 100ll << u"File too large"_s;
        QTest::newRow("the standard output past the file-size limit")
            << u""_s << 100ll << u"File too large"_s;
    }
    void keepsTheFilesItCannotReplace()
    {
        QFETCH(QString, output);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString problem = dir.filePath(u"problem.json"_s);
        QVERIFY(testing::writeFile(problem, rainProblemFile()));
        QVERIFY(QFile::link(problem, dir.filePath(u"link.json"_s)));
        QVERIFY(testing::writeFile(dir.filePath(u"old.txt"_s), "old"));
        QFile standardOutput(dir.filePath(u"out.txt"_s));
        QVERIFY(standardOutput.open(QIODevice::WriteOnly | QIODevice::Unbuffered));

        Run run;
        {
            const testing::FileSizeLimit limit(sizeLimit);
            run = output.isEmpty() ? runInProcess({problem}, &standardOutput)
                                   : runProgram({u"--output"_s, dir.filePath(output), problem});
        }
        QCOMPARE(run.code, 1);
        const QString said = QString::fromUtf8(run.err),
                      expected = u"vadazaz-cpt: cannot write %1: "_s.arg(
                          output.isEmpty() ? u"the standard output"_s : dir.filePath(output));
        QVERIFY2(reason.isEmpty() ? said.startsWith(expected) && said.count(u'\n') == 1
                                  : said == expected + reason + u'\n',
                 run.err.constData());
        QCOMPARE(testing::contentsOf(dir.filePath(u"old.txt"_s)), "old");
        QCOMPARE(testing::contentsOf(problem), rainProblemFile());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"link.json"_s, u"old.txt"_s, u"out.txt"_s, u"problem.json"_s}));
    }

    // A node of a network taken as a problem, its states partly reversed, and its CPT written back:
    // only its table changes, in the network's own state order. A network that no longer matches
    // is left as it was.
    void bringsTheCptIntoANetwork()
    {
        QTemporaryDir dir;
        const QString network = dir.filePath(u"net.bif"_s);
        const QString problemPath = dir.filePath(u"rain.vadazaz"_s);
        const QString output = dir.filePath(u"out.bif"_s);
        const QByteArray head = "network rain {\n}\n"
                                "variable Wind {\n  type discrete [ 2 ] { Strong, Weak };\n}\n"
                                "variable Temp {\n  type discrete [ 2 ] { Cold, Hot };\n}\n"
                                "variable Rain {\n  type discrete [ 2 ] { High, Low };\n}\n"
                                "probability ( Wind ) {\n  table 0.5, 0.5;\n}\n"
                                "probability ( Temp ) {\n  table 0.5, 0.5;\n}\n"
                                "probability ( Rain | Wind, Temp ) {\n";
        const QByteArray even = "  table " + QByteArray("0.5, ").repeated(7) + "0.5;\n}\n";
        QVERIFY(testing::writeFile(network, head + even));
        QCOMPARE(runInProcess({u"--import"_s, network}).out,
                 "Wind: cannot be taken: a child needs 2 parents or more; it has 0\n"
                 "Temp: cannot be taken: a child needs 2 parents or more; it has 0\n"
                 "Rain\n");

        const Result<ProblemFile> read =
            parseProblemFile(runInProcess({u"--import"_s, network, u"--node"_s, u"Rain"_s,
                                           u"--reverse"_s, u"Temp"_s})
                                 .out);
        QVERIFY(read);
        Problem problem = read->problem;
        QCOMPARE(problem.parentStateName(1, 2), u"Hot"_s);
        problem.parentType(1) = ParentType::Modifying;
        problem.ept = testing::tableOf(rainEpt);
        QVERIFY(testing::writeFile(problemPath, problemFileText(problem)));
        const Run into = runProgram({u"--into"_s, network, u"--node"_s, u"Rain"_s, u"--output"_s,
                                     output, u"--decimals"_s, u"2"_s, problemPath});
        QCOMPARE(into.code, 0);
        QCOMPARE(testing::contentsOf(output), head + "  (Strong, Cold) 0.70, 0.30;\n"
                                                     "  (Strong, Hot) 0.90, 0.10;\n"
                                                     "  (Weak, Cold) 0.05, 0.95;\n"
                                                     "  (Weak, Hot) 0.40, 0.60;\n}\n");

        const QByteArray mild =
            QByteArray(head)
                .replace("[ 2 ] { Cold, Hot }", "[ 3 ] { Cold, Mild, Hot }")
                .replace("Temp ) {\n  table 0.5, 0.5;", "Temp ) {\n  table 0.4, 0.3, 0.3;") +
            "  table " + QByteArray("0.5, ").repeated(11) + "0.5;\n}\n";
        QVERIFY(testing::writeFile(network, mild));
        const Run refused =
            runInProcess({u"--into"_s, network, u"--node"_s, u"Rain"_s, problemPath});
        QCOMPARE(refused.code, 1);
        QCOMPARE(QString::fromUtf8(refused.err),
                 u"vadazaz-cpt: In net.bif, Temp has the state \"Mild\", which the problem does "
                 "not have.\n"_s);
        QCOMPARE(testing::contentsOf(network), mild);
    }

    // A name with bytes that are not text is refused: read as text, it would name another file.
    void refusesArgumentsThatAreNotText()
    {
        QTemporaryDir dir;
        QVERIFY(testing::writeFile(dir.filePath(u"problem.json"_s), rainProblemFile()));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(u"sh"_s, {u"-c"_s, u"exec \"$0\" --output \"$(printf 'old\\351.txt')\" $1"_s,
                                QStringLiteral(VADAZAZ_CPT_PROGRAM), u"problem.json"_s});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 u"vadazaz-cpt: argument 2, \"old\uFFFD.txt\", holds bytes that are not text "
                 "(shown as U+FFFD); use a name that is text\n"_s);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"problem.json"_s});
    }
};

VADAZAZ_TEST_MAIN(CalculatorTest)
#include "calculator_test.moc"
