#include "core/about/registry.h"
#include "testing/test_main.h"

using namespace vadazaz;

class RegistryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueText_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text"); // "(left alone)" when no text is made of it

        const QByteArray folder("C:\\Program Files\\Tools");
        const QString text = QString::fromLatin1(folder);
        QTest::newRow("text with its NUL") << regSz << folder + '\0' << text;
        QTest::newRow("text without a NUL") << regSz << folder << text;
        QTest::newRow("only the last NUL goes")
            << regSz << QByteArray("ab\0\0", 4) << QString::fromLatin1("ab\0", 3);
        QTest::newRow("number 1 keeps its zero bytes")
            << regDword << QByteArray("\x01\0\0\0", 4) << QStringLiteral("&h00000001");
        QTest::newRow("number most significant byte first")
            << regDword << QByteArray("\xff\0\xab\x12", 4) << QStringLiteral("&h12AB00FF");
        QTest::newRow("expandable text, like any other type")
            << 2u << folder + '\0' << QStringLiteral("(left alone)");
    }

    void valueText()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, text);
        QCOMPARE(registryValueText(type, data).value_or(QStringLiteral("(left alone)")), text);
    }

    // A standard user may read the machine-wide keys but not change them: asking for more than
    // reading would fail to open them.
    void asksOnlyToRead()
    {
        const quint32 writing = 0x0002u /* set a value */ | 0x0004u /* create a subkey */ |
                                0x0020u /* create a link */ | 0x10000u /* delete */ |
                                0x40000u /* change the permissions */ | 0x80000u /* the owner */;
        QCOMPARE(registryReadAccess & writing, 0u);
        QCOMPARE(registryReadAccess & 0x0001u /* query values */, 0x0001u);
    }

    void noKeyWithoutRegistry()
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
};

VADAZAZ_TEST_MAIN(RegistryTest)
#include "registry_test.moc"
