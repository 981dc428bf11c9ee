#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

// The same network two ways. Rows come in any order, one of them by default; Depth's states
// have the marks real files use in names.
const QByteArray pondRows = R"bif(// Fish in a pond
network pond {
  property "version 2";
}
variable Season { // when
  type discrete [ 2 ] { Summer, Winter };
}
variable Depth {
  type discrete [ 3 ] { <2m, 2-5m, >=5m };
  property "position = (10, 20)";
}
variable Catch {
  type discrete [ 3 ] { None, Few, Many };
}
probability ( Season ) {
  table 0.6, 0.4;
}
probability ( Depth ) { default 0.2 0.3 0.5; }
/* rows in any order,
   one by default */
probability ( Catch | Season, Depth ) {
  (Winter, >=5m) 0.6, 0.3, 0.1;
  (Summer, <2m) 0.1, 0.2, 0.7;
  (Summer, 2-5m) 0.2, 0.3, 0.5;
  default 0.5, 0.25, 0.25;
  (Winter, <2m) 0.3, 0.3, 0.4;
  (Summer, >=5m) 0.4, 0.4, 0.2;
}
)bif";

// The table form lists the first state of the variable for every configuration of its
// parents, then the second state, and so on; names may stand in quotes, the parents without "|".
const QByteArray pondTable = "network \"pond\" { //3 variables\n"
                             "}\n"
                             "variable \"Season\" {\n"
                             "\ttype discrete[2] { \"Summer\" \"Winter\" };\n"
                             "\tproperty \"position = (1, 2)\" ;\n"
                             "}\n"
                             "variable Depth {\n"
                             "\ttype discrete[3] { \"<2m\" \"2-5m\" \">=5m\" };\n"
                             "}\n"
                             "variable Catch {\n"
                             "\ttype discrete[3] { None Few Many };\n"
                             "}\n"
                             "probability ( \"Catch\" \"Season\" Depth ) {\n"
                             "\ttable 0.1 0.2 0.4 0.3 0.5 0.6  0.2 0.3 0.4 0.3 0.25 0.3  "
                             "0.7 0.5 0.2 0.4 0.25 0.1 ;\n"
                             "}\n"
                             "probability ( Season ) {\n"
                             "\ttable 0.6 0.4 ;\n"
                             "}\n"
                             "probability ( \"Depth\" ) {\n"
                             "\ttable 0.2 0.3 0.5 ;\n"
                             "}\n";

const QByteArray rain = R"bif(network rain {
}
variable Wind {
  type discrete [ 2 ] { Strong, Weak };
}
variable Rain {
  type discrete [ 2 ] { High, Low };
}
probability ( Wind ) {
  table 0.5, 0.5;
}
probability ( Rain | Wind ) {
  (Strong) 0.9, 0.1;
  (Weak) 0.4, 0.6;
}
)bif";

QByteArray rainWith(const char *from, const char *to)
{
    return QByteArray(rain).replace(from, to);
}

// Parents of n states each and a child X whose default row fills its table.
QByteArray defaultFilled(int parents, int n, int childStates)
{
    QByteArray file = "network large {\n}\n";
    QByteArrayList names;
    for (int k = 0; k < parents; ++k) {
        names.append("P" + QByteArray::number(k));
        QByteArray states;
        for (int s = 0; s < n; ++s)
            states += " s" + QByteArray::number(s);
        file += "variable " + names.last() + " {\n  type discrete [ " + QByteArray::number(n) +
                " ] {" + states + " };\n}\n";
    }
    file += "variable X {\n  type discrete [ " + QByteArray::number(childStates) + " ] {";
    for (int s = 0; s < childStates; ++s)
        file += " x" + QByteArray::number(s);
    file += " };\n}\nprobability ( X | " + names.join(", ") + " ) {\n  default 1";
    for (int s = 1; s < childStates; ++s)
        file += " 0";
    return file + ";\n}\n";
}

