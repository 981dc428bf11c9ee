#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// Parents of 2 and 3 states and a child of 3, as GeNIe writes them, with the names in the genie
// extension, one inside a submodel.
const QByteArray weather = R"(<?xml version="1.0" encoding="UTF-8"?>
<smile version="1.0" id="Weather" numsamples="10000" discsamples="10000">
	<nodes>
		<cpt id="Wind"><state id="Strong" /><state id="Weak" />
			<probabilities>0.3 0.7</probabilities></cpt>
		<cpt id="Temp" diagtype="observation"><state id="Hot" /><state id="Mild" /><state id="Cold" />
			<probabilities>0.2 0.5 0.3</probabilities></cpt>
		<cpt id="Rain"><state id="High" /><state id="Some" /><state id="None" />
			<parents>Wind Temp</parents>
			<probabilities>0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67</probabilities></cpt>
	</nodes>
	<extensions><genie version="1.0" app="GeNIe 3.0.6518.0 ACADEMIC" name="Weather">
		<node id="Wind"><name>Wind &amp; gusts</name><position>10 10 80 40</position></node>
		<submodel id="Sky"><name>Sky</name><node id="Rain"><name>Rain "today"</name></node></submodel>
	</genie></extensions>
</smile>
)";

// The rows of Rain: (Strong, Hot), (Strong, Mild), (Strong, Cold), (Weak, Hot), …
const QString weatherRead = uR"(network Weather
Wind "Wind & gusts" line 4 [Strong Weak] (,) <> = {0.3 0.7} 0.3 0.7
Temp "" line 6 [Hot Mild Cold] (,,) <> = {0.2 0.5 0.3} 0.2 0.5 0.3
Rain "Rain "today"" line 8 [High Some None] (,,) <Wind Temp> = {0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67} 0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67)"_s;

// A node and its child, for the refusals, which name its lines.
const QByteArray small = R"(<?xml version="1.0"?>
<smile version="1.0" id="Small">
<nodes>
<cpt id="A">
<state id="a1" />
<state id="a2" />
<probabilities>0.5 0.5</probabilities>
</cpt>
<cpt id="B">
<state id="b1" />
<state id="b2" />
<parents>A</parents>
<probabilities>0.1 0.9 0.2 0.8</probabilities>
</cpt>
</nodes>
</smile>
)";

QByteArray with(QByteArray text, const char *from, const QByteArray &to)
{
    const auto at = text.indexOf(from);
    return at < 0 ? QByteArray("(missing)") : text.replace(at, qsizetype(qstrlen(from)), to);
}

} // namespace

class XdslFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // or the message
        const auto row = [](const char *name, const QByteArray &file, const QString &message) {
            QTest::newRow(name) << file << u"small.xdsl, "_s + message;
        };
        const QString notAnIdentifier =
            u"is not an identifier: it must begin with a letter and hold only letters, digits "
            u"and underscores"_s;
        const QString encodings = u"this program reads XDSL files in UTF-8 or ISO-8859-1"_s;
        QByteArray attributes;
        for (int k = 0; k < 64; ++k)
            attributes += " a" + QByteArray::number(k) + "=\"x>\"";
        QTest::newRow("LF") << weather << weatherRead;
        QTest::newRow("CR LF") << withLineEnds(weather, "\r\n") << weatherRead;
        QTest::newRow("CR") << withLineEnds(weather, "\r") << weatherRead;
        QTest::newRow("nodes of other kinds; utility nodes left out")
            << QByteArray(R"(<smile id="Plan"><nodes>
<decision id="Go"><state id="Yes" /><state id="No" /></decision>
<deterministic id="Sure"><state id="T" /><state id="F" /><parents>Go</parents>
<resultingstates>T F</resultingstates></deterministic>
<noisymax id="Or"><state id="T" /><state id="F" /><parents>Sure</parents>
<strengths>0 1</strengths><parameters>0.9 0.1 0 1 0 1</parameters></noisymax>
<equation id="Level"><definition lower="0" upper="9">Level=Normal(4,1)</definition>
<discretization><interval label="Low" upper="3" /><interval label="High" upper="9" />
</discretization></equation>
<utility id="Gain"><parents>Go</parents><utilities>1 0</utilities></utility>
<cpt id="Fly"><state id="Up" /><parents>Or Level</parents>
<probabilities>1 1 1 1</probabilities></cpt>
</nodes></smile>)")
            << uR"(network Plan
