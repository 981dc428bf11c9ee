#include "core/about/registry.h"
#include "core/about/sys_info.h"
#include "testing/test_main.h"

#include <QDir>
#include <QFile>

using namespace vadazaz;
using namespace Qt::StringLiterals;

// Registry values by "key|value name".
using Values = QHash<QString, QString>;

// Finding the system's information program, and the registry values it is read from.
class SysInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueText_data()
    {
        // text: "(left alone)" when no text is made of it
        testing::addColumns<quint32, QByteArray, QString>("type", "data", "text");
        const QByteArray folder("C:\\Program Files\\Tools");
        const QString text = QString::fromLatin1(folder);
        QTest::newRow("text with its NUL") << regSz << folder + '\0' << text;
        QTest::newRow("text without a NUL") << regSz << folder << text;
        QTest::newRow("only the last NUL goes") << regSz << QByteArray("ab\0\0", 4) << u"ab\0"_s;
        QTest::newRow("number 1 keeps its zero bytes")
            << regDword << QByteArray("\x01\0\0\0", 4) << u"&h00000001"_s;
        QTest::newRow("number most significant byte first")
            << regDword << QByteArray("\xff\0\xab\x12", 4) << u"&h12AB00FF"_s;
        QTest::newRow("expandable text, like any other type")
            << 2u << folder + '\0' << u"(left alone)"_s;
    }
    void valueText()
    {
        const auto [type, data, text] =
            testing::fetch<quint32, QByteArray, QString>("type", "data", "text");
        QCOMPARE(registryValueText(type, data).value_or(u"(left alone)"_s), text);
    }

    // A standard user may read the machine-wide keys but not change them: asking for more than
    // reading would fail to open them. Without a registry there is no key.
    void asksOnlyToRead()
    {
        const quint32 writing = 0x0002u /* set a value */ | 0x0004u /* create a subkey */ |
                                0x0020u /* create a link */ | 0x10000u /* delete */ |
                                0x40000u /* change the permissions */ | 0x80000u /* the owner */;
        QCOMPARE(registryReadAccess & writing, 0u);
        QCOMPARE(registryReadAccess & 0x0001u /* query values */, 0x0001u);
#ifndef Q_OS_WIN
        QString keyVal = u"left over"_s;
        QVERIFY(!GetKeyValue(hkeyLocalMachine, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s,
                             u"PATH"_s, keyVal));
        QCOMPARE(keyVal, QString());
#endif
    }

    // Of the shared folders only C:\Shared holds the program.
    void fromRegistry_data()
    {
        testing::addColumns<Values, QString>("values", "program");
        const QString own = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"_s;
        const QString shared = u"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"_s;
        QTest::newRow("no entries") << Values{} << QString();
        QTest::newRow("own entry before the shared folder")
            << Values{{own, u"C:\\Info\\msinfo32.exe"_s}, {shared, u"C:\\Shared"_s}}
            << u"C:\\Info\\msinfo32.exe"_s;
        QTest::newRow("shared folder with the program")
            << Values{{shared, u"C:\\Shared"_s}} << u"C:\\Shared\\MSINFO32.EXE"_s;
        QTest::newRow("shared folder without it") << Values{{shared, u"C:\\Other"_s}} << QString();
    }
    void fromRegistry()
    {
        const auto [values, program] = testing::fetch<Values, QString>("values", "program");
        const auto reader = [&values](quint32 root, const QString &key, const QString &name,
                                      QString &keyVal) {
            keyVal = values.value(key + u'|' + name);
            return root == hkeyLocalMachine && values.contains(key + u'|' + name);
        };
        const auto exists = [](const QString &path) {
            return path == u"C:\\Shared\\MSINFO32.EXE"_s;
        };
        QCOMPARE(sysInfoFromRegistry(reader, exists), program);
    }

    // Folders under a root holding a/hardinfo (not executable), a folder a/kinfocenter, and the
    // executables b/hardinfo and c/hardinfo; "./" marks a folder named relative to the root.
    void onPath_data()
    {
        testing::addColumns<QString, QString>("searchPath", "found");
        QTest::newRow("not executable and folder passed by") << u"a"_s << QString();
        QTest::newRow("later folder searched") << u"a b"_s << u"b/hardinfo"_s;
        QTest::newRow("earlier folder first") << u"c b"_s << u"c/hardinfo"_s;
        QTest::newRow("relative folder not searched") << u"./b"_s << QString();
    }
    void onPath()
    {
        const auto [searchPath, found] = testing::fetch<QString, QString>("searchPath", "found");
        QTemporaryDir root;
        const QDir base(root.path());
        QVERIFY(base.mkpath(u"a/kinfocenter"_s) && base.mkpath(u"b"_s) && base.mkpath(u"c"_s));
        for (const QString &name : {u"a/hardinfo"_s, u"b/hardinfo"_s, u"c/hardinfo"_s}) {
            QFile file(base.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setPermissions(
                name.startsWith(u'a') ? QFile::ReadOwner : QFile::ReadOwner | QFile::ExeOwner));
        }
        QStringList folders = searchPath.split(u' ');
        for (QString &folder : folders)
            folder = folder.startsWith(u"./"_s) ? folder : base.filePath(folder);
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root.path()));
        const QString result = sysInfoOnPath(folders);
        QVERIFY(QDir::setCurrent(current));
        QCOMPARE(result, found.isEmpty() ? QString() : base.filePath(found));
    }
};

VADAZAZ_TEST_MAIN(SysInfoTest)
#include "sys_info_test.moc"
