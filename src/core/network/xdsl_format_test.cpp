#include "core/network/xdsl_format.h"

#include "core/base/version.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vadazaz::NetworkExport)

namespace {

// Two parents of 2 and 3 states and a child of 3, as GeNIe writes them; the names in the genie
// extension, one of them inside a submodel.
const QByteArray weather = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- This network was written by hand -->
<smile version="1.0" id="Weather" numsamples="10000" discsamples="10000">
	<nodes>
		<cpt id="Wind">
			<state id="Strong" />
			<state id="Weak" />
			<probabilities>0.3 0.7</probabilities>
		</cpt>
		<cpt id="Temp" diagtype="observation" ranked="true">
			<state id="Hot" />
			<state id="Mild" />
			<state id="Cold" />
			<probabilities>0.2 0.5 0.3</probabilities>
		</cpt>
		<cpt id="Rain">
			<state id="High" />
			<state id="Some" />
			<state id="None" />
			<parents>Wind Temp</parents>
			<probabilities>0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67</probabilities>
		</cpt>
	</nodes>
	<extensions>
		<genie version="1.0" app="GeNIe 3.0.6518.0 ACADEMIC" name="Weather">
			<node id="Wind">
				<name>Wind &amp; gusts</name>
				<interior color="e5f6f7" />
				<position>10 10 80 40</position>
			</node>
			<submodel id="Sky">
				<name>Sky</name>
				<node id="Rain">
					<name>Rain "today"</name>
				</node>
			</submodel>
		</genie>
	</extensions>
</smile>
)";

const QString weatherRead = uR"(Wind 'Wind & gusts' [Strong,Weak] () @5 {0.3 0.7}: 0.3 0.7
Temp '' [Hot,Mild,Cold] () @10 {0.2 0.5 0.3}: 0.2 0.5 0.3
Rain 'Rain "today"' [High,Some,None] (Wind,Temp) @16 {0.01 0.02 0.97 0.04 0.05 0.91 0.07 0.08 0.85 0.1 0.11 0.79 0.13 0.14 0.73 0.16 0.17 0.67}: Strong Hot 0.01 0.02 0.97 | Strong Mild 0.04 0.05 0.91 | Strong Cold 0.07 0.08 0.85 | Weak Hot 0.1 0.11 0.79 | Weak Mild 0.13 0.14 0.73 | Weak Cold 0.16 0.17 0.67)"_s;

// A node and its child, with the lines numbered in the refusals below.
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

QByteArray lineEnds(QByteArray text, const char *end)
{
    return text.replace("\n", end);
}

