#include "about/registry.h"
#include "about/sys_info.h"
#include "testing/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vadazaz;
using namespace Qt::StringLiterals;

// Registry values by "key|value name".
using Values = QHash<QString, QString>;

class SysInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fromRegistry_data();
    void fromRegistry();
    void onPath_data();
    void onPath();
};

void SysInfoTest::fromRegistry_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<bool>("sharedProgramExists");
    QTest::addColumn<QString>("program");

    const QString own = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"_s;
    const QString shared = u"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"_s;
    const QString ownProgram = u"C:\\Info\\msinfo32.exe"_s;
    QTest::newRow("no entries") << Values{} << true << QString();
    QTest::newRow("own entry") << Values{{own, ownProgram}} << false << ownProgram;
    QTest::newRow("own entry before the shared folder")
        << Values{{own, ownProgram}, {shared, u"C:\\Shared"_s}} << true << ownProgram;
    QTest::newRow("shared folder with the program")
        << Values{{shared, u"C:\\Shared"_s}} << true << u"C:\\Shared\\MSINFO32.EXE"_s;
    QTest::newRow("shared folder without it")
        << Values{{shared, u"C:\\Shared"_s}} << false << QString();
}

void SysInfoTest::fromRegistry()
{
    QFETCH(Values, values);
    QFETCH(bool, sharedProgramExists);
    QFETCH(QString, program);

    const auto reader = [&values](quint32 keyRoot, const QString &keyName, const QString &subKeyRef,
                                  QString &keyVal) {
        const QString key = keyName + QLatin1Char('|') + subKeyRef;
        keyVal = values.value(key);
        return keyRoot == hkeyLocalMachine && values.contains(key);
    };
    const auto exists = [sharedProgramExists](const QString &path) {
        return sharedProgramExists && path == u"C:\\Shared\\MSINFO32.EXE"_s;
    };
    QCOMPARE(sysInfoFromRegistry(reader, exists), program);
}

void SysInfoTest::onPath_data()
{
    // Files as "folder/name", "+" marking an executable, "/" at the end a folder; the search path
    // as folders under a temporary root, "./" marking one named relative to the current folder.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("searchPath");
    QTest::addColumn<QString>("found");

    QTest::newRow("nothing there") << QStringList{} << QStringList{u"a"_s} << QString();
    QTest::newRow("no search path") << QStringList{u"a/hardinfo+"_s} << QStringList{} << QString();
    QTest::newRow("not executable, passed by") << QStringList{u"a/hardinfo"_s, u"b/hardinfo+"_s}
                                               << QStringList{u"a"_s, u"b"_s} << u"b/hardinfo"_s;
    QTest::newRow("a folder of that name, passed by")
        << QStringList{u"a/kinfocenter/"_s} << QStringList{u"a"_s} << QString();
    QTest::newRow("earlier folder first") << QStringList{u"a/kinfocenter+"_s, u"b/kinfocenter+"_s}
                                          << QStringList{u"b"_s, u"a"_s} << u"b/kinfocenter"_s;
    QTest::newRow("relative folder not searched")
        << QStringList{u"a/hardinfo+"_s} << QStringList{u"./a"_s} << QString();
}

void SysInfoTest::onPath()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, searchPath);
    QFETCH(QString, found);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir base(root.path());
    QVERIFY(base.mkpath(u"a"_s) && base.mkpath(u"b"_s));
    for (QString name : files) {
        if (name.endsWith(u'/')) {
            QVERIFY(base.mkpath(name));
            continue;
        }
        const bool executable = name.endsWith(u'+');
        QFile file(base.filePath(executable ? name.chopped(1) : name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(executable ? QFile::ReadOwner | QFile::ExeOwner
                                               : QFile::ReadOwner));
    }
    QStringList folders;
    for (const QString &folder : searchPath)
        folders.append(folder.startsWith(u"./"_s) ? folder.mid(2) : base.filePath(folder));

    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.path()));
    const QString result = sysInfoOnPath(folders);
    QVERIFY(QDir::setCurrent(current));
    QCOMPARE(result, found.isEmpty() ? QString() : base.filePath(found));
}

VADAZAZ_TEST_MAIN(SysInfoTest)
#include "sys_info_test.moc"
