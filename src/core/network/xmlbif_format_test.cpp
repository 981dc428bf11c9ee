#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// A table lists the variable's outcomes fastest, its last parent next, its first parent slowest.
// A decision has no probabilities; a utility without outcomes is left out.
const QByteArray pond = R"xml(<?xml version="1.0"?>
<!DOCTYPE BIF [
    <!ELEMENT BIF ( NETWORK )*>
]>
<BIF VERSION="0.3">
<NETWORK>
<NAME>pond</NAME>
<!-- Variables -->
<VARIABLE TYPE="nature"><NAME>Season</NAME><OUTCOME>Summer</OUTCOME><OUTCOME>Winter</OUTCOME>
    <PROPERTY>position = (73, 165)</PROPERTY></VARIABLE>
<VARIABLE><NAME>Depth</NAME>
<OUTCOME>&lt;2m</OUTCOME><OUTCOME>2-5m</OUTCOME><OUTCOME>&gt;=5m</OUTCOME>
<PROPERTY>label = Tiefe (m) ≥ &amp; mud</PROPERTY></VARIABLE>
<VARIABLE TYPE="decision"><NAME>Fish</NAME><OUTCOME>Yes</OUTCOME><OUTCOME>No</OUTCOME>
</VARIABLE>
<VARIABLE type="utility"><NAME>Profit</NAME></VARIABLE>
<VARIABLE TYPE="nature"><NAME>Catch</NAME><OUTCOME>None</OUTCOME><OUTCOME>Few</OUTCOME>
<OUTCOME>Many</OUTCOME></VARIABLE>
<DEFINITION>
    <FOR>Catch</FOR>
    <GIVEN>Season</GIVEN>
    <GIVEN>Depth</GIVEN>
    <TABLE>0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3  0.1 </TABLE>
</DEFINITION>
<DEFINITION><FOR>Season</FOR><TABLE>0.6 0.4</TABLE></DEFINITION>
<DEFINITION><FOR>Depth</FOR><TABLE>0.2 0.3 0.5</TABLE></DEFINITION>
<DEFINITION><FOR>Fish</FOR><GIVEN>Season</GIVEN></DEFINITION>
<DEFINITION><FOR>Profit</FOR><GIVEN>Catch</GIVEN><TABLE>0 10 50</TABLE></DEFINITION>
</NETWORK>
</BIF>
)xml";

const QString pondRead = u"network pond\n"
                         u"Season \"\" line 9 [Summer Winter] (,) <> = 0.6 0.4\n"
                         u"Depth \"Tiefe (m) \u2265 & mud\" line 11 [<2m 2-5m >=5m] (,,) <> = 0.2 "
                         u"0.3 0.5\n"
                         u"Fish \"\" line 14 [Yes No] (,) <Season> -\n"
                         u"Catch \"\" line 17 [None Few Many] (,,) <Season Depth> = 0.1 0.2 0.7 "
                         u"0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3 0.1"_s;

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

QByteArray rainWith(const char *from, const QByteArray &to)
{
    return QByteArray(rain).replace(from, to);
}

} // namespace

class XmlBifFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // or the message
        const auto row = [](const char *name, const QByteArray &file, const QString &read) {
            QTest::newRow(name) << file << read;
        };
        row("LF", pond, pondRead);
        row("CR LF", withLineEnds(pond, "\r\n"), pondRead);
        row("CR", withLineEnds(pond, "\r"), pondRead);
        row("not XML", "network rain {\n}\n",
            u"rain.xml, line 1: this is not an XMLBIF file: it does not begin with an XML "
            u"element"_s);
        row("other XML", "<?xml version=\"1.0\"?>\n<html><BIF/></html>\n",
            u"rain.xml, line 2: this is not an XMLBIF file: its first element is <html>, not "
            u"<BIF>"_s);
        row("cut short", rain.left(rain.indexOf("0.4 0.6")),
            u"rain.xml, line 24: the file ends too soon, inside an element: it may be cut "
            u"short"_s);
        row("not well-formed", rainWith("</FOR>\n    <GIVEN>", "</for>\n    <GIVEN>"),
            u"rain.xml, line 20: the file is not well-formed XML: Opening and ending tag "
            u"mismatch."_s);
        row("encoding", rainWith("version=\"1.0\"", "version=\"1.0\" encoding=\"EUC-JP\""),
            u"rain.xml, line 1: the file is written in EUC-JP; this program reads XMLBIF files in "
            u"UTF-8 or ISO-8859-1"_s);
        row("parent not declared", rainWith("<GIVEN>Wind", "<GIVEN>Gust"),
            u"rain.xml, line 19: the parent \"Gust\" of \"Rain\" is not declared"_s);
        row("variable not declared", rainWith("<FOR>Wind", "<FOR>Gust"),
            u"rain.xml, line 15: the probabilities are given for \"Gust\", a variable that is not "
            u"declared"_s);
        row("table too short", rainWith("0.4 0.6", "0.4"),
            u"rain.xml, line 22: the table of \"Rain\" should have 4 numbers, one for each of its "
            u"outcomes in each configuration of its parents, not 3"_s);
        row("no table", rainWith("<TABLE>0.5 0.5</TABLE>", ""),
            u"rain.xml, line 15: the definition of \"Wind\" has no <TABLE>"_s);
        row("not a number", rainWith("0.4 0.6", "0.4 0,6"),
            u"rain.xml, line 24: \"0,6\" in the table of \"Rain\" is not a number"_s);
        row("variable twice", rainWith("<NAME>Rain", "<NAME>Wind"),
            u"rain.xml, line 10: the variable \"Wind\" is declared twice, first on line 5"_s);
        row("empty name", rainWith("<NAME>Rain", "<NAME> "),
            u"rain.xml, line 11: a variable's <NAME> is empty"_s);
        row("line break in a name", rainWith("<NAME>Rain", "<NAME>Ra\nin"),
            u"rain.xml, line 12: the name \"Ra in\" holds a line break, a tab or another control "
            u"character"_s);
        row("outcome twice", rainWith("<OUTCOME>Low", "<OUTCOME>High"),
            u"rain.xml, line 13: the variable \"Rain\" has the outcome \"High\" twice"_s);
        row("unknown type",
            rainWith("<VARIABLE TYPE=\"nature\">\n    <NAME>Rain",
                     "<VARIABLE TYPE=\"chance\">\n    <NAME>Rain"),
            u"rain.xml, line 10: the variable \"Rain\" has the type \"chance\"; XMLBIF knows "
            u"\"nature\", \"decision\" and \"utility\""_s);
        row("nested too deep",
            rainWith("<NAME>rain</NAME>", "<NAME>rain</NAME>" + QByteArray("<X>").repeated(63) +
                                              QByteArray("</X>").repeated(63)),
            u"rain.xml, line 4: the elements are nested more than 64 deep, deeper than in any "
            u"network"_s);
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QCOMPARE(readAs(NetworkFormat::XmlBif, file, u"rain.xml"_s), read);
    }

    // A written network reads back with the same variables, the names as typed and the numbers as
    // written.
    void writesAnExport()
    {
        const NetworkExport pondExport{
            u"pond"_s,
            {exported(u"Season"_s, u"Season \"of the year\""_s, u"Summer Winter"_s, {}, {},
                      u"0.600000 0.400000"_s),
             exported(u"Depth"_s, u"Depth <m> & \u2265 1\u0001"_s, u"Shallow Medium Deep"_s, {}, {},
                      u"0.200000 0.300000 0.500000"_s),
             exported(u"Catch"_s, u"Catch = fish"_s, u"None Few Many"_s, {}, u"Season Depth"_s,
                      u"0.10 0.11 0.12|0.20 0.21 0.22|0.30 0.31 0.32|0.40 0.41 0.42|"
                      u"0.50 0.51 0.52|0.60 0.61 0.62"_s)}};
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
        const QByteArray written = writeNetwork(NetworkFormat::XmlBif, pondExport);
        QCOMPARE(written, expected);
        QCOMPARE(readAs(NetworkFormat::XmlBif, written, u"pond.xml"_s),
                 u"network pond\n"
                 u"Season \"Season \"of the year\"\" line 5 [Summer Winter] (,) <> = 0.6 0.4\n"
                 u"Depth \"Depth <m> & \u2265 1\uFFFD\" line 11 [Shallow Medium Deep] (,,) <> = "
                 u"0.2 0.3 0.5\n"
                 u"Catch \"\" line 18 [None Few Many] (,,) <Season Depth> = 0.1 0.11 0.12 0.2 "
                 u"0.21 0.22 0.3 0.31 0.32 0.4 0.41 0.42 0.5 0.51 0.52 0.6 0.61 0.62"_s);
    }

    // Only the table's text changes, and the file reads back with the new numbers and every
    // other table as it was.
    void writesTablesBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QByteArray>("written");
        const QByteArray rainBack = rainWith("\n        0.9 0.1\n        0.4 0.6\n",
                                             "\n        0.10 0.11\n        0.20 0.21\n");
        const QByteArray unindented =
            rainWith("\n        0.9 0.1\n        0.4 0.6\n    ", "0.9 0.1\n0.4 0.6");
        QTest::newRow("a row a line, LF")
            << rain << u"Rain"_s << u"0.10 0.11|0.20 0.21"_s << rainBack;
        QTest::newRow("a row a line, CR LF")
            << withLineEnds(rain, "\r\n") << u"Rain"_s << u"0.10 0.11|0.20 0.21"_s
            << withLineEnds(rainBack, "\r\n");
        QTest::newRow("a row a line, unindented, CR")
            << withLineEnds(unindented, "\r") << u"Rain"_s << u"0.10 0.11|0.20 0.21"_s
            << withLineEnds(
                   QByteArray(unindented).replace("0.9 0.1\n0.4 0.6", "0.10 0.11\n0.20 0.21"),
                   "\r");
        QTest::newRow("one line")
            << pond << u"Catch"_s
            << u"0.10 0.11 0.12|0.20 0.21 0.22|0.30 0.31 0.32|0.40 0.41 0.42|0.50 0.51 0.52|0.60 "
               u"0.61 0.62"_s
            << QByteArray(pond).replace(
                   "0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3  0.1 ",
                   "0.10 0.11 0.12 0.20 0.21 0.22 0.30 0.31 0.32 0.40 0.41 0.42 0.50 0.51 0.52 "
                   "0.60 0.61 0.62 ");
        QTest::newRow("without parents, non-ASCII before it")
            << pond << u"Depth"_s << u"0.10 0.11 0.12"_s
            << QByteArray(pond).replace("<TABLE>0.2 0.3 0.5<", "<TABLE>0.10 0.11 0.12<");
    }
    void writesTablesBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, variable);
        QFETCH(QString, rows);
        QFETCH(QByteArray, written);
        QCOMPARE(writtenBack(NetworkFormat::XmlBif, file, variable, rows), written);
    }
};

VADAZAZ_TEST_MAIN(XmlBifFormatTest)
#include "xmlbif_format_test.moc"
