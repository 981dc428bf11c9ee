#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// Rain has a 2-state and a 3-state parent; its table is nested by Wind, then Temp, then its own
// states, so that it reads in the program's order as it stands.
const QByteArray weather = R"(% Hugin style
net
{
    name = "Weather";
    node_size = (80 40);
}

node Wind
{
    label = "Wind speed, m/s";
    position = (10 20);
    states = ("Strong" "Weak");
}

discrete node Temp
{
    states = ("Hot" "Mild" "Cold");
}

node Rain
{
    label = "";
    states = ("High" "Mid" "Low");
    HR_Desc = "";
}

decision node Act { states = ("Go" "Stay"); }
utility node Gain { }
continuous node Level { }
node Noisy { states = ("Yes" "No"); }

potential (Wind) { data = ( 0.5 0.5 ); }
potential (Temp) { data = (2e-1 3.5E-1 0.45); }
potential (Rain | Wind Temp)
{
    data
     = (((0.1 0.2 0.7)	%  Wind=Strong  Temp=Hot
	 (0.2 0.3 0.5)	%  Wind=Strong  Temp=Mild
	 (0.3 0.3 0.4))	%  Wind=Strong  Temp=Cold
	((0.4 0.4 0.2)
	 (0.5 0.4 0.1)
	 (0.6 0.3 0.1)));
    experience = ((1 1 1) (1 1 1));
}
potential (Act | Rain) { }
potential (Gain | Act Rain) { data = ((1 2 3) (4 5 6)); }
potential (Level | Rain) { data = (normal (0, 1) normal (1, 1) normal (2, 1)); }
potential (Noisy | Wind) { model_nodes = (); model_data = (0.1 0.9 0.2 0.8); data = (0.1 0.9 0.2 0.8); }
)";

const QString weatherRead = QString::fromUtf8(R"(network Weather
Wind "Wind speed, m/s" line 8 [Strong Weak] (,) <> = 0.5 0.5
Temp "" line 15 [Hot Mild Cold] (,,) <> = 0.2 0.35 0.45
Rain "" line 20 [High Mid Low] (,,) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1
Act "" line 27 [Go Stay] (,) <Rain> -
Gain "" line 28 [value] () <Act Rain> -
Level "" line 29 [value] () <Rain> -
Noisy "" line 30 [Yes No] (,) <Wind> -)");

// Rain's table as one flat list, its numbers in the program's order.
const QByteArray flat = "net\n{\n}\nnode Wind\n{\n  states = (\"Strong\" \"Weak\");\n}\n"
                        "node Temp { states = (\"Hot\" \"Mild\" \"Cold\"); }\n"
                        "node Rain { states = (\"High\" \"Mid\" \"Low\"); }\n"
                        "potential (Wind) { data = (0.5 0.5); }\n"
                        "potential (Temp) { data = (0.2 0.35 0.45); }\n"
                        "potential (Rain | Wind Temp)\n{\n  data = (0.1 0.2 0.7 0.2 0.3 0.5\n"
                        "  0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1);\n}\n";

const QString flatRead = QString::fromUtf8(R"(network
Wind "" line 4 [Strong Weak] (,) <> = 0.5 0.5
Temp "" line 8 [Hot Mild Cold] (,,) <> = 0.2 0.35 0.45
Rain "" line 9 [High Mid Low] (,,) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)");

// A network with the node A, and what follows.
QByteArray withA(const QByteArray &rest)
{
    return "net\n{\n}\nnode A\n{\n    states = (\"a\" \"b\");\n}\n" + rest;
}

// The export of writesAnExport().
const QByteArray rainyFile = R"(net
{
    name = "Rainy";
}

node Wind
{
    label = "Wind speed";
    states = ("Winds1" "Winds2");
}

node Rain
{
    label = "Rain";
    states = ("Rains1" "Rains2");
}

potential (Wind)
{
    data = (0.50 0.50);
}

potential (Rain | Wind)
{
    data = ((0.90 0.10)
            (0.40 0.60));
}
)";

} // namespace

class NetFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // or the message
        QTest::newRow("nested, LF, nodes without a table") << weather << weatherRead;
        QTest::newRow("flat, CR LF") << withLineEnds(flat, "\r\n") << flatRead;
        QTest::newRow("flat, CR") << withLineEnds(flat, "\r") << flatRead;
        const auto refused = [](const char *name, const QByteArray &file, const QString &message) {
            QTest::newRow(name) << file << u"t.net, "_s + message;
        };
        refused("another format", QByteArray("bnet x {};"),
                u"line 1: this is not a NET file: it does not begin with \"net\""_s);
        refused("a class", QByteArray("class C\n{\n}\n"),
                u"line 1: this NET file holds a class (an object-oriented network); only plain "
                "networks can be read"_s);
        refused("cut short", QByteArray("net\n{\n}\nnode A\n{\n    states = (\"a\" \"b\");\n"),
                u"line 6: the file is cut short: it ends where \"}\" should follow"_s);
        refused("string without its end", QByteArray("net\n{\n}\nnode A\n{\n    label = \"A;\n}\n"),
                u"line 6: the string that begins on this line has no closing quote"_s);
        refused("undeclared node", withA("potential (B) { data = (0.5 0.5); }\n"),
                u"line 8: the potential names the node \"B\", which is not declared"_s);
        refused("undeclared parent", withA("\npotential (A | B) { data = (0.5 0.5); }\n"),
                u"line 9: the potential of \"A\" names the parent \"B\", which is not declared"_s);
        refused("table too short",
                withA("node B { states = (\"x\" \"y\" \"z\"); }\n"
                      "potential (A | B)\n{\n    data = ((0.5 0.5) (0.5 0.5));\n}\n"),
                u"line 11: the table of \"A\" holds 4 numbers, but its 2 states and its parents' "
                "states ask for 6"_s);
        refused("forbidden name", QByteArray("net\n{\n}\nnode 2nd\n{\n}\n"),
                u"line 4: \"2nd\" is not a valid name: a name begins with a letter or \"_\" and "
                "holds only letters, digits and \"_\""_s);
        refused("declared twice", withA("node A { states = (\"c\"); }\n"),
                u"line 8: the node \"A\" is declared twice (first on line 4)"_s);
        refused("two potentials",
                withA("potential (A) { data = (1 0); }\npotential (A) { data = (1 0); }\n"),
                u"line 9: the node \"A\" has a second potential (the first is on line 8)"_s);
        refused("not a number", withA("potential (A)\n{\n    data = (0.5\n            0x1F);\n}\n"),
                u"line 11: \"0x1F\" in the table of \"A\" is not a number"_s);
        refused("a word in the table", withA("potential (A) { data = (0.5 half); }\n"),
                u"line 8: \"half\" in the table of \"A\" is not a number"_s);
        refused("no states", QByteArray("net\n{\n}\nnode A\n{\n    states = ();\n}\n"),
                u"line 4: the node \"A\" has no states"_s);
        refused("continuous parent of a discrete node",
                withA("continuous node X { }\npotential (A | X) { data = (1 0); }\n"),
                u"line 9: the discrete node \"A\" has the parent \"X\", which has no states"_s);
        refused("nested too deep",
                withA("potential (A) { data = " + QByteArray(65, '(') + "1 0" +
                      QByteArray(65, ')') + "; }\n"),
                u"line 8: the brackets are nested deeper than 64 levels"_s);
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QCOMPARE(readAs(NetworkFormat::Net, file, u"t.net"_s), read);
    }

    // The file as written; and an export reads back with its numbers, its labels as typed
    // (quotes, backslashes and all), its states by their identifiers, and each parent in its
    // place.
    void writesAnExport()
    {
        const NetworkExport rainy{
            u"Rainy"_s,
            {exported(u"Wind"_s, u"Wind speed"_s, u"Winds1 Winds2"_s,
                      {u"Wind speed state 1"_s, u"Wind speed state 2"_s}, {}, u"0.50 0.50"_s),
             exported(u"Rain"_s, u"Rain"_s, u"Rains1 Rains2"_s,
                      {u"Rain state 1"_s, u"Rain state 2"_s}, u"Wind"_s,
                      u"0.90 0.10|0.40 0.60"_s)}};
        QCOMPARE(writeNetwork(NetworkFormat::Net, rainy), rainyFile);
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
        QCOMPARE(readAs(NetworkFormat::Net, writeNetwork(NetworkFormat::Net, weather), u"t.net"_s),
                 QString::fromUtf8(R"(network Weather
Wind "Wind "speed" \ <&> é雨" line 6 [Strong Weak] (,) <> = 0.5 0.5
Temp "Temp" line 12 [Hot Mild Cold] (,,) <> = 0.2 0.3 0.5
Rain "Rain" line 18 [High Mid Low] (,,) <Wind Temp> = 0.1 0.2 0.7 0.2 0.3 0.5 0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 0.3 0.1)"));
    }

    // Only the numbers change; the table reads back with the new ones.
    void writesATableBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QByteArray>("expected");
        const QString sixRows = u"0.10 0.20 0.70|0.15 0.25 0.60|0.20 0.30 0.50|0.25 0.35 0.40|"
                                "0.30 0.40 0.30|0.35 0.45 0.20"_s;
        const QByteArray rain = R"(potential (Rain | Wind Temp)
{
    data
     = (((0.1 0.2 0.7)	%  Wind=Strong  Temp=Hot
	 (0.2 0.3 0.5)	%  Wind=Strong  Temp=Mild
	 (0.3 0.3 0.4))	%  Wind=Strong  Temp=Cold
	((0.4 0.4 0.2)
	 (0.5 0.4 0.1)
	 (0.6 0.3 0.1)));
    experience = ((1 1 1) (1 1 1));
}
)";
        const QByteArray rainBack = R"(potential (Rain | Wind Temp)
{
    data
     = (((0.10 0.20 0.70)	%  Wind=Strong  Temp=Hot
	 (0.15 0.25 0.60)	%  Wind=Strong  Temp=Mild
	 (0.20 0.30 0.50))	%  Wind=Strong  Temp=Cold
	((0.25 0.35 0.40)
	 (0.30 0.40 0.30)
	 (0.35 0.45 0.20)));
    experience = ((1 1 1) (1 1 1));
}
)";
        const QByteArray before = weather.left(weather.indexOf("potential (Rain"));
        const QByteArray after = weather.mid(weather.indexOf("potential (Act"));
        QTest::newRow("nested, LF")
            << before + rain + after << u"Rain"_s << sixRows << before + rainBack + after;
        QTest::newRow("nested, CR LF")
            << withLineEnds(before + rain + after, "\r\n") << u"Rain"_s << sixRows
            << withLineEnds(before + rainBack + after, "\r\n");
        QTest::newRow("flat, CR")
            << withLineEnds(flat, "\r") << u"Rain"_s << sixRows
            << withLineEnds(
                   QByteArray(flat).replace(
                       "(0.1 0.2 0.7 0.2 0.3 0.5\n  0.3 0.3 0.4 0.4 0.4 0.2 0.5 0.4 0.1 0.6 "
                       "0.3 0.1)",
                       "(0.10 0.20 0.70 0.15 0.25 0.60\n  0.20 0.30 0.50 0.25 0.35 0.40 "
                       "0.30 0.40 0.30 0.35 0.45 0.20)"),
                   "\r");
        QTest::newRow("a root, tight")
            << withA("potential (A) {data=(1 0);}\n") << u"A"_s << u"0.25 0.75"_s
            << withA("potential (A) {data=(0.25 0.75);}\n");
    }

    void writesATableBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, id);
        QFETCH(QString, rows);
        QFETCH(QByteArray, expected);
        QCOMPARE(writtenBack(NetworkFormat::Net, file, id, rows), expected);
    }
};

VADAZAZ_TEST_MAIN(NetFormatTest)
#include "net_format_test.moc"
