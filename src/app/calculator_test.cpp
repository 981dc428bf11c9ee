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
#include <QProcess>
#include <QTemporaryDir>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

const QString testData = QStringLiteral(VADAZAZ_TESTDATA);

Run runProgram(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VADAZAZ_CPT_PROGRAM), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    // The standard output is a file, so that a file-size limit can make it fail.
    Run runInProcess(const QStringList &arguments)
    {
        QFile out(dir_.filePath(u"stdout"_s));
        QBuffer err;
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            !err.open(QIODevice::WriteOnly))
            return {};
        const int code = runCalculator(QStringList{u"vadazaz-cpt"_s} + arguments, out, err);
        out.close();
        return {code, contentsOf(out.fileName()), err.data()};
    }

    // The node Rain of net.bif as the calculator takes it, the states of Temp last to first, its
    // parent Wind made Modifying, with an EPT.
    QByteArray rainOfTheNetwork()
    {
        const Result<ProblemFile> read =
            parseProblemFile(runInProcess({u"--import"_s, dir_.filePath(u"net.bif"_s), u"--node"_s,
                                           u"Rain"_s, u"--reverse"_s, u"Temp"_s})
                                 .out);
        if (!read)
            return "(not read)";
        Problem problem = read->problem;
        problem.parentType(1) = ParentType::Modifying;
        problem.ept = tableOf(u"90;10;40;60|70;30;5;95"_s);
        return problemFileText(problem);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(dir_.path()).mkdir(u"mild"_s) && writeFile(dir_.filePath(u"stdout"_s), ""));
        QVERIFY(QFile::link(dir_.filePath(u"problem.json"_s), dir_.filePath(u"link.json"_s)));
        for (const QString &network : {u"net.bif"_s, u"mild/net.bif"_s})
            QVERIFY(QFile::copy(testData + u'/' + network, dir_.filePath(network)));
    }

    // Each case in process, or through the real program where its tag starts with "program: ".
    // A file named by --output holds "old" before; a refusal or a failure leaves it as it was,
    // and the problem file, the networks and the folder's other files stay as they were.
    // Columns: the problem (null: no problem file of the test's own), the arguments separated by
    // blanks, the exit code, the whole standard error or, with no line end, a part of it, and the
    // standard output or the --output file (null: any).
    void answersWithExitCodesAndMessages_data()
    {
        testing::addColumns<QByteArray, QString, int, QString, QByteArray>("problem", "commandLine",
                                                                           "code", "err", "out");
        const auto row = [](const char *tag, const QByteArray &problem, const char *commandLine,
                            int code, const QString &err, const QByteArray &out = ""_ba) {
            QTest::newRow(tag) << problem << QString::fromUtf8(commandLine) << code << err << out;
        };
        const QByteArray rain = rainProblemFile(), none;
        const QString wrongShape = u"vadazaz-cpt: {dir}/problem.json: \"ept\" must have 2 rows of "
                                   "4 cells for this problem\n"_s;
        row("labelled", rain, "", 0, {}, rainLabelled);
        row("json", rain, "--layout json", 0, {}, contentsOf(testData + u"/rain-cpt.json"_s));
        row("program: written to a file", rain, "--output {dir}/cpt.txt --layout=plain", 0, {},
            rainPlain);
        row("worked CPT, two child states", none, "--layout plain {examples}/harvest.json", 0, {},
            contentsOf(testData + u"/harvest-cpt.txt"_s));
        // Refusals: the program's own message, nothing written.
        row("readiness before the EPT's size", problemFileOf(2, u"M2 M2 M2 M2"_s, u""_s), "", 2,
            u"You must have at least one non-modifying parent.\n"_s);
        row("refused, no file written", rainProblemFile(u"90;10;40;60|70;30; ;95"_s),
            "--output {dir}/refused.txt", 2, u"Non-numeric or missing entry in row 2.\n"_s);
        row("not logical", rainProblemFile(u"90;10;40;60|90;10;5;95"_s), "", 2,
            u"The probabilities in the EPT are not logical!\n\nIn column 1, the child probability "
            "in most positive row of the EPT (row 1)\nmust be greater than that in the least "
            "positive row (row 2).\n"_s);
        row("out of range, written anyway",
            problemFileOf(3, u"N2 N2 N2"_s, u"80;15;5|10;80;10|45;0;55|45;0;55|45;50;5"_s), "", 0,
            u"Some probabilities of the CPT are below 0 or above 1, the first in CPT row 7.\n"
            "Check the EPT entries of the child's states 2 and 3.\n"_s,
            none);
        // Failures: one line that names what is wrong.
        row("too many EPT rows", rainProblemFile(u"90;10;40;60|70;30;5;95|70;30;5;95"_s), "", 1,
            wrongShape);
        row("too few EPT cells", rainProblemFile(u"90;10;40;60|70;30;5"_s), "", 1, wrongShape);
        row("missing file", none, "{dir}/missing.json", 1,
            u"vadazaz-cpt: {dir}/missing.json: cannot be read: "_s);
        row("unknown layout", rain, "--layout xls", 1,
            u"vadazaz-cpt: unknown layout \"xls\": use labelled, plain, json, net, xdsl, xmlbif, "
            "bif, dne, csv\n"_s);
        row("two problem files", rain, "{dir}/problem.json", 1,
            u"vadazaz-cpt: name exactly one problem file (see --help)\n"_s);
        row("decimals past 15", rain, "--layout bif --decimals 16", 1,
            u"vadazaz-cpt: --decimals must be a whole number from 1 to 15\n"_s);
        row("program: unknown option", rain, "--colour", 1, u"colour"_s);
        row("version", none, "--version", 0, {}, "vadazaz-cpt "_ba + versionText + '\n');
        row("help", none, "--help", 0, {}, none);
        // Files it must not replace or cannot write whole (the limit: 100 bytes).
        row("a link to the problem file", rain, "--output {dir}/link.json", 1,
            u"vadazaz-cpt: cannot write {dir}/link.json: It is the problem file.\n"_s);
        row("program: past the file-size limit", rain, "--output {dir}/old.txt", 1,
            u"vadazaz-cpt: cannot write {dir}/old.txt: File too large\n"_s);
        row("the standard output past the file-size limit", rain, "", 1,
            u"vadazaz-cpt: cannot write the standard output: File too large\n"_s, none);
        row("the nodes of a network", none, "--import {dir}/net.bif", 0, {},
            "Wind: cannot be taken: a child needs 2 parents or more; it has 0\n"
            "Temp: cannot be taken: a child needs 2 parents or more; it has 0\nRain\n");
        // Rain taken as a problem and its CPT written back: only its table changes, in the
        // network's own state order. A network that no longer matches is left as it was.
        const QByteArray rainOfNet = rainOfTheNetwork();
        row("program: into a network", rainOfNet,
            "--into {dir}/net.bif --node Rain --output {dir}/out.bif --decimals 2", 0, {},
            contentsOf(testData + u"/into.bif"_s));
        row("into a network that no longer matches", rainOfNet,
            "--into {dir}/mild/net.bif --node Rain", 1,
            u"vadazaz-cpt: In net.bif, Temp has the state \"Mild\", which the problem does not "
            "have.\n"_s);
    }

    void answersWithExitCodesAndMessages()
    {
        auto [problem, commandLine, code, err, out] =
            testing::fetch<QByteArray, QString, int, QString, QByteArray>("problem", "commandLine",
                                                                          "code", "err", "out");
        const QByteArray tag = QTest::currentDataTag();

        QStringList arguments = commandLine.split(u' ', Qt::SkipEmptyParts);
        arguments.replaceInStrings(u"{dir}"_s, dir_.path())
            .replaceInStrings(u"{examples}"_s, QStringLiteral(VADAZAZ_EXAMPLES));
        err.replace(u"{dir}"_s, dir_.path());
        const qsizetype outputAt = arguments.indexOf(u"--output"_s);
        const QString output = outputAt < 0 ? QString() : arguments.at(outputAt + 1);
        if (!output.isEmpty())
            QVERIFY(writeFile(output, "old"));
        if (!problem.isNull()) {
            arguments.append(dir_.filePath(u"problem.json"_s));
            QVERIFY(writeFile(arguments.last(), problem));
        }
        const QByteArray before = output.isEmpty() ? QByteArray() : contentsOf(output),
                         problemBefore = contentsOf(dir_.filePath(u"problem.json"_s));
        const QStringList entries = filesIn(dir_.path());

        Run run;
        {
            const FileSizeLimit limit(tag.endsWith("file-size limit") ? 100 : 0);
            run = tag.startsWith("program: ") ? runProgram(arguments) : runInProcess(arguments);
        }
        QCOMPARE(run.code, code);
        const QString said = QString::fromUtf8(run.err);
        if (err.isEmpty() || err.endsWith(u'\n'))
            QCOMPARE(said, err);
        else
            QVERIFY2(said.contains(err) && said.count(u'\n') == 1 && said.endsWith(u'\n'),
                     run.err.constData());
        if (!output.isEmpty())
            QCOMPARE(run.out, QByteArray());
        const QByteArray written = output.isEmpty() ? run.out : contentsOf(output);
        if (!output.isEmpty() && code != 0)
            QCOMPARE(written, before);
        else if (out.isNull())
            QVERIFY(!written.isEmpty());
        else
            QCOMPARE(written, out);
        QCOMPARE(contentsOf(dir_.filePath(u"problem.json"_s)), problemBefore);
        QCOMPARE(filesIn(dir_.path()), entries);
        for (const QString &network : {u"net.bif"_s, u"mild/net.bif"_s})
            QCOMPARE(contentsOf(dir_.filePath(network)), contentsOf(testData + u'/' + network));
    }

    // A name with bytes that are not text is refused: read as text, it would name another file.
    void refusesArgumentsThatAreNotText()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"problem.json"_s), rainProblemFile()));
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
