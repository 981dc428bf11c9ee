// Network files read, refused, written back into and written: a row per format and case.

#include "testing/files.h"
#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;
using enum vadazaz::NetworkFormat;

Q_DECLARE_METATYPE(vadazaz::NetworkFormat)
Q_DECLARE_METATYPE(vadazaz::NetworkExport)

namespace {

QByteArray file(const char *name)
{
    return contentsOf(QStringLiteral(VADAZAZ_NETWORK_TESTDATA "/") + QLatin1StringView(name));
}

// What the file of this name reads as, kept beside it as name.read: the text readAs() gives, and
// the line end that closes the file.
QString reading(const char *name)
{
    const QByteArray text = file((QByteArray(name) + ".read").constData());
    if (!text.endsWith('\n'))
        return u"(%1.read has no line end at its close)"_s.arg(QLatin1StringView(name));
    return QString::fromUtf8(text.chopped(1));
}

// The file name the messages give, by format.
QString nameIn(NetworkFormat format)
{
    return QStringList{u"t.net"_s,    u"small.xdsl"_s, u"rain.xml"_s,
                       u"rain.bif"_s, u"t.dne"_s,      u"t.csv"_s}
        .at(int(format));
}

QTestData &newRow(NetworkFormat format, const char *name)
{
    return QTest::addRow("%s: %s", qPrintable(networkFormatInfo(format).option), name) << format;
}

// A row of the file, and of what it turns into, with each line end.
template <typename... Columns>
void eachLineEnd(NetworkFormat format, const char *name, const QByteArray &bytes,
                 const Columns &...columns)
{
    for (const auto &[end, text] : {std::pair{"LF", "\n"}, {"CR LF", "\r\n"}, {"CR", "\r"}}) {
        const auto ends = [&](const auto &column) {
            if constexpr (std::is_same_v<std::decay_t<decltype(column)>, QByteArray>)
                return withLineEnds(column, text);
            else
                return column;
        };
        QTestData &row = newRow(format, (QByteArray(name) + ", " + end).constData());
        row << withLineEnds(bytes, text);
        (row << ... << ends(columns));
    }
}

// Rows of the refusals of one format: the file, the line and the text of the message.
auto refusals(NetworkFormat format)
{
    return [format](const char *name, const QByteArray &bytes, int line, const QString &text) {
        newRow(format, name) << bytes
                             << u"%1, line %2: %3"_s.arg(nameIn(format), QString::number(line),
                                                         text);
    };
}

QByteArray dneWithA(const QByteArray &rest)
{
    const QByteArray a = "node A {\n    states = (a, b);\n    parents = ();\n    };\n";
    return "// ~->[DNET-1]->~\nbnet N {\n" + a + rest + "};\n";
}

QByteArray netWithA(const QByteArray &rest)
{
    return "net\n{\n}\nnode A\n{\n    states = (\"a\" \"b\");\n}\n" + rest;
}

// A row per configuration of the parents, so that a row in the wrong place shows.
const QString sixRows =
    u"0.10 0.11 0.12|0.20 0.21 0.22|0.30 0.31 0.32|0.40 0.41 0.42|0.50 0.51 0.52|0.60 0.61 0.62"_s;

} // namespace

class NetworkFormatsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a reader takes from a file, as readAs() tells it, or its refusal.
    void reads_data()
    {
        addColumns<NetworkFormat, QByteArray, QString>("format", "bytes", "read");
        const auto bif = refusals(Bif), dne = refusals(Dne), net = refusals(Net),
                   xdsl = refusals(Xdsl), xmlbif = refusals(XmlBif);
        eachLineEnd(Bif, "labelled rows", file("pond.bif"), reading("pond.bif"));
        eachLineEnd(Bif, "table form, quotes, tabs", file("pond-table.bif"),
                    reading("pond-table.bif"));
        const QByteArray rain = file("rain.bif");
        bif("not BIF", "<?xml version=\"1.0\"?>\n<BIF/>\n", 1,
            u"this is not a BIF file: it does not begin with the word \"network\""_s);
        bif("cut short", rain.left(rain.indexOf("(Weak)")), 14,
            u"the file ends too soon: a row, \"default\", \"table\" or \"}\" in the probabilities "
            u"of \"Rain\" should follow"_s);
        bif("comment never closed", with(rain, "(Weak)", "/* (Weak)"), 14,
            u"the comment that opens here is never closed: the file may be cut short"_s);
        bif("misspelt keyword",
            with(rain, "type discrete [ 2 ] { High", "tpye discrete [ 2 ] { High"), 7,
            u"\"}\" to close the variable \"Rain\" should come here, not \"tpye\""_s);
        bif("parent not declared", with(rain, "Rain | Wind", "Rain | Gust"), 12,
            u"the parent \"Gust\" of \"Rain\" is not declared"_s);
        bif("variable not declared", with(rain, "probability ( Wind )", "probability ( Gust )"), 9,
            u"the probabilities are given for \"Gust\", a variable that is not declared"_s);
        bif("table too long", with(rain, "table 0.5, 0.5;", "table 0.5, 0.3, 0.2;"), 10,
            u"the table of \"Wind\" should have 2 numbers, one for each of its states in each "
            u"configuration of its parents, not 3"_s);
        bif("row too short", with(rain, "(Weak) 0.4, 0.6;", "(Weak) 0.4;"), 14,
            u"the row (Weak) of \"Rain\" should have 2 numbers, one for each of its states, not "
            u"1"_s);
        bif("row missing", with(rain, "  (Weak) 0.4, 0.6;\n", ""), 12,
            u"the probabilities of \"Rain\" have no row (Weak) and no default"_s);
        bif("row twice", with(rain, "(Weak)", "(Strong)"), 14,
            u"the row (Strong) of \"Rain\" is given twice"_s);
        bif("row of an unknown state", with(rain, "(Weak)", "(Calm)"), 14,
            u"the row (Calm) of \"Rain\" names \"Calm\", which is not a state of \"Wind\""_s);
        bif("table and rows", with(rain, "(Weak) 0.4, 0.6;", "table 0.9, 0.4, 0.1, 0.6;"), 14,
            u"the probabilities of \"Rain\" are given both as a table and as rows"_s);
        bif("variable twice", with(rain, "variable Rain", "variable Wind"), 6,
            u"the variable \"Wind\" is declared twice, first on line 3"_s);
        bif("not a number", with(rain, "0.9, 0.1", "0.9, O.1"), 13,
            u"\"O.1\" in the probabilities of \"Rain\" is not a number"_s);
        bif("state count", with(rain, "[ 2 ] { High", "[ 3 ] { High"), 7,
            u"the variable \"Rain\" declares 3 states but names 2"_s);
        bif("state twice", with(rain, "High, Low", "High, High"), 7,
            u"the variable \"Rain\" names the state \"High\" twice"_s);
        bif("not discrete", with(rain, "type discrete [ 2 ] { High, Low };", "type continuous;"), 7,
            u"the variable \"Rain\" is not discrete: its type is \"continuous\""_s);
        bif("empty name", with(rain, "variable Rain", "variable \"\""), 6,
            u"a name in quotes is empty"_s);
        newRow(Bif, "a blank in a quoted name")
            << with(rain, "High, Low", "\"High tide\", Low")
            << u"network rain\nWind \"\" line 3 [Strong Weak] (,) <> = 0.5 0.5\n"
               u"Rain \"\" line 6 [High tide Low] (,) <Wind> = 0.9 0.1 0.4 0.6"_s;
        bif("tab in a name", with(rain, "variable Rain", "variable \"Ra\tin\""), 6,
            u"the name \"Ra in\" holds a tab or another control character"_s);
        bif("name not UTF-8", with(rain, "Strong, Weak", "Str\xF6ng, Weak"), 4,
            u"the name \"Str\uFFFDng\" is not UTF-8 text"_s);
        bif("control character", with(rain, "Strong, Weak", "Strong, Weak\x01"), 4,
            u"the character 0x01 has no place in a BIF file"_s);
        // A default row fills 256^3 * 256 probabilities, or 40^4 rows of 2.
        bif("tables too large", file("too-many-numbers.bif"), 15,
            u"the tables hold more than 8388608 probabilities, more than this program reads"_s);
        bif("table too large to write back", file("too-large-to-write.bif"), 18,
            u"the table of \"X\" takes more than 67108864 bytes written out, more than any network "
            u"this program reads"_s);

        eachLineEnd(Dne, "flat, nodes without a table", file("weather.dne"),
                    reading("weather.dne"));
        eachLineEnd(Dne, "nested", file("nested.dne"), reading("nested.dne"));
        dne("another format", "net\n{\n}\n", 1,
            u"this is not a DNE file: it does not begin with \"bnet\""_s);
        dne("cut short", "bnet N {\nnode A {\n    states = (a, b);\n", 3,
            u"the file is cut short: it ends where \"}\" should follow"_s);
        dne("string without its end", dneWithA("node B {\n    title = \"B;\n    };\n"), 8,
            u"the string that begins on this line has no closing quote"_s);
        dne("undeclared parent",
            dneWithA("node B {\n    states = (x, y);\n    parents = (C);\n    };\n"), 7,
            u"the node \"B\" names the parent \"C\", which is not declared"_s);
        dne("table too short",
            dneWithA("node B {\n    states = (x, y, z);\n    parents = (A);\n"
                     "    probs = ((0.5, 0.25, 0.25),\n             (0.5, 0.25));\n    };\n"),
            10,
            u"the table of \"B\" holds 5 numbers, but its 3 states and its parents' states ask for "
            u"6"_s);
        dne("forbidden name", dneWithA("node B {\n    states = (x, 2y);\n    };\n"), 8,
            u"\"2y\" is not a valid name: a name begins with a letter and holds at most 30 "
            u"letters, digits and \"_\""_s);
        dne("name too long",
            dneWithA("node Abcdefghij_abcdefghij_abcdefghij {\n    states = (x);\n    };\n"), 7,
            u"\"Abcdefghij_abcdefghij_abcdefghij\" is not a valid name: a name begins with a "
            u"letter and holds at most 30 letters, digits and \"_\""_s);
        dne("declared twice", dneWithA("node A {\n    states = (c);\n    };\n"), 7,
            u"the node \"A\" is declared twice (first on line 3)"_s);
        dne("not a number",
            dneWithA("node B {\n    states = (x, y);\n    parents = ();\n"
                     "    probs = (0.5,\n             0.5e);\n    };\n"),
            11, u"\"0.5e\" in the table of \"B\" is not a number"_s);
        dne("no states", dneWithA("node B {\n    discrete = TRUE;\n    states = ();\n    };\n"), 7,
            u"the node \"B\" has no states"_s);
        dne("titles for other states",
            dneWithA("node B {\n    states = (x, y);\n    statetitles = (\"x\");\n    };\n"), 7,
            u"the node \"B\" has 1 state titles for 2 states"_s);
        dne("text after the end", dneWithA("") + "node C {};\n", 8,
            u"expected the end of the file but found \"node\""_s);
        dne("nested too deep",
            dneWithA("visual V1 " + QByteArray(65, '{') + QByteArray(65, '}') + ";\n"), 7,
            u"the brackets are nested deeper than 64 levels"_s);

        eachLineEnd(Net, "nested, nodes without a table", file("weather.net"),
                    reading("weather.net"));
        eachLineEnd(Net, "flat", file("flat.net"), reading("flat.net"));
        net("another format", "bnet x {};", 1,
            u"this is not a NET file: it does not begin with \"net\""_s);
        net("a class", "class C\n{\n}\n", 1,
            u"this NET file holds a class (an object-oriented network); only plain networks can be "
            u"read"_s);
        net("cut short", "net\n{\n}\nnode A\n{\n    states = (\"a\" \"b\");\n", 6,
            u"the file is cut short: it ends where \"}\" should follow"_s);
        net("string without its end", "net\n{\n}\nnode A\n{\n    label = \"A;\n}\n", 6,
            u"the string that begins on this line has no closing quote"_s);
        net("undeclared node", netWithA("potential (B) { data = (0.5 0.5); }\n"), 8,
            u"the potential names the node \"B\", which is not declared"_s);
        net("undeclared parent", netWithA("\npotential (A | B) { data = (0.5 0.5); }\n"), 9,
            u"the potential of \"A\" names the parent \"B\", which is not declared"_s);
        net("table too short",
            netWithA("node B { states = (\"x\" \"y\" \"z\"); }\n"
                     "potential (A | B)\n{\n    data = ((0.5 0.5) (0.5 0.5));\n}\n"),
            11,
            u"the table of \"A\" holds 4 numbers, but its 2 states and its parents' states ask for "
            u"6"_s);
        net("forbidden name", "net\n{\n}\nnode 2nd\n{\n}\n", 4,
            u"\"2nd\" is not a valid name: a name begins with a letter or \"_\" and holds only "
            u"letters, digits and \"_\""_s);
        net("declared twice", netWithA("node A { states = (\"c\"); }\n"), 8,
            u"the node \"A\" is declared twice (first on line 4)"_s);
        net("two potentials",
            netWithA("potential (A) { data = (1 0); }\npotential (A) { data = (1 0); }\n"), 9,
            u"the node \"A\" has a second potential (the first is on line 8)"_s);
        net("not a number", netWithA("potential (A)\n{\n    data = (0.5\n            0x1F);\n}\n"),
            11, u"\"0x1F\" in the table of \"A\" is not a number"_s);
        net("no states", "net\n{\n}\nnode A\n{\n    states = ();\n}\n", 4,
            u"the node \"A\" has no states"_s);
        net("continuous parent of a discrete node",
            netWithA("continuous node X { }\npotential (A | X) { data = (1 0); }\n"), 9,
            u"the discrete node \"A\" has the parent \"X\", which has no states"_s);
        net("nested too deep",
            netWithA("potential (A) { data = " + QByteArray(65, '(') + "1 0" + QByteArray(65, ')') +
                     "; }\n"),
            8, u"the brackets are nested deeper than 64 levels"_s);

        eachLineEnd(Xdsl, "names in the extension, one in a submodel", file("weather.xdsl"),
                    reading("weather.xdsl"));
        newRow(Xdsl, "nodes of other kinds; utility nodes left out")
            << file("plan.xdsl") << reading("plan.xdsl");
        // Bytes and characters part ways before the table: its place is counted in bytes.
        newRow(Xdsl, "UTF-8 with a byte-order mark, beyond the BMP")
            << file("bom.xdsl")
            << u"network N\nü🌧 \"Régen 🌧\" line 1 [s€] () <> = { 1 } 1"_s;
        newRow(Xdsl, "numbers as written, a comment and references among them")
            << file("numbers.xdsl") << reading("numbers.xdsl");
        const QByteArray small = file("small.xdsl");
        const QString notAnIdentifier =
            u"is not an identifier: it must begin with a letter and hold only letters, digits and "
            u"underscores"_s;
        const QString encodings = u"this program reads XDSL files in UTF-8 or ISO-8859-1"_s;
        QByteArray attributes;
        for (int k = 0; k < 64; ++k)
            attributes += " a" + QByteArray::number(k) + "=\"x>\"";
        xdsl("not XML", "network Small {\n}\n", 1, u"this is not an XDSL file: it is not XML"_s);
        xdsl("no element", "<?xml version=\"1.0\"?>\n<!-- -->\n", 3,
             u"this is not an XDSL file: it has no <smile> element"_s);
        xdsl("another root", with(small, "<smile version=\"1.0\"", "<BIF VERSION=\"0.3\""), 2,
             u"this is not an XDSL file: its first element is <BIF>, not <smile>"_s);
        xdsl("truncated", small.first(small.indexOf("<parents>") + 4), 12,
             u"the file ends before the <cpt> element is closed"_s);
        xdsl("broken", with(small, "</nodes>", "</node>"), 15,
             u"the XML is broken: Opening and ending tag mismatch."_s);
        xdsl("document type", with(small, "<smile", "<!DOCTYPE smile [<!ENTITY a \"1\">]>\n<smile"),
             2,
             u"the file has a document type declaration (<!DOCTYPE>), which XDSL files do not "
             u"have"_s);
        xdsl("nested too deep",
             with(small, "</nodes>",
                  "</nodes><extensions>" + QByteArray("<x>").repeated(63) +
                      QByteArray("</x>").repeated(63) + "</extensions>"),
             15, u"the elements are nested more than 64 deep"_s);
        xdsl("65 attributes", with(small, "<cpt id=\"B\"", "<cpt id=\"B\"" + attributes), 9,
             u"an element has more than 64 attributes, more than any XDSL file has"_s);
        xdsl("other encoding", with(small, "?>", " encoding=\"Shift_JIS\"?>"), 1,
             u"the file is in the shift_jis encoding; "_s + encodings);
        xdsl("UTF-16", QByteArray("\xFF\xFE<\0s\0", 6), 1,
             u"the file is in UTF-16; "_s + encodings);
        xdsl("two byte-order marks", "\xEF\xBB\xBF\xEF\xBB\xBF" + small, 1,
             u"this is not an XDSL file: it begins with two byte-order marks"_s);
        xdsl("not UTF-8", withLineEnds(with(small, "a2\"", "a\xE9\""), "\r"), 6,
             u"the file is not UTF-8 text, as it says it is"_s);
        xdsl("node id", with(small, "<cpt id=\"B\">", "<cpt id=\"2B\">"), 9,
             u"the node id \"2B\" "_s + notAnIdentifier);
        xdsl("state id", with(small, "b2\"", "b 2\""), 11,
             u"the state id \"b 2\" of node \"B\" "_s + notAnIdentifier);
        xdsl("node twice", with(small, "<cpt id=\"B\">", "<cpt id=\"A\">"), 9,
             u"the node \"A\" is declared twice, first on line 4"_s);
        xdsl("state twice", with(small, "b2\"", "b1\""), 11,
             u"node \"B\" has the state \"b1\" twice"_s);
        xdsl("no states", with(small, "<state id=\"b1\" />\n<state id=\"b2\" />\n", ""), 9,
             u"node \"B\" has no states"_s);
        xdsl("undeclared parent", with(small, "<parents>A", "<parents>A C"), 12,
             u"node \"B\" has the parent \"C\", which is not declared before it"_s);
        xdsl("parent twice", with(small, "<parents>A", "<parents>A\tA"), 12,
             u"node \"B\" has the parent \"A\" twice"_s);
        xdsl("parent without states",
             with(with(small, "<cpt id=\"B\">", "<utility id=\"U\" />\n<cpt id=\"B\">"),
                  "<parents>A", "<parents>U"),
             13, u"node \"B\" has the parent \"U\", which has no states"_s);
        xdsl("element among the parents", with(small, "<parents>A", "<parents>A<x/>"), 12,
             u"the <parents> of node \"B\" hold an element <x>, where only text belongs"_s);
        xdsl("no table", with(small, "<probabilities>0.1 0.9 0.2 0.8</probabilities>", ""), 9,
             u"node \"B\" has no <probabilities>"_s);
        xdsl("two tables",
             with(small, "</probabilities>\n</cpt>\n</nodes>",
                  "</probabilities><probabilities/>\n</cpt>\n</nodes>"),
             13, u"node \"B\" has a second <probabilities> element"_s);
        xdsl("table too short", with(small, "0.2 0.8", "0.2"), 13,
             u"node \"B\" has 3 probabilities where its states and its parents' states ask for "
             u"4"_s);
        xdsl("nan, on the table's second line", with(small, "0.2 0.8", "\r\n0.2 nan"), 14,
             u"\"nan\" in the probabilities of node \"B\" is not a number"_s);
        xdsl("too large", with(small, "0.2 0.8", "0.2 1e999"), 13,
             u"\"1e999\" in the probabilities of node \"B\" is too large or too small a number"_s);

        eachLineEnd(XmlBif, "decision, utility", file("pond.xml"), reading("pond.xml"));
        const QByteArray xml = file("rain.xml");
        xmlbif("not XML", "network rain {\n}\n", 1,
               u"this is not an XMLBIF file: it does not begin with an XML element"_s);
        xmlbif("other XML", "<?xml version=\"1.0\"?>\n<html><BIF/></html>\n", 2,
               u"this is not an XMLBIF file: its first element is <html>, not <BIF>"_s);
        xmlbif("cut short", xml.left(xml.indexOf("0.4 0.6")), 24,
               u"the file ends too soon, inside an element: it may be cut short"_s);
        xmlbif("not well-formed", with(xml, "</FOR>\n    <GIVEN>", "</for>\n    <GIVEN>"), 20,
               u"the file is not well-formed XML: Opening and ending tag mismatch."_s);
        xmlbif("encoding", with(xml, "version=\"1.0\"", "version=\"1.0\" encoding=\"EUC-JP\""), 1,
               u"the file is written in EUC-JP; this program reads XMLBIF files in UTF-8 or "
               u"ISO-8859-1"_s);
        xmlbif("parent not declared", with(xml, "<GIVEN>Wind", "<GIVEN>Gust"), 19,
               u"the parent \"Gust\" of \"Rain\" is not declared"_s);
        xmlbif("variable not declared", with(xml, "<FOR>Wind", "<FOR>Gust"), 15,
               u"the probabilities are given for \"Gust\", a variable that is not declared"_s);
        xmlbif("table too short", with(xml, "0.4 0.6", "0.4"), 22,
               u"the table of \"Rain\" should have 4 numbers, one for each of its outcomes in each "
               u"configuration of its parents, not 3"_s);
        xmlbif("no table", with(xml, "<TABLE>0.5 0.5</TABLE>", ""), 15,
               u"the definition of \"Wind\" has no <TABLE>"_s);
        xmlbif("not a number", with(xml, "0.4 0.6", "0.4 0,6"), 24,
               u"\"0,6\" in the table of \"Rain\" is not a number"_s);
        xmlbif("variable twice", with(xml, "<NAME>Rain", "<NAME>Wind"), 10,
               u"the variable \"Wind\" is declared twice, first on line 5"_s);
        xmlbif("empty name", with(xml, "<NAME>Rain", "<NAME> "), 11,
               u"a variable's <NAME> is empty"_s);
        xmlbif("line break in a name", with(xml, "<NAME>Rain", "<NAME>Ra\nin"), 12,
               u"the name \"Ra in\" holds a line break, a tab or another control character"_s);
        xmlbif("outcome twice", with(xml, "<OUTCOME>Low", "<OUTCOME>High"), 13,
               u"the variable \"Rain\" has the outcome \"High\" twice"_s);
        xmlbif(
            "unknown type",
            with(xml, "<VARIABLE TYPE=\"nature\">\n    <NAME>Rain",
                 "<VARIABLE TYPE=\"chance\">\n    <NAME>Rain"),
            10,
            u"the variable \"Rain\" has the type \"chance\"; XMLBIF knows \"nature\", \"decision\" "
            u"and \"utility\""_s);
        xmlbif("nested too deep",
               with(xml, "<NAME>rain</NAME>",
                    "<NAME>rain</NAME>" + QByteArray("<X>").repeated(63) +
                        QByteArray("</X>").repeated(63)),
               4, u"the elements are nested more than 64 deep, deeper than in any network"_s);
    }
    void reads()
    {
        const auto [format, bytes, read] =
            fetch<NetworkFormat, QByteArray, QString>("format", "bytes", "read");
        QCOMPARE(readAs(format, bytes, nameIn(format), format == Xdsl), read);
    }

    // Only the table's text changes; the file reads back as writtenBack() asks.
    void writesTablesBack_data()
    {
        addColumns<NetworkFormat, QByteArray, QString, QString, QByteArray>("format", "bytes", "id",
                                                                            "rows", "written");
        const QByteArray pond = file("pond.bif");
        eachLineEnd(Bif, "rows", pond, u"Catch"_s, sixRows, file("pond-back.bif"));
        eachLineEnd(Bif, "table form, quotes, tabs", file("pond-table.bif"), u"Catch"_s, sixRows,
                    file("pond-table-back.bif"));
        newRow(Bif, "without parents, beside its brace")
            << pond << u"Depth"_s << u"0.10 0.11 0.12"_s
            << with(pond, "default 0.2 0.3 0.5;", "table 0.10, 0.11, 0.12;");
        const QByteArray sideBySide =
            with(file("rain.bif"), "{\n  (Strong) 0.9, 0.1;\n  (Weak) 0.4, 0.6;\n}",
                 "{ (Strong) 0.9, 0.1; (Weak) 0.4, 0.6; }");
        newRow(Bif, "rows side by side") << sideBySide << u"Rain"_s << u"0.10 0.11|0.20 0.21"_s
                                         << with(sideBySide, "(Strong) 0.9, 0.1; (Weak) 0.4, 0.6;",
                                                 "(Strong) 0.10, 0.11; (Weak) 0.20, 0.21;");

        // The columns stay where they were, the comments of the rows too, but for the last.
        const QString dneRows =
            u"0.100000 0.200000 0.700000|0.15 0.25 0.6|0.2 0.3 0.5|0.25 0.35 0.4|0.3 0.4 0.3|0.35 "
            u"0.45 0.2"_s;
        eachLineEnd(Dne, "flat", file("weather.dne"), u"Rain"_s, dneRows, file("weather-back.dne"));
        eachLineEnd(Dne, "nested", file("nested.dne"), u"Rain"_s, dneRows, file("nested-back.dne"));
        newRow(Dne, "a root, tight")
            << dneWithA("node B {states = (x, y); probs = (1,0);};\n") << u"B"_s << u"0.25 0.75"_s
            << dneWithA("node B {states = (x, y); probs = (0.25,0.75);};\n");

        const QString netRows =
            u"0.10 0.20 0.70|0.15 0.25 0.60|0.20 0.30 0.50|0.25 0.35 0.40|0.30 0.40 0.30|0.35 0.45 "
            u"0.20"_s;
        eachLineEnd(Net, "nested", file("weather.net"), u"Rain"_s, netRows,
                    file("weather-back.net"));
        eachLineEnd(Net, "flat", file("flat.net"), u"Rain"_s, netRows, file("flat-back.net"));
        newRow(Net, "a root, tight")
            << netWithA("potential (A) {data=(1 0);}\n") << u"A"_s << u"0.25 0.75"_s
            << netWithA("potential (A) {data=(0.25 0.75);}\n");

        // The new numbers take the place of the old in the file's spacing.
        const QByteArray small = file("small.xdsl");
        const QString bRows = u"0.25 0.75|1.00 0.00"_s;
        const QByteArray wide =
            with(small, "<smile", "<!-- Gr\xC3\xB6\xC3\x9F\x65 \xF0\x9F\x8C\xA7 -->\n<smile");
        const QByteArray latin1 = with(small, "?>", " encoding=\"ISO-8859-1\"?><!-- \xE9 -->");
        eachLineEnd(Xdsl, "UTF-8", wide, u"B"_s, bRows,
                    with(wide, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00"));
        newRow(Xdsl, "ISO-8859-1")
            << latin1 << u"B"_s << bRows << with(latin1, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
        newRow(Xdsl, "a row on each line")
            << withLineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.1  0.9\n\t0.2  0.8\n"), "\r\n")
            << u"B"_s << bRows
            << withLineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.25  0.75\n\t1.00  0.00\n"),
                            "\r\n");
        newRow(Xdsl, "a comment among the numbers")
            << with(small, "0.1 0.9 0.2 0.8", " 0.1 0.9 <!-- 2 --> 0.2 0.8") << u"B"_s << bRows
            << with(small, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");

        const QByteArray xml = file("rain.xml");
        const QByteArray xmlBack = with(xml, "\n        0.9 0.1\n        0.4 0.6\n",
                                        "\n        0.10 0.11\n        0.20 0.21\n");
        const QByteArray unindented =
            with(xml, "\n        0.9 0.1\n        0.4 0.6\n    ", "0.9 0.1\n0.4 0.6");
        eachLineEnd(XmlBif, "a row a line", xml, u"Rain"_s, u"0.10 0.11|0.20 0.21"_s, xmlBack);
        eachLineEnd(XmlBif, "a row a line, unindented", unindented, u"Rain"_s,
                    u"0.10 0.11|0.20 0.21"_s,
                    with(unindented, "0.9 0.1\n0.4 0.6", "0.10 0.11\n0.20 0.21"));
        const QByteArray pondXml = file("pond.xml");
        newRow(XmlBif, "one line") << pondXml << u"Catch"_s << sixRows << file("pond-back.xml");
        newRow(XmlBif, "without parents, non-ASCII before it")
            << pondXml << u"Depth"_s << u"0.10 0.11 0.12"_s
            << with(pondXml, "<TABLE>0.2 0.3 0.5<", "<TABLE>0.10 0.11 0.12<");
    }
    void writesTablesBack()
    {
        const auto [format, bytes, id, rows, written] =
            fetch<NetworkFormat, QByteArray, QString, QString, QByteArray>("format", "bytes", "id",
                                                                           "rows", "written");
        QCOMPARE(writtenBack(format, bytes, id, rows), written);
    }

    // The file as written, and what reads back from it: the numbers as written, the names as
    // typed where the format keeps them, each parent in its place.
    void writesAnExport_data()
    {
        addColumns<NetworkFormat, NetworkExport, QByteArray, QString>("format", "network",
                                                                      "written", "read");
        const NetworkExport bif{
            "pond",
            {exported("Season", "Season", "Summer Winter", {"Summer", ""}, {}, "0.600000 0.400000"),
             exported("Depth", "Depth (m) \"at noon\"", "Shallow Medium Deep",
                      {"< 2", "2\\5", "\u2265 5"}, {}, "0.200000 0.300000 0.500000"),
             exported("Catch", "Catch\nper day", "None Few Many", {"", "Few \u263A", ""},
                      "Season Depth", sixRows)}};
        newRow(Bif, "names as typed in comments")
            << bif << file("pond-written.bif") << reading("pond-written.bif");
        const NetworkExport xmlbif{
            "pond",
            {exported("Season", "Season \"of the year\"", "Summer Winter", {}, {},
                      "0.600000 0.400000"),
             exported("Depth", "Depth <m> & \u2265 1\u0001", "Shallow Medium Deep", {}, {},
                      "0.200000 0.300000 0.500000"),
             exported("Catch", "Catch = fish", "None Few Many", {}, "Season Depth", sixRows)}};
        newRow(XmlBif, "names as typed in labels")
            << xmlbif << file("pond-written.xml") << reading("pond-written.xml");
        const auto rainy = [](const QString &rows) {
            return NetworkExport{"Rainy",
                                 {exported("Wind", "Wind speed", "Winds1 Winds2",
                                           {"Wind state 1", "Wind state 2"}, {}, "0.50 0.50"),
                                  exported("Rain", "Rain", "Rains1 Rains2",
                                           {"Rain state 1", "Rain state 2"}, "Wind", rows)}};
        };
        newRow(Dne, "Rainy") << rainy("0.900000 0.100000|0.400000 0.600000") << file("rainy.dne")
                             << QString();
        newRow(Net, "Rainy") << rainy("0.90 0.10|0.40 0.60") << file("rainy.net") << QString();
        const NetworkExport weather{
            "Weather",
            {exported("Wind", "Wind \"speed\" \\ <&> \u00e9\u96e8", "Strong Weak",
                      {"strong, \"gusty\"", ""}, {}, "0.50 0.50"),
             exported("Temp", "Temp", "Hot Mild Cold", {"hot", "mild", "cold"}, {}, "0.2 0.3 0.5"),
             exported("Rain", "Rain", "High Mid Low", {"high", "mid", "low"}, "Wind Temp",
                      "0.1 0.2 0.7|0.2 0.3 0.5|0.3 0.3 0.4|0.4 0.4 0.2|0.5 0.4 0.1|0.6 0.3 0.1")}};
        newRow(Dne, "titles as typed")
            << weather << file("weather-written.dne") << reading("weather-written.dne");
        newRow(Net, "labels as typed")
            << weather << file("weather-written.net") << reading("weather-written.net");
        const QString rainRows =
            u"0.01 0.02 0.97|0.04 0.05 0.91|0.07 0.08 0.85|0.10 0.11 0.79|0.13 0.14 0.73|0.16 0.17 "
            u"0.67"_s;
        // Each node with the looks it needs to be shown; no tabs.
        const NetworkExport xdsl{
            "Weather",
            {exported("Wind", "Wind <&> \"gusts\"\t\\", "Strong Weak", {}, {}, "0.3 0.7"),
             exported("Temp", "Temp 🌡 ü", "Hot Mild Cold", {}, {}, "0.2 0.3 0.5"),
             exported("Rain", "Rain", "High Some None", {}, "Wind Temp", rainRows)}};
        newRow(Xdsl, "names as typed")
            << xdsl << file("weather-written.xdsl") << reading("weather-written.xdsl");
        // A heading, then a line per configuration of the parents, the first parent slowest.
        const NetworkExport csv{
            "Weather",
            {exported("Wind", "Wind, gusts", "Strong Weak", {"Strong", "Weak \"ish\""}, {}, {}),
             exported("Temp", "Temp", "Hot Mild Cold", {"Hot", "Mild", "Cold"}, {}, {}),
             exported("Rain", "Rain", "High Some None", {"High", "Some, little", "None"},
                      "Wind Temp", rainRows)}};
        newRow(Csv, "names with commas and quotes, three states, parents of two and three")
            << csv << file("weather.csv") << QString();
        newRow(Csv, "no parents; a name left empty, a line break, beyond ASCII")
            << NetworkExport{"Coin",
                             {exported("Coin", {}, "Heads Tails", {"Kopf \u00FC", "Zahl\nSeite"},
                                       {}, "0.5 0.5")}}
            << QByteArray("\xEF\xBB\xBF"
                          "Coin=Kopf \xC3\xBC,\"Coin=Zahl\nSeite\"\r\n0.5,0.5\r\n")
            << QString();
    }
    void writesAnExport()
    {
        const auto [format, network, written, read] =
            fetch<NetworkFormat, NetworkExport, QByteArray, QString>("format", "network", "written",
                                                                     "read");
        const QByteArray bytes = writeNetwork(format, network);
        QCOMPARE(bytes, written);
        if (!read.isEmpty())
            QCOMPARE(readAs(format, bytes, nameIn(format)), read);
    }
};

VADAZAZ_TEST_MAIN(NetworkFormatsTest)
#include "network_formats_test.moc"
