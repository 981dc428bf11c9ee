#include "about/registry.h"
#include "testing/test_main.h"

#include <QTest>

using namespace vadazaz;

class RegistryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueText_data();
    void valueText();
    void noKeyWithoutRegistry();
};

void RegistryTest::valueText_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("converted");
    QTest::addColumn<QString>("text");

    const auto bytes = [](std::initializer_list<int> values) {
        QByteArray data;
        for (const int value : values)
            data.append(static_cast<char>(value));
        return data;
    };
    const QByteArray folder("C:\\Program Files\\Tools");

    QTest::newRow("text with its NUL")
        << regSz << folder + '\0' << true << QString::fromLatin1(folder);
    QTest::newRow("text without a NUL") << regSz << folder << true << QString::fromLatin1(folder);
    QTest::newRow("only the last NUL goes")
        << regSz << QByteArray("ab\0\0", 4) << true << QString::fromLatin1("ab\0", 3);
    QTest::newRow("a lone NUL is empty text") << regSz << QByteArray(1, '\0') << true << QString();
    QTest::newRow("empty text") << regSz << QByteArray() << true << QString();
    QTest::newRow("number 1 keeps its zero bytes")
        << regDword << bytes({0x01, 0x00, 0x00, 0x00}) << true << QStringLiteral("&h00000001");
    QTest::newRow("number most significant byte first")
        << regDword << bytes({0xff, 0x00, 0xab, 0x12}) << true << QStringLiteral("&h12AB00FF");
    QTest::newRow("number zero") << regDword << bytes({0x00, 0x00, 0x00, 0x00}) << true
                                 << QStringLiteral("&h00000000");
    QTest::newRow("number of one byte")
        << regDword << bytes({0x0a}) << true << QStringLiteral("&h0A");
    QTest::newRow("expandable text is left alone") << 2u << folder + '\0' << false << QString();
    QTest::newRow("binary is left alone") << 3u << bytes({0x01, 0x02}) << false << QString();
    QTest::newRow("list of texts is left alone")
        << 7u << QByteArray("a\0b\0\0", 5) << false << QString();
}

void RegistryTest::valueText()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, converted);
    QFETCH(QString, text);

    const auto result = registryValueText(type, data);
    QCOMPARE(result.has_value(), converted);
    if (converted)
        QCOMPARE(*result, text);
}

void RegistryTest::noKeyWithoutRegistry()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has a registry");
#else
    QString keyVal = QStringLiteral("left over");
    QVERIFY(!GetKeyValue(hkeyLocalMachine,
                         QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                         QStringLiteral("PATH"), keyVal));
    QCOMPARE(keyVal, QString());
#endif
}

VADAZAZ_TEST_MAIN(RegistryTest)
#include "registry_test.moc"