QString pondRead(int seasonLine, int depthLine, int catchLine)
{
    return u"network pond\n"
           u"Season \"\" line %1 [Summer Winter] (,) <> = 0.6 0.4\n"
           u"Depth \"\" line %2 [<2m 2-5m >=5m] (,,) <> = 0.2 0.3 0.5\n"
           u"Catch \"\" line %3 [None Few Many] (,,) <Season Depth> = 0.1 0.2 0.7 0.2 0.3 0.5 "
           u"0.4 0.4 0.2 0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3 0.1"_s.arg(seasonLine)
               .arg(depthLine)
               .arg(catchLine);
}

// "0.10 0.11 0.12" for the first configuration of the parents, "0.20 …" for the second, so that
// a row in the wrong place shows.
const QString sixRows = u"0.10 0.11 0.12|0.20 0.21 0.22|0.30 0.31 0.32|0.40 0.41 0.42|"
                        u"0.50 0.51 0.52|0.60 0.61 0.62"_s;

} // namespace

class BifFormatTest : public QObject
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
        row("labelled rows, LF", pondRows, pondRead(5, 8, 12));
        row("table form, quotes, tabs, CR LF", withLineEnds(pondTable, "\r\n"), pondRead(3, 7, 10));
        row("table form, quotes, tabs, CR", withLineEnds(pondTable, "\r"), pondRead(3, 7, 10));
        row("not BIF", "<?xml version=\"1.0\"?>\n<BIF/>\n",
            u"rain.bif, line 1: this is not a BIF file: it does not begin with the word "
            u"\"network\""_s);
        row("cut short", rain.left(rain.indexOf("(Weak)")),
            u"rain.bif, line 14: the file ends too soon: a row, \"default\", \"table\" or \"}\" "
            u"in the probabilities of \"Rain\" should follow"_s);
        row("comment never closed", rainWith("(Weak)", "/* (Weak)"),
            u"rain.bif, line 14: the comment that opens here is never closed: the file may be "
            u"cut short"_s);
        row("misspelt keyword",
            rainWith("type discrete [ 2 ] { High", "tpye discrete [ 2 ] { High"),
            u"rain.bif, line 7: \"}\" to close the variable \"Rain\" should come here, not "
            u"\"tpye\""_s);
        row("parent not declared", rainWith("Rain | Wind", "Rain | Gust"),
            u"rain.bif, line 12: the parent \"Gust\" of \"Rain\" is not declared"_s);
        row("variable not declared", rainWith("probability ( Wind )", "probability ( Gust )"),
            u"rain.bif, line 9: the probabilities are given for \"Gust\", a variable that is not "
            u"declared"_s);
        row("table too long", rainWith("table 0.5, 0.5;", "table 0.5, 0.3, 0.2;"),
            u"rain.bif, line 10: the table of \"Wind\" should have 2 numbers, one for each of its "
            u"states in each configuration of its parents, not 3"_s);
        row("row too short", rainWith("(Weak) 0.4, 0.6;", "(Weak) 0.4;"),
            u"rain.bif, line 14: the row (Weak) of \"Rain\" should have 2 numbers, one for each "
            u"of its states, not 1"_s);
        row("row missing", rainWith("  (Weak) 0.4, 0.6;\n", ""),
            u"rain.bif, line 12: the probabilities of \"Rain\" have no row (Weak) and no "
            u"default"_s);
        row("row twice", rainWith("(Weak)", "(Strong)"),
            u"rain.bif, line 14: the row (Strong) of \"Rain\" is given twice"_s);
        row("row of an unknown state", rainWith("(Weak)", "(Calm)"),
            u"rain.bif, line 14: the row (Calm) of \"Rain\" names \"Calm\", which is not a state "
            u"of \"Wind\""_s);
        row("table and rows", rainWith("(Weak) 0.4, 0.6;", "table 0.9, 0.4, 0.1, 0.6;"),
            u"rain.bif, line 14: the probabilities of \"Rain\" are given both as a table and as "
            u"rows"_s);
        row("variable twice", rainWith("variable Rain", "variable Wind"),
            u"rain.bif, line 6: the variable \"Wind\" is declared twice, first on line 3"_s);
        row("not a number", rainWith("0.9, 0.1", "0.9, O.1"),
            u"rain.bif, line 13: \"O.1\" in the probabilities of \"Rain\" is not a number"_s);
        row("state count", rainWith("[ 2 ] { High", "[ 3 ] { High"),
            u"rain.bif, line 7: the variable \"Rain\" declares 3 states but names 2"_s);
        row("state twice", rainWith("High, Low", "High, High"),
            u"rain.bif, line 7: the variable \"Rain\" names the state \"High\" twice"_s);
        row("not discrete", rainWith("type discrete [ 2 ] { High, Low };", "type continuous;"),
            u"rain.bif, line 7: the variable \"Rain\" is not discrete: its type is "
            u"\"continuous\""_s);
        row("empty name", rainWith("variable Rain", "variable \"\""),
            u"rain.bif, line 6: a name in quotes is empty"_s);
        row("tab in a name", rainWith("variable Rain", "variable \"Ra\tin\""),
            u"rain.bif, line 6: the name \"Ra in\" holds a tab or another control character"_s);
        row("name not UTF-8", rainWith("Strong, Weak", "Str\xF6ng, Weak"),
            u"rain.bif, line 4: the name \"Str\uFFFDng\" is not UTF-8 text"_s);
        row("control character", rainWith("Strong, Weak", "Strong, Weak\x01"),
            u"rain.bif, line 4: the character 0x01 has no place in a BIF file"_s);
        // A default row fills 256^3 * 256 probabilities, or 40^4 rows of 2.
        row("tables too large", defaultFilled(3, 256, 256),
            u"rain.bif, line 15: the tables hold more than 8388608 probabilities, more than this "
            u"program reads"_s);
        row("table too large to write back", defaultFilled(4, 40, 2),
            u"rain.bif, line 18: the table of \"X\" takes more than 67108864 bytes written out, "
            u"more than any network this program reads"_s);
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QCOMPARE(readAs(NetworkFormat::Bif, file, u"rain.bif"_s), read);
    }

    // A written network reads back with the same variables and the numbers as written; the
    // names as typed stay in comments.
    void writesAnExport()
    {
        const NetworkExport pond{
            u"pond"_s,
            {exported(u"Season"_s, u"Season"_s, u"Summer Winter"_s, {u"Summer"_s, u""_s}, {},
                      u"0.600000 0.400000"_s),
             exported(u"Depth"_s, u"Depth (m) \"at noon\""_s, u"Shallow Medium Deep"_s,
                      {u"< 2"_s, u"2\\5"_s, u"\u2265 5"_s}, {}, u"0.200000 0.300000 0.500000"_s),
             exported(u"Catch"_s, u"Catch\nper day"_s, u"None Few Many"_s,
                      {u""_s, u"Few \u263A"_s, u""_s}, u"Season Depth"_s, sixRows)}};
        const QByteArray expected =
            R"bif(network pond {
}
variable Season {
  type discrete [ 2 ] { Summer, Winter };
}
variable Depth {
)bif"
            "  // \"Depth (m) \\\"at noon\\\"\": "
            "\"< 2\", \"2\\\\5\", \"≥ 5\"\n"
            R"bif(  type discrete [ 3 ] { Shallow, Medium, Deep };
}
variable Catch {
  // "Catch\nper day": "", "Few ☺", ""
  type discrete [ 3 ] { None, Few, Many };
}
probability ( Season ) {
  table 0.600000, 0.400000;
}
probability ( Depth ) {
  table 0.200000, 0.300000, 0.500000;
}
probability ( Catch | Season, Depth ) {
  (Summer, Shallow) 0.10, 0.11, 0.12;
  (Summer, Medium) 0.20, 0.21, 0.22;
  (Summer, Deep) 0.30, 0.31, 0.32;
  (Winter, Shallow) 0.40, 0.41, 0.42;
  (Winter, Medium) 0.50, 0.51, 0.52;
  (Winter, Deep) 0.60, 0.61, 0.62;
}
)bif";
        const QByteArray written = writeNetwork(NetworkFormat::Bif, pond);
        QCOMPARE(written, expected);
        QCOMPARE(readAs(NetworkFormat::Bif, written, u"pond.bif"_s),
                 u"network pond\n"
                 u"Season \"\" line 3 [Summer Winter] (,) <> = 0.6 0.4\n"
                 u"Depth \"\" line 6 [Shallow Medium Deep] (,,) <> = 0.2 0.3 0.5\n"
                 u"Catch \"\" line 10 [None Few Many] (,,) <Season Depth> = 0.1 0.11 0.12 0.2 "
                 u"0.21 0.22 0.3 0.31 0.32 0.4 0.41 0.42 0.5 0.51 0.52 0.6 0.61 0.62"_s);
    }

    void writesTablesBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QByteArray>("written");
        const QByteArray catchRows = R"bif((Summer, <2m) 0.10, 0.11, 0.12;
  (Summer, 2-5m) 0.20, 0.21, 0.22;
  (Summer, >=5m) 0.30, 0.31, 0.32;
  (Winter, <2m) 0.40, 0.41, 0.42;
  (Winter, 2-5m) 0.50, 0.51, 0.52;
  (Winter, >=5m) 0.60, 0.61, 0.62;)bif";
        const QByteArray pondCatch =
            pondRows.sliced(pondRows.indexOf("(Winter, >=5m)")).chopped(std::size("\n}\n") - 1);
        const QByteArray catchBack = QByteArray(pondRows).replace(pondCatch, catchRows);
        QTest::newRow("rows, LF") << pondRows << u"Catch"_s << sixRows << catchBack;
        QTest::newRow("rows, CR LF") << withLineEnds(pondRows, "\r\n") << u"Catch"_s << sixRows
                                     << withLineEnds(catchBack, "\r\n");
        QTest::newRow("table form, quotes, tabs, CR")
            << withLineEnds(pondTable, "\r") << u"Catch"_s << sixRows
            << withLineEnds(pondTable, "\r")
                   .replace("table 0.1 0.2 0.4 0.3 0.5 0.6  0.2 0.3 0.4 0.3 0.25 0.3  0.7 0.5 0.2 "
                            "0.4 0.25 0.1 ;",
                            QByteArray(catchRows).replace("\n  ", "\r\t"));
        QTest::newRow("without parents, beside its brace")
            << pondRows << u"Depth"_s << u"0.10 0.11 0.12"_s
            << QByteArray(pondRows).replace("default 0.2 0.3 0.5;", "table 0.10, 0.11, 0.12;");
        const QByteArray sideBySide = rainWith("{\n  (Strong) 0.9, 0.1;\n  (Weak) 0.4, 0.6;\n}",
                                               "{ (Strong) 0.9, 0.1; (Weak) 0.4, 0.6; }");
        QTest::newRow("rows side by side")
            << sideBySide << u"Rain"_s << u"0.10 0.11|0.20 0.21"_s
            << QByteArray(sideBySide)
                   .replace("(Strong) 0.9, 0.1; (Weak) 0.4, 0.6;",
                            "(Strong) 0.10, 0.11; (Weak) 0.20, 0.21;");
    }
    // Only the table's text changes, and the file reads back with the new numbers and every
    // other table as it was.
    void writesTablesBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, variable);
        QFETCH(QString, rows);
        QFETCH(QByteArray, written);
        QCOMPARE(writtenBack(NetworkFormat::Bif, file, variable, rows), written);
    }
};

VADAZAZ_TEST_MAIN(BifFormatTest)
#include "bif_format_test.moc"