Go "" line 2 [Yes No] (,) <> -
Sure "" line 3 [T F] (,) <Go> -
Or "" line 5 [T F] (,) <Sure> -
Level "" line 7 [Low High] (,) <> -
Fly "" line 11 [Up] () <Or Level> = {1 1 1 1} 1 1 1 1)"_s;
        // Bytes and characters part ways before the table: its place is counted in bytes.
        QTest::newRow("UTF-8 with a byte-order mark, beyond the BMP")
            << QByteArray("\xEF\xBB\xBF<smile id=\"N\"><!-- \xF0\x9F\x8C\xA7 \xC3\xBC --><nodes>"
                          "<cpt id=\"\xC3\xBC\xF0\x9F\x8C\xA7\"><state id=\"s\xE2\x82\xAC\" />"
                          "<probabilities> 1 </probabilities></cpt></nodes><extensions>"
                          "<genie><node id=\"\xC3\xBC\xF0\x9F\x8C\xA7\"><name>R\xC3\xA9gen "
                          "\xF0\x9F\x8C\xA7</name></node></genie></extensions></smile>")
            << u"network N\nü🌧 \"Régen 🌧\" line 1 [s€] () <> = { 1 } 1"_s;
        QTest::newRow("numbers as GeNIe writes them, a comment and references among them")
            << QByteArray(R"(<smile><nodes><cpt id="P"><state id="p1" /><state id="p2" />
<state id="p3" /><probabilities>1 0 0</probabilities></cpt><cpt id="A"><state id="a" />
<state id="b" /><parents>P</parents><probabilities>
  0.6909999999999999 3.090000000000001E-1 <!-- row 2 -->
  +.25 &#55;5e-2 <![CDATA[1]]> -0e0 </probabilities>
</cpt></nodes></smile>)")
            << uR"(network
