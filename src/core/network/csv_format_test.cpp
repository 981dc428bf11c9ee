#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vadazaz::NetworkExport)

class CsvFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A heading, then a line per configuration of the parents, the first parent slowest.
    void writesTheChildsTable_data()
    {
        QTest::addColumn<NetworkExport>("network");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("names with commas and quotes, three states, parents of two and three")
            << NetworkExport{u"Weather"_s,
                             {exported(u"Wind"_s, u"Wind, gusts"_s, u"Strong Weak"_s,
                                       {u"Strong"_s, u"Weak \"ish\""_s}, {}, {}),
                              exported(u"Temp"_s, u"Temp"_s, u"Hot Mild Cold"_s,
                                       {u"Hot"_s, u"Mild"_s, u"Cold"_s}, {}, {}),
                              exported(u"Rain"_s, u"Rain"_s, u"High Some None"_s,
                                       {u"High"_s, u"Some, little"_s, u"None"_s}, u"Wind Temp"_s,
                                       u"0.01 0.02 0.97|0.04 0.05 0.91|0.07 0.08 0.85|"
                                       u"0.10 0.11 0.79|0.13 0.14 0.73|0.16 0.17 0.67"_s)}}
            << QByteArray("\xEF\xBB\xBF\"Wind, gusts\",Temp,Rain=High,\"Rain=Some, little\","
                          "Rain=None\r\n"
                          "Strong,Hot,0.01,0.02,0.97\r\n"
                          "Strong,Mild,0.04,0.05,0.91\r\n"
                          "Strong,Cold,0.07,0.08,0.85\r\n"
                          "\"Weak \"\"ish\"\"\",Hot,0.10,0.11,0.79\r\n"
                          "\"Weak \"\"ish\"\"\",Mild,0.13,0.14,0.73\r\n"
                          "\"Weak \"\"ish\"\"\",Cold,0.16,0.17,0.67\r\n");
        QTest::newRow("no parents; a name left empty, a line break, beyond ASCII")
            << NetworkExport{u"Coin"_s,
                             {exported(u"Coin"_s, QString(), u"Heads Tails"_s,
                                       {u"Kopf \u00FC"_s, u"Zahl\nSeite"_s}, {}, u"0.5 0.5"_s)}}
            << QByteArray("\xEF\xBB\xBF"
                          "Coin=Kopf \xC3\xBC,\"Coin=Zahl\nSeite\"\r\n0.5,0.5\r\n");
    }
    void writesTheChildsTable()
    {
        QFETCH(NetworkExport, network);
        QFETCH(QByteArray, file);
        QCOMPARE(writeNetwork(NetworkFormat::Csv, network), file);
    }
};

VADAZAZ_TEST_MAIN(CsvFormatTest)
#include "csv_format_test.moc"
