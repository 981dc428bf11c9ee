#include "core/network/xmlbif_format.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

QByteArray withLineEnds(QByteArray text, const char *lineEnd)
{
    return text.replace("\n", lineEnd);
}

// A table lists the variable's outcomes fastest, its last parent next, its first parent slowest.
const QByteArray pond = R"xml(<?xml version="1.0"?>
<!DOCTYPE BIF [
    <!ELEMENT BIF ( NETWORK )*>
]>
<BIF VERSION="0.3">
<NETWORK>
<NAME>pond</NAME>
<!-- Variables -->
<VARIABLE TYPE="nature">
    <NAME>Season</NAME>
    <OUTCOME>Summer</OUTCOME>
    <OUTCOME>Winter</OUTCOME>
    <PROPERTY>position = (73, 165)</PROPERTY>
</VARIABLE>
<VARIABLE>
    <NAME>Depth</NAME>
    <OUTCOME>&lt;2m</OUTCOME>
    <OUTCOME>2-5m</OUTCOME>
    <OUTCOME>&gt;=5m</OUTCOME>
    <PROPERTY>label = Depth of the water &amp; mud</PROPERTY>
</VARIABLE>
<VARIABLE TYPE="nature">
    <NAME>Catch</NAME>
    <OUTCOME>None</OUTCOME>
    <OUTCOME>Few</OUTCOME>
    <OUTCOME>Many</OUTCOME>
</VARIABLE>
<DEFINITION>
    <FOR>Catch</FOR>
    <GIVEN>Season</GIVEN>
    <GIVEN>Depth</GIVEN>
    <TABLE>0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3  0.1 </TABLE>
</DEFINITION>
<DEFINITION>
    <FOR>Season</FOR>
    <TABLE>0.6 0.4</TABLE>
</DEFINITION>
<DEFINITION>
    <FOR>Depth</FOR>
    <TABLE>0.2 0.3 0.5</TABLE>
</DEFINITION>
</NETWORK>
</BIF>
)xml";

// The same network with a row a line, and a decision and a utility, which have no probabilities:
// the utility without outcomes is left out.
const QByteArray pondDecision = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<BIF VERSION="0.3">
<NETWORK>
<NAME>pond</NAME>
<VARIABLE TYPE="nature"><NAME>Season</NAME><OUTCOME>Summer</OUTCOME><OUTCOME>Winter</OUTCOME>
</VARIABLE>
<VARIABLE TYPE="nature"><NAME>Depth</NAME>
<OUTCOME>&lt;2m</OUTCOME><OUTCOME>2-5m</OUTCOME><OUTCOME>&gt;=5m</OUTCOME>
<PROPERTY>label = Tiefe (m) ≥</PROPERTY></VARIABLE>
<VARIABLE TYPE="decision"><NAME>Fish</NAME><OUTCOME>Yes</OUTCOME><OUTCOME>No</OUTCOME>
</VARIABLE>
<VARIABLE type="utility"><NAME>Profit</NAME></VARIABLE>
<VARIABLE TYPE="nature"><NAME>Catch</NAME><OUTCOME>None</OUTCOME><OUTCOME>Few</OUTCOME>
<OUTCOME>Many</OUTCOME></VARIABLE>
<DEFINITION><FOR>Season</FOR><TABLE>0.6 0.4</TABLE></DEFINITION>
<DEFINITION><FOR>Depth</FOR><TABLE>0.2 0.3 0.5</TABLE></DEFINITION>
<DEFINITION><FOR>Fish</FOR><GIVEN>Season</GIVEN></DEFINITION>
<DEFINITION><FOR>Profit</FOR><GIVEN>Catch</GIVEN><TABLE>0 10 50</TABLE></DEFINITION>
<DEFINITION><FOR>Catch</FOR><GIVEN>Season</GIVEN><GIVEN>Depth</GIVEN><TABLE>
    0.1 0.2 0.7
    0.2 0.3 0.5
    0.4 0.4 0.2
    0.3 0.3 0.4
    0.5 0.25 0.25
    0.6 0.3 0.1
</TABLE></DEFINITION>
</NETWORK>
</BIF>
)xml";

const QByteArray rain = R"xml(<?xml version="1.0"?>
<BIF VERSION="0.3">
<NETWORK>
<NAME>rain</NAME>
<VARIABLE TYPE="nature">
    <NAME>Wind</NAME>
    <OUTCOME>Strong</OUTCOME>
    <OUTCOME>Weak</OUTCOME>
</VARIABLE>
<VARIABLE TYPE="nature">
    <NAME>Rain</NAME>
    <OUTCOME>High</OUTCOME>
    <OUTCOME>Low</OUTCOME>
