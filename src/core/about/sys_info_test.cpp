#include "core/about/registry.h"
#include "core/about/sys_info.h"
#include "testing/test_main.h"

#include <QDir>
#include <QFile>

using namespace vadazaz;
using namespace Qt::StringLiterals;

// Registry values by "key|value name".
using Values = QHash<QString, QString>;

class SysInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Of the shared folders only C:\Shared holds the program.
    void fromRegistry_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<QString>("program");
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
        QFETCH(Values, values);
        QFETCH(QString, program);
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

    void onPath_data()
    {
        // Folders under a root holding a/hardinfo (not executable), a folder a/kinfocenter, and
        // the executables b/hardinfo and c/hardinfo; "./" marks a folder named relative to the
        // root.
        QTest::addColumn<QString>("searchPath");
        QTest::addColumn<QString>("found");
        QTest::newRow("not executable and folder passed by") << u"a"_s << QString();
        QTest::newRow("later folder searched") << u"a b"_s << u"b/hardinfo"_s;
        QTest::newRow("earlier folder first") << u"c b"_s << u"c/hardinfo"_s;
        QTest::newRow("relative folder not searched") << u"./b"_s << QString();
    }

    void onPath()
    {
        QFETCH(QString, searchPath);
        QFETCH(QString, found);

        QTemporaryDir root;
        QVERIFY(root.isValid());
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