P "" line 1 [p1 p2 p3] (,,) <> = {1 0 0} 1 0 0
A "" line 2 [a b] (,) <P> = {
  0.6909999999999999 3.090000000000001E-1 <!-- row 2 -->
  +.25 &#55;5e-2 <![CDATA[1]]> -0e0 } 0.691 0.3090000000000001 0.25 0.75 1 0)"_s;

        row("not XML", "network Small {\n}\n",
            u"line 1: this is not an XDSL file: it is not XML"_s);
        row("no element", "<?xml version=\"1.0\"?>\n<!-- -->\n",
            u"line 3: this is not an XDSL file: it has no <smile> element"_s);
        row("another root", with(small, "<smile version=\"1.0\"", "<BIF VERSION=\"0.3\""),
            u"line 2: this is not an XDSL file: its first element is <BIF>, not <smile>"_s);
        row("truncated", small.first(small.indexOf("<parents>") + 4),
            u"line 12: the file ends before the <cpt> element is closed"_s);
        row("broken", with(small, "</nodes>", "</node>"),
            u"line 15: the XML is broken: Opening and ending tag mismatch."_s);
        row("document type", with(small, "<smile", "<!DOCTYPE smile [<!ENTITY a \"1\">]>\n<smile"),
            u"line 2: the file has a document type declaration (<!DOCTYPE>), which XDSL files "
            u"do not have"_s);
        row("nested too deep",
            with(small, "</nodes>",
                 "</nodes><extensions>" + QByteArray("<x>").repeated(63) +
                     QByteArray("</x>").repeated(63) + "</extensions>"),
            u"line 15: the elements are nested more than 64 deep"_s);
        row("65 attributes", with(small, "<cpt id=\"B\"", "<cpt id=\"B\"" + attributes),
            u"line 9: an element has more than 64 attributes, more than any XDSL file has"_s);
        row("other encoding", with(small, "?>", " encoding=\"Shift_JIS\"?>"),
            u"line 1: the file is in the shift_jis encoding; "_s + encodings);
        row("UTF-16", QByteArray("\xFF\xFE<\0s\0", 6),
            u"line 1: the file is in UTF-16; "_s + encodings);
        row("two byte-order marks", "\xEF\xBB\xBF\xEF\xBB\xBF" + small,
            u"line 1: this is not an XDSL file: it begins with two byte-order marks"_s);
        row("not UTF-8", withLineEnds(with(small, "a2\"", "a\xE9\""), "\r"),
            u"line 6: the file is not UTF-8 text, as it says it is"_s);
        row("node id", with(small, "<cpt id=\"B\">", "<cpt id=\"2B\">"),
            u"line 9: the node id \"2B\" "_s + notAnIdentifier);
        row("state id", with(small, "b2\"", "b 2\""),
            u"line 11: the state id \"b 2\" of node \"B\" "_s + notAnIdentifier);
        row("node twice", with(small, "<cpt id=\"B\">", "<cpt id=\"A\">"),
            u"line 9: the node \"A\" is declared twice, first on line 4"_s);
        row("state twice", with(small, "b2\"", "b1\""),
            u"line 11: node \"B\" has the state \"b1\" twice"_s);
        row("no states", with(small, "<state id=\"b1\" />\n<state id=\"b2\" />\n", ""),
            u"line 9: node \"B\" has no states"_s);
        row("undeclared parent", with(small, "<parents>A", "<parents>A C"),
            u"line 12: node \"B\" has the parent \"C\", which is not declared before it"_s);
        row("parent twice", with(small, "<parents>A", "<parents>A\tA"),
            u"line 12: node \"B\" has the parent \"A\" twice"_s);
        row("parent without states",
            with(small, "<cpt id=\"B\">", "<utility id=\"U\" />\n<cpt id=\"B\">")
                .replace("<parents>A", "<parents>U"),
            u"line 13: node \"B\" has the parent \"U\", which has no states"_s);
        row("element among the parents", with(small, "<parents>A", "<parents>A<x/>"),
            u"line 12: the <parents> of node \"B\" hold an element <x>, where only text "
            u"belongs"_s);
        row("no table", with(small, "<probabilities>0.1 0.9 0.2 0.8</probabilities>", ""),
            u"line 9: node \"B\" has no <probabilities>"_s);
        row("two tables",
            with(small, "</probabilities>\n</cpt>\n</nodes>",
                 "</probabilities><probabilities/>\n</cpt>\n</nodes>"),
            u"line 13: node \"B\" has a second <probabilities> element"_s);
        row("table too short", with(small, "0.2 0.8", "0.2"),
            u"line 13: node \"B\" has 3 probabilities where its states and its parents' states "
            u"ask for 4"_s);
        row("nan, on the table's second line", with(small, "0.2 0.8", "\r\n0.2 nan"),
            u"line 14: \"nan\" in the probabilities of node \"B\" is not a number"_s);
        row("too large", with(small, "0.2 0.8", "0.2 1e999"),
            u"line 13: \"1e999\" in the probabilities of node \"B\" is too large or too small a "
            u"number"_s);
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QCOMPARE(readAs(NetworkFormat::Xdsl, file, u"small.xdsl"_s, true), read);
    }

    // The new numbers take the place of the old in the file's spacing, and nothing else changes.
    void writesATableBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray wide =
            with(small, "<smile", "<!-- Gr\xC3\xB6\xC3\x9F\x65 \xF0\x9F\x8C\xA7 -->\n<smile");
        const QByteArray changed = with(wide, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
        const QByteArray latin1 = with(small, "?>", " encoding=\"ISO-8859-1\"?><!-- \xE9 -->");
        QTest::newRow("LF") << wide << changed;
        QTest::newRow("CR LF") << withLineEnds(wide, "\r\n") << withLineEnds(changed, "\r\n");
        QTest::newRow("ISO-8859-1")
            << latin1 << with(latin1, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
        QTest::newRow("a row on each line")
            << withLineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.1  0.9\n\t0.2  0.8\n"), "\r\n")
            << withLineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.25  0.75\n\t1.00  0.00\n"),
                            "\r\n");
        QTest::newRow("a comment among the numbers")
            << with(small, "0.1 0.9 0.2 0.8", " 0.1 0.9 <!-- 2 --> 0.2 0.8")
            << with(small, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
    }
    void writesATableBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        QCOMPARE(writtenBack(NetworkFormat::Xdsl, file, u"B"_s, u"0.25 0.75|1.00 0.00"_s),
                 expected);
    }

    // What is written reads back as it was: names as typed, tables verbatim with single spaces,
    // each node with the looks GeNIe needs to show it; no tabs.
    void writesANetwork()
    {
        const NetworkExport network{
            u"Weather"_s,
            {exported(u"Wind"_s, u"Wind <&> \"gusts\"\t\\"_s, u"Strong Weak"_s, {}, {},
                      u"0.3 0.7"_s),
             exported(u"Temp"_s, u"Temp 🌡 ü"_s, u"Hot Mild Cold"_s, {}, {}, u"0.2 0.3 0.5"_s),
             exported(u"Rain"_s, u"Rain"_s, u"High Some None"_s, {}, u"Wind Temp"_s,
                      u"0.01 0.02 0.97|0.04 0.05 0.91|0.07 0.08 0.85|0.10 0.11 0.79|"
                      u"0.13 0.14 0.73|0.16 0.17 0.67"_s)}};
        const QByteArray written = writeNetwork(NetworkFormat::Xdsl, network);
        for (const char *text :
             {"<smile version=\"1.0\" id=\"Weather\"",
              "<name>Wind &lt;&amp;&gt; &quot;gusts&quot;&#9;\\</name>",
              "<parents>Wind Temp</parents>",
              "<probabilities>0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.10 0.11 0.79 0.13 "
              "0.14 0.73 0.16 0.17 0.67<"})
            QVERIFY2(written.contains(text), text);
        QVERIFY(!written.contains('\t') && written.endsWith("</smile>\n"));
        for (const char *look : {"<interior ", "<outline ", "<font ", "<position>"})
            QCOMPARE(written.count(look), 3);
        QCOMPARE(readAs(NetworkFormat::Xdsl, written, u"written.xdsl"_s),
                 u"network Weather\n"
                 u"Wind \"Wind <&> \"gusts\"\t\\\" line 4 [Strong Weak] (,) <> = 0.3 0.7\n"
                 u"Temp \"Temp 🌡 ü\" line 9 [Hot Mild Cold] (,,) <> = 0.2 0.3 0.5\n"
                 u"Rain \"Rain\" line 15 [High Some None] (,,) <Wind Temp> = 0.01 0.02 0.97 0.04 "
                 u"0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67"_s);
    }
};

VADAZAZ_TEST_MAIN(XdslFormatTest)
#include "xdsl_format_test.moc"
