#include "core/store/problem_file.h"

#include "testing/files.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

const QByteArray rainJson =
    R"({"child": {"name": "Rain", "states": ["High", "Low"]}, "parents": [)"
    R"({"name": "Wind", "type": "Modifying", "states": ["Strong", "Weak"]}, )"
    R"({"name": "Temp", "type": "Non-modifying", "states": ["Hot", "Cold"]}], )"
    R"("ept": [["90", "10", "40", "60"], ["70", "30", "5", "95"]]})";

// The child's name, state count and state names, then for every parent its name, type, state
// count and state names.
QString text(const Problem &problem)
{
    QString text =
        u"%1|%2|%3|%4|%5"_s.arg(problem.childName)
            .arg(problem.noChildStates)
            .arg(problem.childStateName(1), problem.childStateName(2), problem.childStateName(3));
    for (int p = 1; p <= problem.noParents(); ++p)
        text += u"; %1|%2|%3|%4|%5|%6"_s
                    .arg(problem.parentName(p), parentTypeName(problem.parentType(p)))
                    .arg(problem.parentNoStates(p))
                    .arg(problem.parentStateName(1, p), problem.parentStateName(2, p),
                         problem.parentStateName(3, p));
    return text;
}

} // namespace

class ProblemFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void problemStartsAfreshKeepsTwoParentsAndNamesTypesExactly()
    {
        Problem problem = testing::problemOf(3, u"M3 N2 N3 M2"_s);
        QVERIFY(problem.removeLastParent());
        QVERIFY(problem.removeLastParent());
        QVERIFY(!problem.removeLastParent());
        QCOMPARE(text(problem), u"Child|3|C1|C2|C3; P1|Modifying|3|P1s1|P1s2|P1s3; "
                                "P2|Non-modifying|2|P2s1|P2s2|"_s);
        // A parent appended after a removal starts from the defaults, not from the removed one.
        problem.appendParent();
        QVERIFY(text(problem).endsWith(u"; |Non-modifying|2|||"_s));
        problem.initialise();
        QCOMPARE(text(problem), u"|2|||; |Non-modifying|2|||; |Non-modifying|2|||"_s);
        QCOMPARE(parentTypeNamed(u"Non-modifying "_s), std::nullopt);
    }

    void readsAProblem()
    {
        const Result<ProblemFile> read = parseProblemFile(
            testing::with(rainJson, R"([["90", "10", "40", "60"], ["70", "30", "5", "95"]])",
                          R"([[90, 12.5, " 40 ", "x"], [0.1, -3, 1e-7, 100.0]])"));
        QVERIFY(read);
        // Texts stay as typed; numbers become their shortest text.
        Problem rain = testing::rainProblem();
        rain.ept = testing::tableOf(u"90;12.5; 40 ;x|0.1;-3;0.0000001;100"_s);
        QCOMPARE(read->problem, rain);
    }

    // What it writes reads back the same, notes and an EPT of another shape included, and the
    // fields it does not know, at the top or inside the child and the parents, are kept.
    void readsWhatItWritesAndKeepsWhatItDoesNotKnow()
    {
        Problem problem = testing::problemOf(3, u"N2 M2 N3"_s);
        problem.childName = u"Größe \"x\""_s;
        problem.parentName(2) = u"\u96E8"_s;
        problem.ept = {{u"1"_s, u""_s, u" 2,5 "_s}, {u"abc"_s}};
        problem.notes = u"Dr. K., 3 May: \"rain is\nlikely\"\t"_s;
        const QByteArray text = problemFileText(problem);
        const Result<ProblemFile> read = parseProblemFile(text);
        QVERIFY(read);
        QCOMPARE(read->problem, problem);
        QCOMPARE(problemFileText(read->problem, read->original), text);

        const Result<ProblemFile> other = parseProblemFile(
            testing::with(rainJson, R"("child": {)",
                          R"("source": {"tool": "x"}, "child": {"colour": 3, )")
                .replace(R"("name": "Temp", )", R"("name": "Temp", "unit": "C", )"));
        QVERIFY(other);
        Problem changed = other->problem;
        changed.parentName(2) = u"Heat"_s;
        changed.appendParent();
        const QJsonObject written =
            QJsonDocument::fromJson(problemFileText(changed, other->original)).object();
        QCOMPARE(written[u"source"_s][u"tool"_s].toString(), u"x"_s);
        QCOMPARE(written[u"child"_s][u"colour"_s].toInt(), 3);
        QCOMPARE(written[u"parents"_s][1][u"unit"_s].toString(), u"C"_s);
        QCOMPARE(written[u"parents"_s][1][u"name"_s].toString(), u"Heat"_s);
        QCOMPARE(written[u"format"_s].toString(), u"vadazaz-problem"_s);
        QCOMPARE(written[u"version"_s].toInt(), 1);
    }

    void readsOrRefuses_data()
    {
        // mentions: a part of the one-line reason, empty where it reads
        testing::addColumns<QByteArray, QString>("json", "mentions");

        // A text of its own, or the rain problem with one piece of its text replaced.
        const auto row = [](const char *tag, const char *from, const char *to,
                            const char *mentions) {
            const QByteArray json = from ? testing::with(rainJson, from, to) : QByteArray(to);
            QVERIFY2(json != "(missing)", tag);
            QTest::newRow(tag) << json << QString::fromUtf8(mentions);
        };
        row("empty", nullptr, "", "JSON");
        row("not UTF-8", "\"Rain\"", "\"R\xff\"", "JSON");
        row("a list", nullptr, "[]", "object");
        row("no child", R"("child")", R"("Child")", "the problem has no \"child\"");
        row("parent a text",
            R"({"name": "Wind", "type": "Modifying", "states": ["Strong", "Weak"]})", R"("Wind")",
            "parent 1 must be an object");
        row("parent without name", R"("name": "Temp", )", "", "parent 2 has no \"name\"");
        row("child name a number", R"("Rain")", "5", "the child's name must be a text");
        row("child name empty", R"("Rain")", R"("")", "1 to 10 characters, not 0");
        row("child states a text", R"(["High", "Low"])", R"("High")", "list of state names");
        row("1 child state", R"(["High", "Low"])", R"(["High"])", "2 or 3 state names, not 1");
        row("4 parent states", R"(["Hot", "Cold"])", R"(["a", "b", "c", "d"])",
            "parent 2's \"states\" must list 2 or 3 state names, not 4");
        // Names that would break the lines and columns of a CPT file.
        row("raw line break in a state", R"("High")", "\"Hi\ngh\"", "control character");
        row("CR in a parent name", R"("Temp")", R"("Te\rmp")", "control character");
        row("NUL in a parent state", R"("Weak")", R"("We\u0000ak")", "control character");
        row("half a surrogate pair", R"("Rain")", R"("R\ud800in")", "valid Unicode");
        row("surrogates swapped", R"("Cold")", R"("\udd1e\ud834")", "valid Unicode");
        row("parents an object", R"("parents": [)", R"("parents": {}, "x": [)", "list of parents");
        row("1 parent",
            R"(}, {"name": "Temp", "type": "Non-modifying", "states": ["Hot", "Cold"]})", "}",
            "at least 2 parents, not 1");
        row("type in lower case", R"("Non-modifying")", R"("non-modifying")",
            "parent 2's \"type\" must be");
        row("ept a text", R"("ept": [)", R"("ept": "90 10", "x": [)", "list of rows");
        row("ept row a text", R"(["70", "30", "5", "95"])", R"("70 30 5 95")",
            "row 2 of \"ept\" must be a list of cells");
        row("cell true", R"("95")", "true", "cell 4 of row 2 of \"ept\" must be");
        row("no EPT", R"(, "ept": [["90", "10", "40", "60"], ["70", "30", "5", "95"]])", "", "");
        row("notes a number", R"("ept")", R"("notes": 5, "ept")", "\"notes\" must be a text");
        row("this version", R"("ept")", R"("format": "vadazaz-problem", "version": 1, "ept")", "");
        row("a later version", R"("ept")", R"("format": "vadazaz-problem", "version": 2, "ept")",
            "written by a later version of the program (problem file version 2); this version "
            "reads version 1");
        row("version without format", R"("ept")", R"("version": 1, "ept")",
            "not a problem file of this program");
        row("another format", R"("ept")", R"("format": "bif", "version": 1, "ept")",
            "not a problem file of this program");
        // A key named twice: which one was meant is not known.
        row("ept twice", R"("ept")", R"("ept": [], "ept")",
            "\"ept\" is named twice in the problem");
        row("once escaped", R"("ept")", R"("\u0065pt": [], "ept")",
            "\"ept\" is named twice in the problem");
        row("a parent's name twice", R"("name": "Temp", )", R"("name": "Temp", "name": "Heat", )",
            "\"name\" is named twice in \"parents\"[2]");
        row("twice deep inside, after half a surrogate pair", R"("child": {)",
            R"("child": {"x": "\udc00", "network": {"id": "R", "id": "S"}, )",
            "\"id\" is named twice in \"child\".\"network\"");
        row("version 1.5", R"("ept")", R"("format": "vadazaz-problem", "version": 1.5, "ept")",
            "\"version\" must be a whole number");
    }

    void readsOrRefuses()
    {
        const auto [json, mentions] = testing::fetch<QByteArray, QString>("json", "mentions");
        const Result<ProblemFile> read = parseProblemFile(json);
        QCOMPARE(read.ok(), mentions.isEmpty());
        if (!read) {
            QVERIFY2(read.failure().text.contains(mentions), qPrintable(read.failure().text));
            QVERIFY(!read.failure().text.contains(u'\n'));
        }
    }

    // Only regular files of at most 4 MiB are read; every refusal names the file and says why.
    void readsOnlyFilesWithinTheLimit_data()
    {
        // error: after "PATH: ", empty where it reads
        testing::addColumns<QString, QString>("name", "error");
        QTest::newRow("no problem") << u"bad.json"_s << u"the problem must be a JSON object"_s;
        QTest::newRow("missing") << u"missing.json"_s
                                 << u"cannot be read: No such file or directory"_s;
        QTest::newRow("a folder") << u"."_s << u"cannot be read: "_s;
        QTest::newRow("a pipe nobody writes to")
            << u"pipe"_s << u"cannot be read: It is not a regular file."_s;
        QTest::newRow("one byte past the limit")
            << u"large.json"_s
            << u"cannot be read: It is larger than 4194304 bytes (4 MiB), the limit for a problem "
               "file."_s;
        QTest::newRow("at the limit") << u"limit.json"_s << QString();
    }
    void readsOnlyFilesWithinTheLimit()
    {
        const auto [name, error] = testing::fetch<QString, QString>("name", "error");
        QTemporaryDir dir;
        QVERIFY(testing::writeFile(dir.filePath(u"bad.json"_s), "[]"));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(u"pipe"_s)).constData(), 0600) == 0);
        // Blanks after the problem are still JSON.
        QVERIFY(testing::writeFile(dir.filePath(u"limit.json"_s),
                                   rainJson.leftJustified(problemFileLimit, ' ')));
        QFile large(dir.filePath(u"large.json"_s));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(problemFileLimit + 1));
        large.close();
        const QString path = dir.filePath(name);
        const Result<ProblemFile> read = readProblemFile(path);
        QCOMPARE(read ? QString() : read.failure().text.left(path.size() + 2 + error.size()),
                 error.isEmpty() ? QString() : path + u": "_s + error);
    }
};

VADAZAZ_TEST_MAIN(ProblemFileTest)
#include "problem_file_test.moc"