// A network, a line per variable: its id, label, states, parents, line, the text of its table's
// place in the file, and its table a row per configuration of its parents, the first slowest.
QString described(const Network &network, QByteArrayView file)
{
    QStringList lines;
    for (const NetworkVariable &v : network.variables) {
        if (v.stateLabels != QStringList(v.states.size(), QString()))
            return u"state labels of "_s + v.id;
        QString line = u"%1 '%2' [%3] (%4) @%5"_s.arg(
            v.id, v.label, v.states.join(u','), v.parents.join(u','), QString::number(v.line));
        if (v.tableBegin < 0) {
            lines.append(line + (v.table.empty() ? u" no table"_s : u" a table without a place"_s));
            continue;
        }
        line += u" {%1}:"_s.arg(
            QString::fromUtf8(file.sliced(v.tableBegin, v.tableEnd - v.tableBegin)));
        QList<qsizetype> states(v.parents.size(), 0);
        for (std::size_t i = 0; i < v.table.size(); ++i) {
            if (i % std::size_t(v.states.size()) == 0) {
                if (i > 0) {
                    line += u" |"_s;
                    for (qsizetype p = states.size(); p-- > 0;) {
                        if (++states[p] < network.variable(v.parents.at(p))->states.size())
                            break;
                        states[p] = 0;
                    }
                }
                for (qsizetype p = 0; p < states.size(); ++p)
                    line += u' ' + network.variable(v.parents.at(p))->states.at(states.at(p));
            }
            line += u' ' + QString::number(v.table[i], 'g', QLocale::FloatingPointShortest);
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

QList<QStringList> rowsOf(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &row : text.split(u'|'))
        rows.append(row.split(u' '));
    return rows;
}

ExportVariable variableOf(const QString &id, const QString &label, const QStringList &states,
                          const QStringList &parents, const QString &rows)
{
    return {id, label, states, states, parents, rowsOf(rows)};
}

} // namespace

class XdslFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("network");
        QTest::newRow("LF") << weather << weatherRead;
        QTest::newRow("CR LF") << lineEnds(weather, "\r\n") << weatherRead;
        QTest::newRow("CR") << lineEnds(weather, "\r") << weatherRead;
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
            << uR"(Go '' [Yes,No] () @2 no table
Sure '' [T,F] (Go) @3 no table
Or '' [T,F] (Sure) @5 no table
Level '' [Low,High] () @7 no table
Fly '' [Up] (Or,Level) @11 {1 1 1 1}: T Low 1 | T High 1 | F Low 1 | F High 1)"_s;
        // Bytes and characters part ways before the table: its place is counted in bytes.
        QTest::newRow("UTF-8 with a byte-order mark, beyond the BMP")
            << QByteArray("\xEF\xBB\xBF<smile id=\"N\"><!-- \xF0\x9F\x8C\xA7 \xC3\xBC --><nodes>"
                          "<cpt id=\"\xC3\xBC\xF0\x9F\x8C\xA7\"><state id=\"s\xE2\x82\xAC\" />"
                          "<probabilities> 1 </probabilities></cpt></nodes><extensions>"
                          "<genie><node id=\"\xC3\xBC\xF0\x9F\x8C\xA7\"><name>R\xC3\xA9gen "
                          "\xF0\x9F\x8C\xA7</name></node></genie></extensions></smile>")
            << u"ü🌧 'Régen 🌧' [s€] () @1 { 1 }: 1"_s;
        QTest::newRow("ISO-8859-1")
            << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?>\n<smile><!-- \xE9 -->"
                          "<nodes>\n<cpt id=\"x\xE9\"><state id=\"a\" /><probabilities>1"
                          "</probabilities></cpt></nodes><extensions><genie><node id=\"x\xE9\">"
                          "<name>\xC9t\xE9</name></node></genie></extensions></smile>")
            << u"xé 'Été' [a] () @3 {1}: 1"_s;
        QTest::newRow("numbers as GeNIe writes them, a comment and references among them")
            << QByteArray(R"(<smile><nodes><cpt id="P"><state id="p1" /><state id="p2" />
<state id="p3" /><probabilities>1 0 0</probabilities></cpt><cpt id="A"><state id="a" />
<state id="b" /><parents>P</parents><probabilities>
  0.6909999999999999 3.090000000000001E-1 <!-- row 2 -->
  +.25 &#55;5e-2 <![CDATA[1]]> -0e0 </probabilities>
</cpt></nodes></smile>)")
            << uR"(P '' [p1,p2,p3] () @1 {1 0 0}: 1 0 0
