#include "core/network/dne_format.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// What the program takes from each variable of a network, a line each.
QString described(const Network &network)
{
    QStringList lines;
    for (const NetworkVariable &v : network.variables) {
        QStringList numbers;
        for (const double x : v.table)
            numbers.append(QString::number(x));
        const bool place = v.tableBegin >= 0 && v.tableBegin < v.tableEnd;
        lines.append(u"%1 \"%2\" line %3 (%4) (%5) | %6 = %7"_s.arg(v.id, v.label)
                         .arg(v.line)
                         .arg(v.states.join(u','), v.stateLabels.join(u','), v.parents.join(u' '),
                              place ? numbers.join(u' ') : numbers.join(u' ') + u"-"_s));
    }
    return lines.join(u'\n');
}

QByteArray lineEnds(QByteArray text, const char *lineEnd)
{
    return text.replace("\n", lineEnd);
}

// Rain has a 2-state and a 3-state parent; its table is a flat list with a comment per row, Wind
// slowest, then Temp, then its own states, so that it reads in the program's order as it stands.
const QByteArray weather = R"(// ~->[DNET-1]->~

// File created by someone.

bnet Weather {
autoupdate = TRUE;
visual V1 {
    nodefont = font {shape= "Arial"; size= 10;};
    NodeSet Node {BuiltIn = 1; Color = 0x00e1e1e1;};
    };

node Wind {
    kind = NATURE;
    discrete = TRUE;
    chance = CHANCE;
    states = (Strong, Weak);
    parents = ();
    probs = 
        // Strong       Weak         
          (0.5,         0.5);
    title = "Wind speed";
    statetitles = ("strong wind", "");
    whenchanged = 1351971726;
    visual V1 {
        center = (114, 54);
        link 1 {path = ((228, 70), (133, 153));};
        };
    };

node Temp {
    discrete = TRUE;
    states = (Hot, Mild, Cold);
    kind = NATURE;
    parents = ();
    probs = (2e-1, 3.5E-1, 0.45);
    };

node Rain {
    kind = NATURE;
    discrete = TRUE;
    chance = CHANCE;
    states = (High, Mid, Low);
    parents = (Wind, Temp);
    probs = 
        // High         Mid          Low           // Wind         Temp         
          (0.1,         0.2,         0.7,          // Strong       Hot          
           0.2,         0.3,         0.5,          // Strong       Mild         
           0.3,         0.3,         0.4,          // Strong       Cold         
           0.4,         0.4,         0.2,          // Weak         Hot          
           0.5,         0.4,         0.1,          // Weak         Mild         
           0.6,         0.3,         0.1);         // Weak         Cold         ;
    numcases = 1;
    };

node Act {kind = DECISION; discrete = TRUE; states = (Go, Stay); parents = (Rain);};
node Gain {kind = UTILITY; discrete = FALSE; parents = (Act); functable = (1, 2);};
node Level {kind = NATURE; discrete = FALSE; levels = (0, 10, 20); parents = (); probs = (0.5, 0.5);};
node Rule {
    kind = NATURE; discrete = TRUE; chance = DETERMIN; states = (Yes, No); parents = (Wind);
    functable = (Yes, No); probs = ((1, 0), (0, 1));
    };
node Blank {kind = NATURE; discrete = TRUE; states = (Yes, No); parents = ();};
NodeSet Proficiency {Nodes = (Wind, Rain);};
};
)";

const QString weatherRead = QString::fromUtf8(
    R"(Wind "Wind speed" line 12 (Strong,Weak) (strong wind,) |  = 0.5 0.5
Temp "" line 30 (Hot,Mild,Cold) (,,) |  = 0.2 0.35 0.45
Rain "" line 38 (High,Mid,Low) (,,) | Wind Temp = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1
Act "" line 55 (Go,Stay) (,) | Rain = -
Gain "" line 56 (value) () | Act = -
Level "" line 57 (range1,range2) (0 to 10,10 to 20) |  = -
Rule "" line 58 (Yes,No) (,) | Wind = -
Blank "" line 62 (Yes,No) (,) |  = -)");

