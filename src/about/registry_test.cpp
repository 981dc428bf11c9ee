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

    const QByteArray folder("C:\\Program Files\\Tools");
    const QString text = QString::fromLatin1(folder);
    QTest::newRow("text with its NUL") << regSz << folder + '\0' << true << text;
    QTest::newRow("text without a NUL") << regSz << folder << true << text;
    QTest::newRow("only the last NUL goes")
        << regSz << QByteArray("ab\0\0", 4) << true << QString::fromLatin1("ab\0", 3);
    QTest::newRow("number 1 keeps its zero bytes")
        << regDword << QByteArray("\x01\0\0\0", 4) << true << QStringLiteral("&h00000001");
    QTest::newRow("number most significant byte first")
        << regDword << QByteArray("\xff\0\xab\x12", 4) << true << QStringLiteral("&h12AB00FF");
    QTest::newRow("expandable text is left alone") << 2u << folder + '\0' << false << QString();
    QTest::newRow("binary is left alone") << 3u << QByteArray("\x01\x02", 2) << false << QString();
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
