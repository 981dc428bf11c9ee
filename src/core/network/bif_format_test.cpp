#include "core/network/bif_format.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

QByteArray withLineEnds(QByteArray text, const char *lineEnd)
{
    return text.replace("\n", lineEnd);
}

// The same network three ways. Rows come in any order, one of them by default; Depth's states
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
// parents, then the second state, and so on.
const QByteArray pondTable = "network pond {\n"
                             "}\n"
                             "variable Season {\n"
                             "\ttype discrete[2] { Summer Winter };\n"
                             "}\n"
                             "variable Depth {\n"
                             "\ttype discrete[3] { <2m 2-5m >=5m };\n"
                             "}\n"
                             "variable Catch {\n"
                             "\ttype discrete[3] { None Few Many };\n"
                             "}\n"
                             "probability ( Catch | Season , Depth ) {\n"
                             "\ttable 0.1 0.2 0.4 0.3 0.5 0.6  0.2 0.3 0.4 0.3 0.25 0.3  "
                             "0.7 0.5 0.2 0.4 0.25 0.1 ;\n"
                             "}\n"
                             "probability ( Season ) {\n"
                             "\ttable 0.6 0.4 ;\n"
                             "}\n"
                             "probability ( Depth ) {\n"
                             "\ttable 0.2 0.3 0.5 ;\n"
                             "}\n";

const QByteArray pondQuoted = R"bif(network "pond" { //3 variables
}
variable "Season" {
  type discrete[2] { "Summer" "Winter" };
  property "position = (1, 2)" ;
}
variable "Depth" {
  type discrete[3] { "<2m" "2-5m" ">=5m" };
}
variable "Catch" {
  type discrete[3] { "None" "Few" "Many" };
}
probability ( "Season" ) {
  table 0.6 0.4 ;
}
probability ( "Depth" ) {
  table 0.2 0.3 0.5 ;
}
probability ( "Catch" "Season" "Depth" ) {
  table 0.1 0.2 0.4 0.3 0.5 0.6 0.2 0.3 0.4 0.3 0.25 0.3 0.7 0.5 0.2 0.4 0.25 0.1 ;
}
)bif";

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

QByteArray rainWith(const char *from, const char *to)
{
    return QByteArray(rain).replace(from, to);
}

// "Id line N: states | parents : table", a line for each variable.
QStringList described(const Network &network)
{
    QStringList lines;
    for (const NetworkVariable &v : network.variables) {
        QStringList numbers;
        for (const double p : v.table)
            numbers.append(QString::number(p));
        lines.append(u"%1 line %2: %3 | %4 : %5"_s.arg(v.id).arg(v.line).arg(
            v.states.join(u' '), v.parents.join(u' '), numbers.join(u' ')));
    }
    return lines;
}

QStringList pondDescribed(int seasonLine, int depthLine, int catchLine)
{
    return {u"Season line %1: Summer Winter |  : 0.6 0.4"_s.arg(seasonLine),
            u"Depth line %1: <2m 2-5m >=5m |  : 0.2 0.3 0.5"_s.arg(depthLine),
            u"Catch line %1: None Few Many | Season Depth : 0.1 0.2 0.7 0.2 0.3 0.5 0.4 0.4 0.2 "
            u"0.3 0.3 0.4 0.5 0.25 0.25 0.6 0.3 0.1"_s.arg(catchLine)};
}

// Rows of a table to write: "0.10, 0.11, …" for the first configuration of the parents, "0.20,
// 0.21, …" for the second, so that a row in the wrong place shows.
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

} // namespace

class BifFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("variables");
        QTest::newRow("labelled rows, LF") << pondRows << pondDescribed(5, 8, 12);
        QTest::newRow("table form, tabs, CR LF")
            << withLineEnds(pondTable, "\r\n") << pondDescribed(3, 6, 9);
        QTest::newRow("names in quotes, CR")
            << withLineEnds(pondQuoted, "\r") << pondDescribed(3, 7, 10);
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, variables);
        const Result<Network> read = readBif(file, u"pond.bif"_s);
        QVERIFY2(read, qPrintable(read ? QString() : read.failure().text));
        QCOMPARE(read->name, u"pond"_s);
        QCOMPARE(described(*read), variables);
        for (const NetworkVariable &v : read->variables) {
            QCOMPARE(v.label, QString());
            QCOMPARE(v.stateLabels, QStringList(v.states.size(), QString()));
        }
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("not BIF")
            << QByteArray("<?xml version=\"1.0\"?>\n<BIF/>\n")
            << u"rain.bif, line 1: this is not a BIF file: it does not begin with the word "
               u"\"network\""_s;
        QTest::newRow("cut short") << rain.left(rain.indexOf("(Weak)"))
                                   << u"rain.bif, line 14: the file ends too soon: a row, "
                                      u"\"default\", \"table\" or \"}\" in the probabilities of "
                                      u"\"Rain\" should follow"_s;
        QTest::newRow("comment never closed")
            << rainWith("(Weak)", "/* (Weak)")
            << u"rain.bif, line 14: the comment that opens here is never closed: the file may be "
               u"cut short"_s;
        QTest::newRow("misspelt keyword")
            << rainWith("type discrete [ 2 ] { High", "tpye discrete [ 2 ] { High")
            << u"rain.bif, line 7: \"}\" to close the variable \"Rain\" should come here, not "
               u"\"tpye\""_s;
        QTest::newRow("parent not declared")
            << rainWith("Rain | Wind", "Rain | Gust")
            << u"rain.bif, line 12: the parent \"Gust\" of \"Rain\" is not declared"_s;
        QTest::newRow("variable not declared")
            << rainWith("probability ( Wind )", "probability ( Gust )")
            << u"rain.bif, line 9: the probabilities are given for \"Gust\", a variable that is "
               u"not declared"_s;
        QTest::newRow("table too long")
            << rainWith("table 0.5, 0.5;", "table 0.5, 0.3, 0.2;")
            << u"rain.bif, line 10: the table of \"Wind\" should have 2 numbers, one for each of "
               u"its states in each configuration of its parents, not 3"_s;
        QTest::newRow("row too short")
            << rainWith("(Weak) 0.4, 0.6;", "(Weak) 0.4;")
            << u"rain.bif, line 14: the row (Weak) of \"Rain\" should have 2 numbers, one for "
               u"each of its states, not 1"_s;
        QTest::newRow("row missing") << rainWith("  (Weak) 0.4, 0.6;\n", "")
                                     << u"rain.bif, line 12: the probabilities of \"Rain\" have no "
                                        u"row (Weak) and no default"_s;
        QTest::newRow("row twice")
            << rainWith("(Weak)", "(Strong)")
            << u"rain.bif, line 14: the row (Strong) of \"Rain\" is given twice"_s;
        QTest::newRow("row of an unknown state")
            << rainWith("(Weak)", "(Calm)")
            << u"rain.bif, line 14: the row (Calm) of \"Rain\" names \"Calm\", which is not a "
               u"state of \"Wind\""_s;
        QTest::newRow("table and rows")
            << rainWith("(Weak) 0.4, 0.6;", "table 0.9, 0.4, 0.1, 0.6;")
            << u"rain.bif, line 14: the probabilities of \"Rain\" are given both as a table and as "
               u"rows"_s;
        QTest::newRow("variable twice")
            << rainWith("variable Rain", "variable Wind")
            << u"rain.bif, line 6: the variable \"Wind\" is declared twice, first on line 3"_s;
        QTest::newRow("not a number")
            << rainWith("0.9, 0.1", "0.9, O.1")
            << u"rain.bif, line 13: \"O.1\" in the probabilities of \"Rain\" is not a number"_s;
        QTest::newRow("state count")
            << rainWith("[ 2 ] { High", "[ 3 ] { High")
            << u"rain.bif, line 7: the variable \"Rain\" declares 3 states but names 2"_s;
        QTest::newRow("state twice")
            << rainWith("High, Low", "High, High")
            << u"rain.bif, line 7: the variable \"Rain\" names the state \"High\" twice"_s;
        QTest::newRow("not discrete")
            << rainWith("type discrete [ 2 ] { High, Low };", "type continuous;")
            << u"rain.bif, line 7: the variable \"Rain\" is not discrete: its type is "
               u"\"continuous\""_s;
        QTest::newRow("empty name") << rainWith("variable Rain", "variable \"\"")
                                    << u"rain.bif, line 6: a name in quotes is empty"_s;
        QTest::newRow("tab in a name")
            << rainWith("variable Rain", "variable \"Ra\tin\"")
            << u"rain.bif, line 6: the name \"Ra in\" holds a tab or another control character"_s;
        QTest::newRow("name not UTF-8")
            << rainWith("Strong, Weak", "Str\xF6ng, Weak")
            << u"rain.bif, line 4: the name \"Str\uFFFDng\" is not UTF-8 text"_s;
        QTest::newRow("control character")
            << rainWith("Strong, Weak", "Strong, Weak\x01")
            << u"rain.bif, line 4: the character 0x01 has no place in a BIF file"_s;
        // A default row fills 256^3 * 256 probabilities, or 40^4 rows of 2.
        QTest::newRow("tables too large")
            << defaultFilled(3, 256, 256)
            << u"rain.bif, line 15: the tables hold more than 8388608 probabilities, more than "
               u"this program reads"_s;
        QTest::newRow("table too large to write back")
            << defaultFilled(4, 40, 2)
            << u"rain.bif, line 18: the table of \"X\" takes more than 67108864 bytes written "
               u"out, more than any network this program reads"_s;
    }
    void refuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const Result<Network> read = readBif(file, u"rain.bif"_s);
        QVERIFY(!read);
        QCOMPARE(read.failure().text, message);
    }

    // A written network reads back with the same variables and the numbers as written; the
    // names as typed stay in comments.
    void writesAnExport()
    {
        const NetworkExport pond{u"pond"_s,
                                 {{u"Season"_s,
                                   u"Season"_s,
                                   {u"Summer"_s, u"Winter"_s},
                                   {u"Summer"_s, u""_s},
                                   {},
                                   {{u"0.600000"_s, u"0.400000"_s}}},
                                  {u"Depth"_s,
                                   u"Depth (m) \"at noon\""_s,
                                   {u"Shallow"_s, u"Medium"_s, u"Deep"_s},
                                   {u"< 2"_s, u"2\\5"_s, u"\u2265 5"_s},
                                   {},
                                   {{u"0.200000"_s, u"0.300000"_s, u"0.500000"_s}}},
                                  {u"Catch"_s,
                                   u"Catch\nper day"_s,
                                   {u"None"_s, u"Few"_s, u"Many"_s},
                                   {u""_s, u"Few \u263A"_s, u""_s},
                                   {u"Season"_s, u"Depth"_s},
                                   numberedRows(6, 3)}}};
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
        const QByteArray written = writeBif(pond);
        QCOMPARE(written, expected);
        const Result<Network> read = readBif(written, u"pond.bif"_s);
        QVERIFY(read);
        QCOMPARE(described(*read),
                 QStringList({u"Season line 3: Summer Winter |  : 0.6 0.4"_s,
                              u"Depth line 6: Shallow Medium Deep |  : 0.2 0.3 0.5"_s,
                              u"Catch line 10: None Few Many | Season Depth : 0.1 0.11 0.12 0.2 "
                              u"0.21 0.22 0.3 0.31 0.32 0.4 0.41 0.42 0.5 0.51 0.52 0.6 0.61 "
                              u"0.62"_s}));
    }

    void writesTablesBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QByteArray>("written");
        const QByteArray catchRows = R"bif((Summer, <2m) 0.10, 0.11, 0.12;
  (Summer, 2-5m) 0.20, 0.21, 0.22;
  (Summer, >=5m) 0.30, 0.31, 0.32;
  (Winter, <2m) 0.40, 0.41, 0.42;
  (Winter, 2-5m) 0.50, 0.51, 0.52;
  (Winter, >=5m) 0.60, 0.61, 0.62;)bif";
        const QByteArray pondCatch =
            pondRows.sliced(pondRows.indexOf("(Winter, >=5m)"),
                            pondRows.lastIndexOf(';') + 1 - pondRows.indexOf("(Winter, >=5m)"));
        QTest::newRow("rows, LF") << pondRows << u"Catch"_s << pondCatch << catchRows;
        QTest::newRow("rows, CR LF")
            << withLineEnds(pondRows, "\r\n") << u"Catch"_s << withLineEnds(pondCatch, "\r\n")
            << withLineEnds(catchRows, "\r\n");
        QTest::newRow("table form, tabs, CR")
            << withLineEnds(pondTable, "\r") << u"Catch"_s
            << QByteArray("table 0.1 0.2 0.4 0.3 0.5 0.6  0.2 0.3 0.4 0.3 0.25 0.3  0.7 0.5 0.2 "
                          "0.4 0.25 0.1 ;")
            << QByteArray(catchRows).replace("\n  ", "\r\t");
        QTest::newRow("without parents, beside its brace")
            << pondRows << u"Depth"_s << QByteArray("default 0.2 0.3 0.5;")
            << QByteArray("table 0.10, 0.11, 0.12;");
        QTest::newRow("rows side by side")
            << rainWith("{\n  (Strong) 0.9, 0.1;\n  (Weak) 0.4, 0.6;\n}",
                        "{ (Strong) 0.9, 0.1; (Weak) 0.4, 0.6; }")
            << u"Rain"_s << QByteArray("(Strong) 0.9, 0.1; (Weak) 0.4, 0.6;")
            << QByteArray("(Strong) 0.10, 0.11; (Weak) 0.20, 0.21;");
    }
    // Only the table's text changes, and the file reads back with the new numbers and every
    // other table as it was.
    void writesTablesBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, variable);
        QFETCH(QByteArray, table);
        QFETCH(QByteArray, written);
        const Result<Network> read = readBif(file, u"pond.bif"_s);
        QVERIFY(read);
        const NetworkVariable &v = *read->variable(variable);
        QCOMPARE(file.sliced(v.tableBegin, v.tableEnd - v.tableBegin), table);
        const QList<QStringList> rows =
            numberedRows(int(v.table.size() / v.states.size()), int(v.states.size()));
        QCOMPARE(bifTableText(file, *read, v, rows), written);

        const QByteArray changed = QByteArray(file).replace(v.tableBegin, table.size(), written);
        const Result<Network> again = readBif(changed, u"pond.bif"_s);
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

VADAZAZ_TEST_MAIN(BifFormatTest)
#include "bif_format_test.moc"
