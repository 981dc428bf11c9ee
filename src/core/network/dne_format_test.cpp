#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

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
    R"(network Weather
Wind "Wind speed" line 12 [Strong Weak] (strong wind,) <> = 0.5 0.5
Temp "" line 30 [Hot Mild Cold] (,,) <> = 0.2 0.35 0.45
Rain "" line 38 [High Mid Low] (,,) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1
Act "" line 55 [Go Stay] (,) <Rain> -
Gain "" line 56 [value] () <Act> -
Level "" line 57 [range1 range2] (0 to 10,10 to 20) <> -
Rule "" line 58 [Yes No] (,) <Wind> -
Blank "" line 62 [Yes No] (,) <> -)");

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
    R"(network Nested
Wind "" line 3 [Strong Weak] (,) <> = 0.5 0.5
Temp "" line 5 [Hot Mild Cold] (,,) <> = 0.2 0.35 0.45
Rain "Rain" line 7 [High Mid Low] (,,) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)");

// A network with the node A, and what follows in it.
QByteArray withA(const QByteArray &rest)
{
    return "// ~->[DNET-1]->~\nbnet N {\nnode A {\n    states = (a, b);\n    parents = ();\n    "
           "};\n" +
           rest + "};\n";
}

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
        QTest::addColumn<QString>("read"); // or the message
        QTest::newRow("flat, LF, nodes without a table") << weather << weatherRead;
        QTest::newRow("nested, CR LF") << withLineEnds(nested, "\r\n") << nestedRead;
        QTest::newRow("nested, CR") << withLineEnds(nested, "\r") << nestedRead;
        const auto refused = [](const char *name, const QByteArray &file, const QString &message) {
            QTest::newRow(name) << file << u"t.dne, "_s + message;
        };
        refused("another format", QByteArray("net\n{\n}\n"),
                u"line 1: this is not a DNE file: it does not begin with \"bnet\""_s);
        refused("cut short", QByteArray("bnet N {\nnode A {\n    states = (a, b);\n"),
                u"line 3: the file is cut short: it ends where \"}\" should follow"_s);
        refused("string without its end", withA("node B {\n    title = \"B;\n    };\n"),
                u"line 8: the string that begins on this line has no closing quote"_s);
        refused("undeclared parent",
                withA("node B {\n    states = (x, y);\n    parents = (C);\n    };\n"),
                u"line 7: the node \"B\" names the parent \"C\", which is not declared"_s);
        refused("table too short",
                withA("node B {\n    states = (x, y, z);\n    parents = (A);\n"
                      "    probs = ((0.5, 0.25, 0.25),\n             (0.5, 0.25));\n    };\n"),
                u"line 10: the table of \"B\" holds 5 numbers, but its 3 states and its parents' "
                "states ask for 6"_s);
        refused("forbidden name", withA("node B {\n    states = (x, 2y);\n    };\n"),
                u"line 8: \"2y\" is not a valid name: a name begins with a letter and holds at "
                "most 30 letters, digits and \"_\""_s);
        refused("name too long",
                withA("node Abcdefghij_abcdefghij_abcdefghij {\n    states = (x);\n    };\n"),
                u"line 7: \"Abcdefghij_abcdefghij_abcdefghij\" is not a valid name: a name begins "
                "with a letter and holds at most 30 letters, digits and \"_\""_s);
        refused("declared twice", withA("node A {\n    states = (c);\n    };\n"),
                u"line 7: the node \"A\" is declared twice (first on line 3)"_s);
        refused("not a number",
                withA("node B {\n    states = (x, y);\n    parents = ();\n"
                      "    probs = (0.5,\n             0.5e);\n    };\n"),
                u"line 11: \"0.5e\" in the table of \"B\" is not a number"_s);
        refused("no states", withA("node B {\n    discrete = TRUE;\n    states = ();\n    };\n"),
                u"line 7: the node \"B\" has no states"_s);
        refused("titles for other states",
                withA("node B {\n    states = (x, y);\n    statetitles = (\"x\");\n    };\n"),
                u"line 7: the node \"B\" has 1 state titles for 2 states"_s);
        refused("text after the end", withA("") + "node C {};\n",
                u"line 8: expected the end of the file but found \"node\""_s);
        refused("nested too deep",
                withA("visual V1 " + QByteArray(65, '{') + QByteArray(65, '}') + ";\n"),
                u"line 7: the brackets are nested deeper than 64 levels"_s);
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QCOMPARE(readAs(NetworkFormat::Dne, file, u"t.dne"_s), read);
    }

    // The file as written; and an export reads back with its numbers, its titles as typed
    // (quotes, backslashes and all), its states by their identifiers with their titles, and each
    // parent in its place.
    void writesAnExport()
    {
        const NetworkExport rainy{
            u"Rainy"_s,
            {exported(u"Wind"_s, u"Wind speed"_s, u"Winds1 Winds2"_s,
                      {u"Wind state 1"_s, u"Wind state 2"_s}, {}, u"0.50 0.50"_s),
             exported(u"Rain"_s, u"Rain"_s, u"Rains1 Rains2"_s,
                      {u"Rain state 1"_s, u"Rain state 2"_s}, u"Wind"_s,
                      u"0.900000 0.100000|0.400000 0.600000"_s)}};
        QCOMPARE(writeNetwork(NetworkFormat::Dne, rainy), rainyFile);
        const NetworkExport weather{
            u"Weather"_s,
            {exported(u"Wind"_s, u"Wind \"speed\" \\ <&> \u00e9\u96e8"_s, u"Strong Weak"_s,
                      {u"strong, \"gusty\""_s, u""_s}, {}, u"0.50 0.50"_s),
             exported(u"Temp"_s, u"Temp"_s, u"Hot Mild Cold"_s, {u"hot"_s, u"mild"_s, u"cold"_s},
                      {}, u"0.2 0.3 0.5"_s),
             exported(
                 u"Rain"_s, u"Rain"_s, u"High Mid Low"_s, {u"high"_s, u"mid"_s, u"low"_s},
                 u"Wind Temp"_s,
                 u"0.1 0.2 0.7|0.2 0.3 0.5|0.3 0.3 0.4|0.4 0.4 0.2|0.5 0.4 0.1|0.6 0.3 0.1"_s)}};
        QCOMPARE(readAs(NetworkFormat::Dne, writeNetwork(NetworkFormat::Dne, weather), u"t.dne"_s),
                 QString::fromUtf8(R"(network Weather
Wind "Wind "speed" \ <&> é雨" line 6 [Strong Weak] (strong, "gusty",) <> = 0.5 0.5
Temp "Temp" line 19 [Hot Mild Cold] (hot,mild,cold) <> = 0.2 0.3 0.5
Rain "Rain" line 32 [High Mid Low] (high,mid,low) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)"));
    }

    // Only the numbers change, and the spaces that keep the columns; the table reads back with
    // the new numbers.
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
        QTest::newRow("nested, CR LF") << withLineEnds(nested, "\r\n") << u"Rain"_s << sixRows
                                       << withLineEnds(rainBack(nested, nestedBack), "\r\n");
        QTest::newRow("a root, tight")
            << withA("node B {states = (x, y); probs = (1,0);};\n") << u"B"_s << u"0.25 0.75"_s
            << withA("node B {states = (x, y); probs = (0.25,0.75);};\n");
    }

    void writesATableBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, id);
        QFETCH(QString, rows);
        QFETCH(QByteArray, expected);
        QCOMPARE(writtenBack(NetworkFormat::Dne, file, id, rows), expected);
    }
};

VADAZAZ_TEST_MAIN(DneFormatTest)
#include "dne_format_test.moc"