// Rain's table nested by Wind, then Temp, as an older writer leaves it.
const QByteArray nested = R"(// ~->[DNET-1]->~
bnet Nested {
node Wind {kind = NATURE; discrete = TRUE; states = (Strong, Weak); parents = ();
    probs = (0.5, 0.5);};
node Temp {kind = NATURE; discrete = TRUE; states = (Hot, Mild, Cold); parents = ();
    probs = (0.2, 0.35, 0.45);};
node Rain {
    kind = NATURE;
    discrete = TRUE;
    states = (High, Mid, Low);
    parents = (Wind, Temp);
    probs = 
        // High          Mid           Low             // Wind   Temp
        (((0.1,          0.2,          0.7),           // Strong Hot
          (0.2,          0.3,          0.5),           // Strong Mild
          (0.3,          0.3,          0.4)),          // Strong Cold
         ((0.4,          0.4,          0.2),           // Weak   Hot
          (0.5,          0.4,          0.1),           // Weak   Mild
          (0.6,          0.3,          0.1)));         // Weak   Cold   ;
    title = "Rain";
    };
};
)";

const QString nestedRead = QString::fromUtf8(
    R"(Wind "" line 3 (Strong,Weak) (,) |  = 0.5 0.5
Temp "" line 5 (Hot,Mild,Cold) (,,) |  = 0.2 0.35 0.45
Rain "Rain" line 7 (High,Mid,Low) (,,) | Wind Temp = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)");

// A network with the node A, and what follows in it.
QByteArray withA(const QByteArray &rest)
{
    return "// ~->[DNET-1]->~\nbnet N {\nnode A {\n    states = (a, b);\n    parents = ();\n    "
           "};\n" +
           rest + "};\n";
}

ExportVariable exportVariable(const QString &id, const QString &label, int states,
                              const QStringList &parents, const QList<QStringList> &rows)
{
    ExportVariable v{id, label, {}, {}, parents, rows};
    for (int s = 1; s <= states; ++s) {
        v.states.append(u"%1s%2"_s.arg(id).arg(s));
        v.stateLabels.append(u"%1 state %2"_s.arg(id).arg(s));
    }
    return v;
}

// The export of writesTheFile().
const QByteArray rainyFile = R"(// ~->[DNET-1]->~

bnet Rainy {
autoupdate = TRUE;

node Wind {
    kind = NATURE;
    discrete = TRUE;
    chance = CHANCE;
    states = (Winds1, Winds2);
    parents = ();
    probs =
        // Winds1       Winds2
          (0.50,        0.50);
    title = "Wind speed";
    statetitles = ("Wind state 1", "Wind state 2");
    };

node Rain {
    kind = NATURE;
    discrete = TRUE;
    chance = CHANCE;
    states = (Rains1, Rains2);
    parents = (Wind);
    probs =
        // Rains1       Rains2        // Wind
          (0.900000,    0.100000,     // Winds1
           0.400000,    0.600000);    // Winds2
    title = "Rain";
    statetitles = ("Rain state 1", "Rain state 2");
    };
};
)";

} // namespace

class DneFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("flat, LF, nodes without a table") << weather << weatherRead;
        QTest::newRow("nested, CR LF") << lineEnds(nested, "\r\n") << nestedRead;
        QTest::newRow("nested, CR") << lineEnds(nested, "\r") << nestedRead;
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const Result<Network> read = readDne(file, u"t.dne"_s);
        QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.failure().text));
        QCOMPARE(described(*read), expected);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("another format")
            << QByteArray("net\n{\n}\n")
            << u"line 1: this is not a DNE file: it does not begin with \"bnet\""_s;
        QTest::newRow("cut short")
            << QByteArray("bnet N {\nnode A {\n    states = (a, b);\n")
            << u"line 3: the file is cut short: it ends where \"}\" should follow"_s;
        QTest::newRow("string without its end")
            << withA("node B {\n    title = \"B;\n    };\n")
            << u"line 8: the string that begins on this line has no closing quote"_s;
        QTest::newRow("undeclared parent")
            << withA("node B {\n    states = (x, y);\n    parents = (C);\n    };\n")
            << u"line 7: the node \"B\" names the parent \"C\", which is not declared"_s;
        QTest::newRow("table too short")
            << withA("node B {\n    states = (x, y, z);\n    parents = (A);\n"
                     "    probs = ((0.5, 0.25, 0.25),\n             (0.5, 0.25));\n    };\n")
            << u"line 10: the table of \"B\" holds 5 numbers, but its 3 states and its parents' "
               "states ask for 6"_s;
        QTest::newRow("forbidden name")
            << withA("node B {\n    states = (x, 2y);\n    };\n")
            << u"line 8: \"2y\" is not a valid name: a name begins with a letter and holds at "
               "most 30 letters, digits and \"_\""_s;
        QTest::newRow("name too long")
            << withA("node Abcdefghij_abcdefghij_abcdefghij {\n    states = (x);\n    };\n")
            << u"line 7: \"Abcdefghij_abcdefghij_abcdefghij\" is not a valid name: a name begins "
               "with a letter and holds at most 30 letters, digits and \"_\""_s;
        QTest::newRow("declared twice")
            << withA("node A {\n    states = (c);\n    };\n")
            << u"line 7: the node \"A\" is declared twice (first on line 3)"_s;
        QTest::newRow("not a number")
            << withA("node B {\n    states = (x, y);\n    parents = ();\n"
                     "    probs = (0.5,\n             0.5e);\n    };\n")
            << u"line 11: \"0.5e\" in the table of \"B\" is not a number"_s;
        QTest::newRow("no states")
            << withA("node B {\n    discrete = TRUE;\n    states = ();\n    };\n")
            << u"line 7: the node \"B\" has no states"_s;
        QTest::newRow("titles for other states")
            << withA("node B {\n    states = (x, y);\n    statetitles = (\"x\");\n    };\n")
            << u"line 7: the node \"B\" has 1 state titles for 2 states"_s;
        QTest::newRow("text after the end")
            << withA("") + "node C {};\n"
            << u"line 8: expected the end of the file but found \"node\""_s;
        QTest::newRow("nested too deep")
            << withA("visual V1 " + QByteArray(65, '{') + QByteArray(65, '}') + ";\n")
            << u"line 7: the brackets are nested deeper than 64 levels"_s;
    }

    void refuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const Result<Network> read = readDne(file, u"t.dne"_s);
        QVERIFY(!read.ok());
        QCOMPARE(read.failure().text, u"t.dne, "_s + message);
    }

    // An export reads back with its numbers, its titles as typed (quotes, backslashes and all),
    // its states by their identifiers with their titles, and each parent in its place.
    void writesWhatReadsBack()
    {
        const NetworkExport network{
            u"Weather"_s,
            {exportVariable(u"Wind"_s, u"Wind \"speed\" \\ <&> \u00e9\u96e8"_s, 2, {},
                            {{u"0.50"_s, u"0.50"_s}}),
             exportVariable(u"Temp"_s, u"Temp"_s, 3, {}, {{u"0.2"_s, u"0.3"_s, u"0.5"_s}}),
             exportVariable(u"Rain"_s, u"Rain"_s, 3, {u"Wind"_s, u"Temp"_s},
                            {{u"0.1"_s, u"0.2"_s, u"0.7"_s},
                             {u"0.2"_s, u"0.3"_s, u"0.5"_s},
                             {u"0.3"_s, u"0.3"_s, u"0.4"_s},
                             {u"0.4"_s, u"0.4"_s, u"0.2"_s},
                             {u"0.5"_s, u"0.4"_s, u"0.1"_s},
                             {u"0.6"_s, u"0.3"_s, u"0.1"_s}})}};
        const QByteArray written = writeDne(network);
        QVERIFY(written.contains("title = \"Wind \\\"speed\\\" \\\\ <&> \xC3\xA9\xE9\x9B\xA8\";"));
        const Result<Network> read = readDne(written, u"t.dne"_s);
        QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.failure().text));
        QCOMPARE(read->name, u"Weather"_s);
        const QString expected = QString::fromUtf8(
            R"(Wind "Wind "speed" \ <&> é雨" line 6 (Winds1,Winds2) (Wind state 1,Wind state 2) |  = 0.5 0.5
Temp "Temp" line 19 (Temps1,Temps2,Temps3) (Temp state 1,Temp state 2,Temp state 3) |  = 0.2 0.3 0.5
Rain "Rain" line 32 (Rains1,Rains2,Rains3) (Rain state 1,Rain state 2,Rain state 3) | Wind Temp = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)");
        QCOMPARE(described(*read), expected);
    }

    void writesTheFile()
    {
        const NetworkExport network{
            u"Rainy"_s,
            {exportVariable(u"Wind"_s, u"Wind speed"_s, 2, {}, {{u"0.50"_s, u"0.50"_s}}),
             exportVariable(u"Rain"_s, u"Rain"_s, 2, {u"Wind"_s},
                            {{u"0.900000"_s, u"0.100000"_s}, {u"0.400000"_s, u"0.600000"_s}})}};
        QCOMPARE(writeDne(network), rainyFile);
    }

    void writesATableBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QByteArray>("expected");
        const QString sixRows = u"0.100000 0.200000 0.700000|0.15 0.25 0.6|0.2 0.3 0.5|"
                                "0.25 0.35 0.4|0.3 0.4 0.3|0.35 0.45 0.2"_s;
        // The columns stay where they were, the comments of the rows too, but for the last.
        const QByteArray flatBack = R"(probs = 
        // High         Mid          Low           // Wind         Temp         
          (0.100000,    0.200000,    0.700000,     // Strong       Hot          
           0.15,        0.25,        0.6,          // Strong       Mild         
           0.2,         0.3,         0.5,          // Strong       Cold         
           0.25,        0.35,        0.4,          // Weak         Hot          
           0.3,         0.4,         0.3,          // Weak         Mild         
           0.35,        0.45,        0.2);         // Weak         Cold         ;)";
        const QByteArray nestedBack = R"(probs = 
        // High          Mid           Low             // Wind   Temp
        (((0.100000,     0.200000,     0.700000),      // Strong Hot
          (0.15,         0.25,         0.6),           // Strong Mild
          (0.2,          0.3,          0.5)),          // Strong Cold
         ((0.25,         0.35,         0.4),           // Weak   Hot
          (0.3,          0.4,          0.3),           // Weak   Mild
          (0.35,         0.45,         0.2)));         // Weak   Cold   ;)";
        const auto rainBack = [](const QByteArray &file, const QByteArray &back) {
            const qsizetype begin = file.indexOf("probs = \n        // High");
            return QByteArray(file).replace(begin, file.indexOf("   ;", begin) + 4 - begin, back);
        };
        QTest::newRow("flat, LF") << weather << u"Rain"_s << sixRows << rainBack(weather, flatBack);
        QTest::newRow("nested, CR LF") << lineEnds(nested, "\r\n") << u"Rain"_s << sixRows
                                       << lineEnds(rainBack(nested, nestedBack), "\r\n");
        QTest::newRow("a root, tight")
            << withA("node B {states = (x, y); probs = (1,0);};\n") << u"B"_s << u"0.25 0.75"_s
            << withA("node B {states = (x, y); probs = (0.25,0.75);};\n");
    }

    // Only the numbers change, and the spaces that keep the columns; the table reads back with
    // the new numbers.
    void writesATableBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, id);
        QFETCH(QString, rows);
        QFETCH(QByteArray, expected);
        const Result<Network> read = readDne(file, u"t.dne"_s);
        QVERIFY(read.ok());
        const NetworkVariable &v = *read->variable(id);
        QList<QStringList> table;
        std::vector<double> numbers;
        for (const QString &row : rows.split(u'|')) {
            table.append(row.split(u' '));
            for (const QString &cell : table.last())
                numbers.push_back(cell.toDouble());
        }
        QByteArray written = file;
        written.replace(v.tableBegin, v.tableEnd - v.tableBegin,
                        dneTableText(file, *read, v, table));
        QCOMPARE(written, expected);
        const Result<Network> again = readDne(written, u"t.dne"_s);
        QVERIFY(again.ok());
        QCOMPARE(again->variable(id)->table, numbers);
    }
};

VADAZAZ_TEST_MAIN(DneFormatTest)
#include "dne_format_test.moc"