</VARIABLE>
<DEFINITION>
    <FOR>Wind</FOR>
    <TABLE>0.5 0.5</TABLE>
</DEFINITION>
<DEFINITION>
    <FOR>Rain</FOR>
    <GIVEN>Wind</GIVEN>
    <TABLE>
        0.9 0.1
        0.4 0.6
    </TABLE>
</DEFINITION>
</NETWORK>
</BIF>
)xml";

QByteArray rainWith(const char *from, const char *to)
{
    return QByteArray(rain).replace(from, to);
}

// "Id "label" line N: states | parents : table", a line for each variable.
QStringList described(const Network &network)
{
    QStringList lines;
    for (const NetworkVariable &v : network.variables) {
        QStringList numbers;
        for (const double p : v.table)
            numbers.append(QString::number(p));
        lines.append(u"%1 \"%2\" line %3: %4 | %5 : %6"_s.arg(v.id, v.label)
                         .arg(v.line)
                         .arg(v.states.join(u' '), v.parents.join(u' '), numbers.join(u' ')));
    }
    return lines;
}

// Rows of a table to write: "0.10 0.11 …" for the first configuration of the parents, "0.20 …"
// for the second, so that a row in the wrong place shows.
QList<QStringList> numberedRows(int configurations, int states)
{
    QList<QStringList> rows;
    for (int c = 1; c <= configurations; ++c) {
        rows.append(QStringList());
        for (int s = 0; s < states; ++s)
            rows.last().append(u"0.%1%2"_s.arg(c).arg(s));
    }
    return rows;
}

const QString catchTable = u"0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 "
                           u"0.3 0.1"_s;

} // namespace

class XmlBifFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("variables");
        QTest::newRow("a table a line, LF")
            << pond
            << QStringList{u"Season \"\" line 9: Summer Winter |  : 0.6 0.4"_s,
                           u"Depth \"Depth of the water & mud\" line 15: <2m 2-5m >=5m |  : 0.2 "
                           u"0.3 0.5"_s,
                           u"Catch \"\" line 22: None Few Many | Season Depth : "_s + catchTable};
        const QStringList decision{
            u"Season \"\" line 5: Summer Winter |  : 0.6 0.4"_s,
            u"Depth \"Tiefe (m) \u2265\" line 7: <2m 2-5m >=5m |  : 0.2 0.3 0.5"_s,
            u"Fish \"\" line 10: Yes No | Season : "_s,
            u"Catch \"\" line 13: None Few Many | Season Depth : "_s + catchTable};
        QTest::newRow("a row a line, decisions, CR LF")
            << withLineEnds(pondDecision, "\r\n") << decision;
        QTest::newRow("a row a line, decisions, CR")
            << withLineEnds(pondDecision, "\r") << decision;
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, variables);
        const Result<Network> read = readXmlBif(file, u"pond.xml"_s);
        QVERIFY2(read, qPrintable(read ? QString() : read.failure().text));
        QCOMPARE(read->name, u"pond"_s);
        QCOMPARE(described(*read), variables);
        for (const NetworkVariable &v : read->variables) {
            QCOMPARE(v.stateLabels, QStringList(v.states.size(), QString()));
            if (v.table.empty())
                QCOMPARE(std::pair(v.tableBegin, v.tableEnd),
                         std::pair(qsizetype(-1), qsizetype(-1)));
        }
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("not XML") << QByteArray("network rain {\n}\n")
                                 << u"rain.xml, line 1: this is not an XMLBIF file: it does not "
                                    u"begin with an XML element"_s;
        QTest::newRow("other XML")
            << QByteArray("<?xml version=\"1.0\"?>\n<html><BIF/></html>\n")
            << u"rain.xml, line 2: this is not an XMLBIF file: its first element is <html>, not "
               u"<BIF>"_s;
        QTest::newRow("cut short")
            << rain.left(rain.indexOf("0.4 0.6"))
            << u"rain.xml, line 24: the file ends too soon, inside an element: it may be cut "
               u"short"_s;
        QTest::newRow("not well-formed")
            << rainWith("</FOR>\n    <GIVEN>", "</for>\n    <GIVEN>")
            << u"rain.xml, line 20: the file is not well-formed XML: Opening and ending tag "
               u"mismatch."_s;
        QTest::newRow("encoding") << rainWith("version=\"1.0\"",
                                              "version=\"1.0\" encoding=\"EUC-JP\"")
                                  << u"rain.xml, line 1: the file is written in EUC-JP; this "
                                     u"program reads XMLBIF files in UTF-8 or ISO-8859-1"_s;
        QTest::newRow("parent not declared")
            << rainWith("<GIVEN>Wind", "<GIVEN>Gust")
            << u"rain.xml, line 19: the parent \"Gust\" of \"Rain\" is not declared"_s;
        QTest::newRow("variable not declared")
            << rainWith("<FOR>Wind", "<FOR>Gust")
            << u"rain.xml, line 15: the probabilities are given for \"Gust\", a variable that is "
               u"not declared"_s;
        QTest::newRow("table too short")
            << rainWith("0.4 0.6", "0.4")
            << u"rain.xml, line 22: the table of \"Rain\" should have 4 numbers, one for each of "
               u"its outcomes in each configuration of its parents, not 3"_s;
        QTest::newRow("no table")
            << rainWith("<TABLE>0.5 0.5</TABLE>", "")
            << u"rain.xml, line 15: the definition of \"Wind\" has no <TABLE>"_s;
        QTest::newRow("not a number")
            << rainWith("0.4 0.6", "0.4 0,6")
            << u"rain.xml, line 24: \"0,6\" in the table of \"Rain\" is not a number"_s;
        QTest::newRow("variable twice")
            << rainWith("<NAME>Rain", "<NAME>Wind")
            << u"rain.xml, line 10: the variable \"Wind\" is declared twice, first on line 5"_s;
        QTest::newRow("empty name") << rainWith("<NAME>Rain", "<NAME> ")
                                    << u"rain.xml, line 11: a variable's <NAME> is empty"_s;
        QTest::newRow("line break in a name")
            << rainWith("<NAME>Rain", "<NAME>Ra\nin")
            << u"rain.xml, line 12: the name \"Ra in\" holds a line break, a tab or another "
               u"control character"_s;
        QTest::newRow("outcome twice")
            << rainWith("<OUTCOME>Low", "<OUTCOME>High")
            << u"rain.xml, line 13: the variable \"Rain\" has the outcome \"High\" twice"_s;
        QTest::newRow("unknown type")
            << rainWith("<VARIABLE TYPE=\"nature\">\n    <NAME>Rain",
                        "<VARIABLE TYPE=\"chance\">\n    <NAME>Rain")
            << u"rain.xml, line 10: the variable \"Rain\" has the type \"chance\"; XMLBIF knows "
               u"\"nature\", \"decision\" and \"utility\""_s;
        QTest::newRow("nested too deep")
            << rainWith("<NAME>rain</NAME>", "<NAME>rain</NAME>" + QByteArray("<X>").repeated(63) +
                                                 QByteArray("</X>").repeated(63))
            << u"rain.xml, line 4: the elements are nested more than 64 deep, deeper than in any "
               u"network"_s;
    }
    void refuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const Result<Network> read = readXmlBif(file, u"rain.xml"_s);
        QVERIFY(!read);
        QCOMPARE(read.failure().text, message);
    }

    // A written network reads back with the same variables, the names as typed and the numbers as
    // written.
    void writesAnExport()
    {
        const NetworkExport pondExport{u"pond"_s,
                                       {{u"Season"_s,
                                         u"Season \"of the year\""_s,
                                         {u"Summer"_s, u"Winter"_s},
                                         {},
                                         {},
                                         {{u"0.600000"_s, u"0.400000"_s}}},
                                        {u"Depth"_s,
                                         u"Depth <m> & \u2265 1\u0001"_s,
                                         {u"Shallow"_s, u"Medium"_s, u"Deep"_s},
                                         {},
                                         {},
                                         {{u"0.200000"_s, u"0.300000"_s, u"0.500000"_s}}},
                                        {u"Catch"_s,
                                         u"Catch = fish"_s,
                                         {u"None"_s, u"Few"_s, u"Many"_s},
                                         {},
                                         {u"Season"_s, u"Depth"_s},
                                         numberedRows(6, 3)}}};
        const QByteArray expected = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<BIF VERSION="0.3">
<NETWORK>
<NAME>pond</NAME>
<VARIABLE TYPE="nature">
    <NAME>Season</NAME>
    <OUTCOME>Summer</OUTCOME>
    <OUTCOME>Winter</OUTCOME>
    <PROPERTY>label = Season "of the year"</PROPERTY>
</VARIABLE>
<VARIABLE TYPE="nature">
    <NAME>Depth</NAME>
    <OUTCOME>Shallow</OUTCOME>
    <OUTCOME>Medium</OUTCOME>
    <OUTCOME>Deep</OUTCOME>
    <PROPERTY>label = Depth &lt;m&gt; &amp; ≥ 1�</PROPERTY>
</VARIABLE>
<VARIABLE TYPE="nature">
    <NAME>Catch</NAME>
    <OUTCOME>None</OUTCOME>
    <OUTCOME>Few</OUTCOME>
    <OUTCOME>Many</OUTCOME>
</VARIABLE>
<DEFINITION>
    <FOR>Season</FOR>
    <TABLE>0.600000 0.400000</TABLE>
</DEFINITION>
<DEFINITION>
    <FOR>Depth</FOR>
    <TABLE>0.200000 0.300000 0.500000</TABLE>
</DEFINITION>
<DEFINITION>
    <FOR>Catch</FOR>
    <GIVEN>Season</GIVEN>
    <GIVEN>Depth</GIVEN>
    <TABLE>
        0.10 0.11 0.12
        0.20 0.21 0.22
        0.30 0.31 0.32
        0.40 0.41 0.42
        0.50 0.51 0.52
        0.60 0.61 0.62
    </TABLE>
</DEFINITION>
</NETWORK>
</BIF>
)xml";
        const QByteArray written = writeXmlBif(pondExport);
        QCOMPARE(written, expected);
        const Result<Network> read = readXmlBif(written, u"pond.xml"_s);
        QVERIFY(read);
        QCOMPARE(described(*read),
                 QStringList({u"Season \"Season \"of the year\"\" line 5: Summer Winter |  : 0.6 "
                              u"0.4"_s,
                              u"Depth \"Depth <m> & \u2265 1\uFFFD\" line 11: Shallow Medium Deep "
                              u"|  : 0.2 0.3 0.5"_s,
                              u"Catch \"\" line 18: None Few Many | Season Depth : 0.1 0.11 0.12 "
                              u"0.2 0.21 0.22 0.3 0.31 0.32 0.4 0.41 0.42 0.5 0.51 0.52 0.6 0.61 "
                              u"0.62"_s}));
    }

    void writesTablesBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("a row a line, LF")
            << rain << u"Rain"_s << QByteArray("\n        0.9 0.1\n        0.4 0.6\n    ")
            << QByteArray("\n        0.10 0.11\n        0.20 0.21\n    ");
        QTest::newRow("a row a line, CR LF")
            << withLineEnds(rain, "\r\n") << u"Rain"_s
            << QByteArray("\r\n        0.9 0.1\r\n        0.4 0.6\r\n    ")
            << QByteArray("\r\n        0.10 0.11\r\n        0.20 0.21\r\n    ");
        QTest::newRow("a row a line, unindented, CR")
            << withLineEnds(
                   rainWith("\n        0.9 0.1\n        0.4 0.6\n    ", "0.9 0.1\n0.4 0.6"), "\r")
            << u"Rain"_s << QByteArray("0.9 0.1\r0.4 0.6") << QByteArray("0.10 0.11\r0.20 0.21");
        QTest::newRow("one line")
            << pond << u"Catch"_s
            << QByteArray("0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3  "
                          "0.1 ")
            << QByteArray("0.10 0.11 0.12 0.20 0.21 0.22 0.30 0.31 0.32 0.40 0.41 0.42 0.50 0.51 "
                          "0.52 0.60 0.61 0.62 ");
        QTest::newRow("without parents, non-ASCII before it")
            << pondDecision << u"Depth"_s << QByteArray("0.2 0.3 0.5")
            << QByteArray("0.10 0.11 0.12");
    }
    // Only the table's text changes, and the file reads back with the new numbers and every
    // other table as it was.
    void writesTablesBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, variable);
        QFETCH(QByteArray, table);
        QFETCH(QByteArray, written);
        const Result<Network> read = readXmlBif(file, u"pond.xml"_s);
        QVERIFY(read);
        const NetworkVariable &v = *read->variable(variable);
        QCOMPARE(file.sliced(v.tableBegin, v.tableEnd - v.tableBegin), table);
        const QList<QStringList> rows =
            numberedRows(int(v.table.size() / v.states.size()), int(v.states.size()));
        QCOMPARE(xmlbifTableText(file, *read, v, rows), written);

        const QByteArray changed = QByteArray(file).replace(v.tableBegin, table.size(), written);
        const Result<Network> again = readXmlBif(changed, u"pond.xml"_s);
        QVERIFY2(again, qPrintable(again ? QString() : again.failure().text));
        for (qsizetype k = 0; k < read->variables.size(); ++k) {
            const NetworkVariable &before = read->variables.at(k);
            const NetworkVariable &after = again->variables.at(k);
            QCOMPARE(after.parents, before.parents);
            if (before.id != variable) {
                QCOMPARE(after.table, before.table);
                continue;
            }
            std::vector<double> expected;
            for (const QStringList &row : rows)
                for (const QString &p : row)
                    expected.push_back(p.toDouble());
            QCOMPARE(after.table, expected);
        }
    }
};

VADAZAZ_TEST_MAIN(XmlBifFormatTest)
#include "xmlbif_format_test.moc"