A '' [a,b] (P) @2 {
  0.6909999999999999 3.090000000000001E-1 <!-- row 2 -->
  +.25 &#55;5e-2 <![CDATA[1]]> -0e0 }: p1 0.691 0.3090000000000001 | p2 0.25 0.75 | p3 1 0)"_s;
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, network);
        const Result<Network> read = readXdsl(file, u"weather.xdsl"_s);
        QVERIFY2(read, qPrintable(read ? QString() : read.failure().text));
        QCOMPARE(described(*read, file), network);
        QCOMPARE(read->format, NetworkFormat::Xdsl);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("not XML") << QByteArray("network Small {\n}\n")
                                 << u"line 1: this is not an XDSL file: it is not XML"_s;
        QTest::newRow("no element") << QByteArray("<?xml version=\"1.0\"?>\n<!-- -->\n")
                                    << u"line 3: this is not an XDSL file: it has no <smile> "
                                       u"element"_s;
        QTest::newRow("another root")
            << with(small, "<smile version=\"1.0\"", "<BIF VERSION=\"0.3\"")
            << u"line 2: this is not an XDSL file: its first element "
               u"is <BIF>, not <smile>"_s;
        QTest::newRow("truncated") << small.first(small.indexOf("<parents>") + 4)
                                   << u"line 12: the file ends before the <cpt> element is "
                                      u"closed"_s;
        QTest::newRow("broken") << with(small, "</nodes>", "</node>")
                                << u"line 15: the XML is broken: Opening and ending tag "
                                   u"mismatch."_s;
        QTest::newRow("document type")
            << with(small, "<smile", "<!DOCTYPE smile [<!ENTITY a \"1\">]>\n<smile")
            << u"line 2: the file has a document type declaration (<!DOCTYPE>), which XDSL "
               u"files do not have"_s;
        QTest::newRow("nested too deep")
            << with(small, "</nodes>",
                    "</nodes><extensions>" + QByteArray("<x>").repeated(63) +
                        QByteArray("</x>").repeated(63) + "</extensions>")
            << u"line 15: the elements are nested more than 64 deep"_s;
        QByteArray attributes;
        for (int k = 0; k < 64; ++k)
            attributes += " a" + QByteArray::number(k) + "=\"x>\"";
        QTest::newRow("65 attributes") << with(small, "<cpt id=\"B\"", "<cpt id=\"B\"" + attributes)
                                       << u"line 9: an element has more than 64 attributes, more "
                                          u"than any XDSL file has"_s;
        QTest::newRow("other encoding")
            << with(small, "?>", " encoding=\"Shift_JIS\"?>")
            << u"line 1: the file is in the shift_jis encoding; this program reads XDSL files "
               u"in UTF-8 or ISO-8859-1"_s;
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE<\0s\0", 6)
                                << u"line 1: the file is in UTF-16; this program reads XDSL "
                                   u"files in UTF-8 or ISO-8859-1"_s;
        QTest::newRow("two byte-order marks")
            << "\xEF\xBB\xBF\xEF\xBB\xBF" + small
            << u"line 1: this is not an XDSL file: it begins with two byte-order marks"_s;
        QTest::newRow("not UTF-8") << with(small, "a2\"", "a\xE9\"")
                                   << u"line 6: the file is not UTF-8 text, as it says it is"_s;
        QTest::newRow("node without an id")
            << with(small, "<cpt id=\"B\">", "<cpt>") << u"line 9: a <cpt> node has no id"_s;
        QTest::newRow("node id")
            << with(small, "<cpt id=\"B\">", "<cpt id=\"2B\">")
            << u"line 9: the node id \"2B\" is not an identifier: it must begin with a letter "
               u"and hold only letters, digits and underscores"_s;
        QTest::newRow("state id")
            << with(small, "b2\"", "b 2\"")
            << u"line 11: the state id \"b 2\" of node \"B\" is not an identifier: it must begin "
               u"with a letter and hold only letters, digits and underscores"_s;
        QTest::newRow("node twice") << with(small, "<cpt id=\"B\">", "<cpt id=\"A\">")
                                    << u"line 9: the node \"A\" is declared twice, first on "
                                       u"line 4"_s;
        QTest::newRow("state twice")
            << with(small, "b2\"", "b1\"") << u"line 11: node \"B\" has the state \"b1\" twice"_s;
        QTest::newRow("no states") << with(small, "<state id=\"b1\" />\n<state id=\"b2\" />\n", "")
                                   << u"line 9: node \"B\" has no states"_s;
        QTest::newRow("undeclared parent")
            << with(small, "<parents>A", "<parents>A C")
            << u"line 12: node \"B\" has the parent \"C\", which is not declared before it"_s;
        QTest::newRow("parent twice") << with(small, "<parents>A", "<parents>A\tA")
                                      << u"line 12: node \"B\" has the parent \"A\" twice"_s;
        QTest::newRow("parent without states")
            << with(small, "<cpt id=\"B\">", "<utility id=\"U\" />\n<cpt id=\"B\">")
                   .replace("<parents>A", "<parents>U")
            << u"line 13: node \"B\" has the parent \"U\", which has no states"_s;
        QTest::newRow("element among the parents")
            << with(small, "<parents>A", "<parents>A<x/>")
            << u"line 12: the <parents> of node \"B\" hold an element <x>, where only text "
               u"belongs"_s;
        QTest::newRow("no table") << with(small, "<probabilities>0.1 0.9 0.2 0.8</probabilities>",
                                          "")
                                  << u"line 9: node \"B\" has no <probabilities>"_s;
        QTest::newRow("two tables")
            << with(small, "</probabilities>\n</cpt>\n</nodes>",
                    "</probabilities><probabilities/>\n</cpt>\n</nodes>")
            << u"line 13: node \"B\" has a second <probabilities> element"_s;
        QTest::newRow("table too short")
            << with(small, "0.2 0.8", "0.2")
            << u"line 13: node \"B\" has 3 probabilities where its states and its parents' "
               u"states ask for 4"_s;
        QTest::newRow("table too long")
            << with(small, "0.5 0.5", "0.5 0.5 0")
            << u"line 7: node \"A\" has 3 probabilities where its states and its parents' "
               u"states ask for 2"_s;
        QTest::newRow("decimal comma, on the table's second line")
            << with(small, "0.2 0.8", "\r\n0.2 0,8")
            << u"line 14: \"0,8\" in the probabilities of node \"B\" is not a number"_s;
        QTest::newRow("nan") << with(small, "0.2 0.8", "0.2 nan")
                             << u"line 13: \"nan\" in the probabilities of node \"B\" is not a "
                                u"number"_s;
        QTest::newRow("too large") << with(small, "0.2 0.8", "0.2 1e999")
                                   << u"line 13: \"1e999\" in the probabilities of node \"B\" is "
                                      u"too large or too small a number"_s;
    }
    void refuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const Result<Network> read = readXdsl(file, u"small.xdsl"_s);
        QVERIFY(!read);
        QCOMPARE(read.failure(), (Message{u"Network file"_s, u"small.xdsl, "_s + message}));
    }

    // The new numbers take the place of the old in the file's spacing, and nothing else changes.
    void writesATableBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray wide =
            with(small, "<smile", "<!-- Gr\xC3\xB6\xC3\x9F\x65 \xF0\x9F\x8C\xA7 -->\n<smile");
        const QByteArray changed = with(wide, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
        QTest::newRow("LF") << wide << u"0.25 0.75|1.00 0.00"_s << changed;
        QTest::newRow("CR LF") << lineEnds(wide, "\r\n") << u"0.25 0.75|1.00 0.00"_s
                               << lineEnds(changed, "\r\n");
        QTest::newRow("ISO-8859-1") << with(small, "?>", " encoding=\"ISO-8859-1\"?><!-- \xE9 -->")
                                    << u"0.25 0.75|1.00 0.00"_s
                                    << with(with(small, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00"),
                                            "?>", " encoding=\"ISO-8859-1\"?><!-- \xE9 -->");
        QTest::newRow("a row on each line")
            << lineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.1  0.9\n\t0.2  0.8\n"), "\r\n")
            << u"0.25 0.75|1.00 0.00"_s
            << lineEnds(with(small, "0.1 0.9 0.2 0.8", "\n\t0.25  0.75\n\t1.00  0.00\n"), "\r\n");
        QTest::newRow("a comment among the numbers")
            << with(small, "0.1 0.9 0.2 0.8", " 0.1 0.9 <!-- 2 --> 0.2 0.8")
            << u"0.25 0.75|1.00 0.00"_s << with(small, "0.1 0.9 0.2 0.8", "0.25 0.75 1.00 0.00");
    }
    void writesATableBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, rows);
        QFETCH(QByteArray, expected);
        const Result<Network> read = readXdsl(file, u"small.xdsl"_s);
        QVERIFY(read);
        const NetworkVariable &b = read->variables.at(1);
        QByteArray written = file;
        written.replace(b.tableBegin, b.tableEnd - b.tableBegin,
                        xdslTableText(file, *read, b, rowsOf(rows)));
        QCOMPARE(written, expected);
        const Result<Network> again = readXdsl(written, u"small.xdsl"_s);
        QVERIFY(again);
        QCOMPARE(again->variables.at(1).table, (std::vector<double>{0.25, 0.75, 1, 0}));
        QCOMPARE(again->variables.at(0).table, read->variables.at(0).table);
    }

    // A file that GeNIe shows: the nodes' names as typed, escaped; their places on a grid.
    void writesANetwork_data()
    {
        QTest::addColumn<NetworkExport>("network");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("a parent and a child")
            << NetworkExport{u"Weather"_s,
                             {variableOf(u"Wind"_s, u"Wind <&> \"gusts\"\t\\"_s,
                                         {u"Strong"_s, u"Weak"_s}, {}, u"0.3 0.7"_s),
                              variableOf(u"Rain"_s, u"Regen 🌧 ü"_s, {u"High"_s, u"Low"_s},
                                         {u"Wind"_s}, u"0.90 0.10|0.40 0.60"_s)}}
            << QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<smile version="1.0" id="Weather" numsamples="10000" discsamples="10000">
    <nodes>
        <cpt id="Wind">
            <state id="Strong" />
            <state id="Weak" />
            <probabilities>0.3 0.7</probabilities>
        </cpt>
        <cpt id="Rain">
            <state id="High" />
            <state id="Low" />
            <parents>Wind</parents>
            <probabilities>0.90 0.10 0.40 0.60</probabilities>
        </cpt>
    </nodes>
    <extensions>
        <genie version="1.0" app="Vadazaz VERSION" name="Weather">
            <node id="Wind">
                <name>Wind &lt;&amp;&gt; &quot;gusts&quot;&#9;\</name>
                <interior color="e5f6f7" />
                <outline color="000080" />
                <font color="000000" name="Arial" size="8" />
                <position>40 40 160 96</position>
            </node>
            <node id="Rain">
                <name>Regen )"
                          "\xF0\x9F\x8C\xA7 \xC3\xBC"
                          R"(</name>
                <interior color="e5f6f7" />
                <outline color="000080" />
                <font color="000000" name="Arial" size="8" />
                <position>40 150 160 206</position>
            </node>
        </genie>
    </extensions>
