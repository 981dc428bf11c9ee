#include "store/problem_file.h"

#include "testing/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

const QByteArray rainJson =
    R"({"child": {"name": "Rain", "states": ["High", "Low"]}, "parents": [)"
    R"({"name": "Wind", "type": "Modifying", "states": ["Strong", "Weak"]}, )"
    R"({"name": "Temp", "type": "Non-modifying", "states": ["Hot", "Cold"]}], )"
    R"("ept": [["90", "10", "40", "60"], ["70", "30", "5", "95"]]})";

// The rain problem with the first appearance of one piece of its text replaced.
QByteArray rainWith(const char *from, const char *to)
{
    QByteArray json = rainJson;
    const auto at = json.indexOf(from);
    return at < 0 ? QByteArray() : json.replace(at, qsizetype(qstrlen(from)), to);
}

} // namespace

class ProblemFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAProblem()
    {
        const ProblemFileRead read =
            parseProblemFile(rainWith(R"([["90", "10", "40", "60"], ["70", "30", "5", "95"]])",
                                      R"([[90, 12.5, " 40 ", "x"], [0.1, -3, 1e-7, 100.0]])"));
        QVERIFY2(read.file, qPrintable(read.error));
        const Problem &problem = read.file->problem;
        QCOMPARE(problem.childName, u"Rain"_s);
        QCOMPARE(problem.noChildStates, 2);
        QCOMPARE(problem.childStateName(2), u"Low"_s);
        QCOMPARE(problem.noParents(), 2);
        QCOMPARE(problem.parentName(1), u"Wind"_s);
        QCOMPARE(problem.parentType(1), modifyingType);
        QCOMPARE(problem.parentType(2), nonModifyingType);
        QCOMPARE(problem.parentNoStates(2), 2);
        QCOMPARE(problem.parentStateName(2, 1), u"Weak"_s);
        QCOMPARE(problem.parentStateName(1, 2), u"Hot"_s);
        // Texts stay as typed; numbers become their shortest text.
        QCOMPARE(read.file->ept,
                 (QList<QStringList>{{u"90"_s, u"12.5"_s, u" 40 "_s, u"x"_s},
                                     {u"0.1"_s, u"-3"_s, u"0.0000001"_s, u"100"_s}}));

        // Ten characters, though more bytes; a character beyond 16 bits as an escaped pair.
        const ProblemFileRead ten = parseProblemFile(rainWith(R"("Rain")", R"("Größenwert")"));
        QVERIFY2(ten.file, qPrintable(ten.error));
        QCOMPARE(ten.file->problem.childName, u"Größenwert"_s);
        const ProblemFileRead pair = parseProblemFile(rainWith(R"("Rain")", R"("\ud834\udd1e")"));
        QVERIFY2(pair.file, qPrintable(pair.error));
        QCOMPARE(pair.file->problem.childName, u"\U0001D11E"_s);
    }

    void readsWhatItWrites()
    {
        Problem problem;
        problem.childName = u"Größe \"x\""_s;
        problem.noChildStates = 3;
        for (int s = 1; s <= 3; ++s)
            problem.childStateName(s) = u"s%1"_s.arg(s);
        problem.appendParent();
        for (int p = 1; p <= 3; ++p) {
            problem.parentName(p) = u"\u96E8%1"_s.arg(p);
            problem.parentType(p) = p == 2 ? modifyingType : nonModifyingType;
            problem.parentNoStates(p) = p == 3 ? 3 : 2;
            for (int s = 1; s <= problem.parentNoStates(p); ++s)
                problem.parentStateName(s, p) = u"p%1s%2"_s.arg(p).arg(s);
        }
        const QList<QStringList> ept{{u"1"_s, u""_s, u" 2,5 "_s}, {u"abc"_s}};

        const QByteArray text = problemFileText(problem, ept);
        const ProblemFileRead read = parseProblemFile(text);
        QVERIFY2(read.file, qPrintable(read.error));
        QCOMPARE(problemFileText(read.file->problem, read.file->ept), text);
        QCOMPARE(read.file->problem.parentStateName(3, 3), u"p3s3"_s);
        QCOMPARE(read.file->problem.parentType(2), modifyingType);
        QCOMPARE(read.file->ept, ept);
    }

    void refusesBadProblems_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("mentions"); // a part of the one-line reason

        // A text of its own, or the rain problem with one piece of its text replaced.
        const struct
        {
            const char *tag, *from, *to, *mentions;
        } cases[] = {
            {"empty", nullptr, "", "JSON"},
            {"not JSON", nullptr, "child: Rain", "JSON"},
            {"a list", nullptr, "[]", "object"},
            {"a number", nullptr, "42", "JSON"},
            {"cut short", "]]}", "]", "JSON"},
            {"text after it", "]]}", "]]} {}", "JSON"},
            {"not UTF-8", "\"Rain\"", "\"R\xff\"", "JSON"},
            {"no child", R"("child")", R"("Child")", "child"},
            {"child a text", R"({"name": "Rain", "states": ["High", "Low"]})", "1", "child"},
            {"child without name", R"("name": "Rain", )", "", "name"},
            {"child name a number", R"("Rain")", "5", "name"},
            {"child name empty", R"("Rain")", R"("")", "1 to 10 characters"},
            {"child name of 11", R"("Rain")", R"("Elevenchars")", "1 to 10 characters"},
            {"11 characters, not ASCII", R"("Rain")", R"("Niederschlä")", "1 to 10 characters"},
            {"child without states", R"(, "states": ["High", "Low"])", "", "states"},
            {"child states a text", R"(["High", "Low"])", R"("High")", "states"},
            {"1 child state", R"(["High", "Low"])", R"(["High"])", "2 or 3"},
            {"4 child states", R"(["High", "Low"])", R"(["a", "b", "c", "d"])", "2 or 3"},
            {"child state empty", R"("Low")", R"("")", "1 to 10 characters"},
            {"TAB in the child name", R"("Rain")", R"("Ra\tin")", "control character"},
            {"raw line break in a state", R"("High")", "\"Hi\ngh\"", "control character"},
            {"CR in a parent name", R"("Temp")", R"("Te\rmp")", "control character"},
            {"NUL in a parent state", R"("Weak")", R"("We\u0000ak")", "control character"},
            {"C1 control in a state", R"("Hot")", R"("H\u0085ot")", "control character"},
            {"half a surrogate pair", R"("Rain")", R"("R\ud800in")", "valid Unicode"},
            {"surrogates swapped", R"("Cold")", R"("\udd1e\ud834")", "valid Unicode"},
            {"child state of 11", R"("Low")", R"("Elevenchars")", "1 to 10 characters"},
            {"child state a number", R"("Low")", "2", "states"},
            {"no parents", R"("parents")", R"("Parents")", "parents"},
            {"parents an object", R"("parents": [)", R"("parents": {}, "x": [)", "parents"},
            {"0 parents", R"("parents": [)", R"("parents": [], "x": [)", "at least 2"},
            {"1 parent",
             R"(}, {"name": "Temp", "type": "Non-modifying", "states": ["Hot", "Cold"]})", "}",
             "at least 2"},
            {"parent a text",
             R"({"name": "Wind", "type": "Modifying", "states": ["Strong", "Weak"]})", R"("Wind")",
             "parent 1"},
            {"parent without name", R"("name": "Temp", )", "", "parent 2"},
            {"parent name of 11", R"("Temp")", R"("Temperatur1")", "1 to 10 characters"},
            {"parent without type", R"("type": "Non-modifying", )", "", "type"},
            {"type in lower case", R"("Non-modifying")", R"("non-modifying")", "type"},
            {"type with a blank", R"("Non-modifying")", R"("Non-modifying ")", "type"},
            {"type as a code", R"("Non-modifying")", "0", "type"},
            {"parent without states", R"(, "states": ["Hot", "Cold"])", "", "states"},
            {"1 parent state", R"(["Hot", "Cold"])", R"(["Hot"])", "2 or 3"},
            {"4 parent states", R"(["Hot", "Cold"])", R"(["a", "b", "c", "d"])", "2 or 3"},
            {"parent state of 11", R"("Cold")", R"("Elevenchars")", "1 to 10 characters"},
            {"no ept", R"("ept")", R"("EPT")", "ept"},
            {"ept a text", R"("ept": [)", R"("ept": "90 10", "x": [)", "ept"},
            {"ept row a text", R"(["70", "30", "5", "95"])", R"("70 30 5 95")", "row 2"},
            {"cell null", R"("95")", "null", "cell 4 of row 2"},
            {"cell true", R"("95")", "true", "cell 4 of row 2"},
            {"cell a list", R"("95")", R"(["95"])", "cell 4 of row 2"},
            {"cell an object", R"("95")", "{}", "cell 4 of row 2"},
        };
        for (const auto &c : cases) {
            const QByteArray json = c.from ? rainWith(c.from, c.to) : QByteArray(c.to);
            QVERIFY2(!json.isNull(), c.tag);
            QTest::newRow(c.tag) << json << QString::fromUtf8(c.mentions);
        }
    }

    void refusesBadProblems()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, mentions);
        const ProblemFileRead read = parseProblemFile(json);
        QVERIFY(!read.file);
        QVERIFY2(read.error.contains(mentions), qPrintable(read.error));
        QVERIFY(!read.error.contains(u'\n'));
    }

    void namesTheFileItCannotUse()
    {
        QTemporaryDir dir;
        QFile bad(dir.filePath(u"bad.json"_s));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(rainWith(R"("Rain")", R"("")"));
        bad.close();
        QFile good(dir.filePath(u"good.json"_s));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(rainJson);
        good.close();

        for (const QString &name : {u"bad.json"_s, u"missing.json"_s, u"."_s}) {
            const QString path = dir.filePath(name);
            const ProblemFileRead read = readProblemFile(path);
            QVERIFY(!read.file);
            QVERIFY2(read.error.startsWith(path + u": "_s), qPrintable(read.error));
            QVERIFY(!read.error.contains(u'\n'));
        }
        const ProblemFileRead read = readProblemFile(good.fileName());
        QVERIFY2(read.file, qPrintable(read.error));
        QCOMPARE(read.file->ept.size(), 2);
    }
};

VADAZAZ_TEST_MAIN(ProblemFileTest)
#include "problem_file_test.moc"