</smile>
)")
                   .replace("VERSION", versionText);
        QTest::newRow("a child of three states, parents of two and three")
            << NetworkExport{u"N"_s,
                             {variableOf(u"A"_s, u"a"_s, {u"a1"_s, u"a2"_s}, {}, u"0.5 0.5"_s),
                              variableOf(u"B"_s, u"b"_s, {u"b1"_s, u"b2"_s, u"b3"_s}, {},
                                         u"0.2 0.3 0.5"_s),
                              variableOf(u"C"_s, u"c"_s, {u"c1"_s, u"c2"_s, u"c3"_s},
                                         {u"A"_s, u"B"_s},
                                         u"0.01 0.02 0.97|0.04 0.05 0.91|0.07 0.08 0.85|"
                                         u"0.10 0.11 0.79|0.13 0.14 0.73|0.16 0.17 0.67"_s)}}
            << QByteArray();
    }
    void writesANetwork()
    {
        QFETCH(NetworkExport, network);
        QFETCH(QByteArray, file);
        const QByteArray written = writeXdsl(network);
        if (!file.isEmpty())
            QCOMPARE(written, file);
        QVERIFY(!written.contains('\t') && written.endsWith("</smile>\n"));
        const Result<Network> read = readXdsl(written, u"written.xdsl"_s);
        QVERIFY2(read, qPrintable(read ? QString() : read.failure().text));
        QCOMPARE(read->name, network.name);
        QCOMPARE(read->variables.size(), network.variables.size());
        for (qsizetype k = 0; k < network.variables.size(); ++k) {
            const ExportVariable &out = network.variables.at(k);
            const NetworkVariable &in = read->variables.at(k);
            QCOMPARE(in.id, out.id);
            QCOMPARE(in.label, out.label);
            QCOMPARE(in.states, out.states);
            QCOMPARE(in.parents, out.parents);
            std::vector<double> numbers;
            for (const QStringList &row : out.rows) {
                for (const QString &number : row)
                    numbers.push_back(number.toDouble());
            }
            QCOMPARE(in.table, numbers);
        }
    }
};

VADAZAZ_TEST_MAIN(XdslFormatTest)
#include "xdsl_format_test.moc"
