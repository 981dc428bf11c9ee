#include "about/registry.h"
#include "about/sys_info.h"
#include "testing/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

const QString msinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString locationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

// Puts a file named name into folder, executable or not.
void putFile(const QString &folder, const QString &name, bool executable)
{
    QFile file(QDir(folder).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    auto permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QVERIFY(file.setPermissions(permissions));
}

// Registry values by "key|value name".
using Values = QHash<QString, QString>;

} // namespace

class SysInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unavailableMessage();
    void fromRegistry_data();
    void fromRegistry();
    void onPath_data();
    void onPath();
    void searchPathFromEnvironment();
};

void SysInfoTest::unavailableMessage()
{
    QCOMPARE(sysInfoUnavailable(),
             (Message{QStringLiteral("Vadazaz"),
                      QStringLiteral("System Information Is Unavailable At This Time")}));
}

void SysInfoTest::fromRegistry_data()
{
    // Registry values as "key|value" → text; the files that exist.
    QTest::addColumn<Values>("values");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("program");

    const QString own = QStringLiteral("C:\\Info\\msinfo32.exe");
    const QString shared = QStringLiteral("C:\\Shared");
    const QString sharedProgram = QStringLiteral("C:\\Shared\\MSINFO32.EXE");

    QTest::newRow("no entries") << Values{} << QStringList{sharedProgram} << QString();
    QTest::newRow("own entry names the program")
        << Values{{msinfoKey + u"|PATH"_s, own}} << QStringList{} << own;
    QTest::newRow("own entry wins over the shared folder")
        << Values{{msinfoKey + u"|PATH"_s, own}, {locationKey + u"|MSINFO"_s, shared}}
        << QStringList{sharedProgram} << own;
    QTest::newRow("shared folder with the program in it")
        << Values{{locationKey + u"|MSINFO"_s, shared}} << QStringList{sharedProgram}
        << sharedProgram;
    QTest::newRow("shared folder without the program")
        << Values{{locationKey + u"|MSINFO"_s, shared}} << QStringList{} << QString();
    QTest::newRow("value under another name is not read")
        << Values{{msinfoKey + u"|Path32"_s, own}} << QStringList{} << QString();
}

void SysInfoTest::fromRegistry()
{
    QFETCH(Values, values);
    QFETCH(QStringList, files);
    QFETCH(QString, program);

    const auto reader = [&values](quint32 keyRoot, const QString &keyName, const QString &subKeyRef,
                                  QString &keyVal) {
        const QString key = keyName + QLatin1Char('|') + subKeyRef;
        if (keyRoot != hkeyLocalMachine || !values.contains(key)) {
            keyVal.clear();
            return false;
        }
        keyVal = values.value(key);
        return true;
    };
    const auto exists = [&files](const QString &path) {
        return files.contains(path);
    };
    QCOMPARE(sysInfoFromRegistry(reader, exists), program);
}

void SysInfoTest::onPath_data()
{
    // Files as "folder/name" (folder a digit, "x" marking an executable), the search path as
    // folder digits or literal texts, and the expected find as "folder/name".
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("searchPath");
    QTest::addColumn<QString>("found");

    QTest::newRow("nothing there") << QStringList{} << QStringList{u"1"_s} << QString();
    QTest::newRow("empty search path")
        << QStringList{u"1/hardinfo x"_s} << QStringList{} << QString();
    QTest::newRow("one program") << QStringList{u"1/hardinfo x"_s} << QStringList{u"0"_s, u"1"_s}
                                 << u"1/hardinfo"_s;
    QTest::newRow("a file that is not executable is passed by")
        << QStringList{u"1/kinfocenter"_s, u"2/hardinfo x"_s} << QStringList{u"1"_s, u"2"_s}
        << u"2/hardinfo"_s;
    QTest::newRow("a folder of that name is passed by")
        << QStringList{u"1/kinfocenter/"_s} << QStringList{u"1"_s} << QString();
    QTest::newRow("earlier folder wins")
        << QStringList{u"1/gnome-system-monitor x"_s, u"2/gnome-system-monitor x"_s}
        << QStringList{u"2"_s, u"1"_s} << u"2/gnome-system-monitor"_s;
    QTest::newRow("information centre before system monitor")
        << QStringList{u"1/mate-system-monitor x"_s, u"2/kinfocenter x"_s}
        << QStringList{u"1"_s, u"2"_s} << u"2/kinfocenter"_s;
    QTest::newRow("other programs are not started")
        << QStringList{u"1/sh x"_s, u"1/msinfo32 x"_s} << QStringList{u"1"_s} << QString();
    QTest::newRow("relative folder is not searched")
        << QStringList{u"1/hardinfo x"_s} << QStringList{u"relative:1"_s} << QString();
}

void SysInfoTest::onPath()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, searchPath);
    QFETCH(QString, found);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir base(root.path());
    for (const QString &folder : {u"0"_s, u"1"_s, u"2"_s})
        QVERIFY(base.mkpath(folder));
    for (QString file : files) {
        const bool executable = file.endsWith(u" x"_s);
        if (executable)
            file.chop(2);
        if (file.endsWith(u'/'))
            QVERIFY(base.mkpath(file));
        else
            putFile(base.filePath(file.section(u'/', 0, 0)), file.section(u'/', 1), executable);
    }

    // A relative folder is named as it would be from the root, the current folder.
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.path()));
    QStringList folders;
    for (const QString &entry : searchPath)
        folders.append(entry.startsWith(u"relative:"_s) ? entry.mid(9) : base.filePath(entry));
    const QString result = sysInfoOnPath(folders);
    QVERIFY(QDir::setCurrent(current));

    QCOMPARE(result, found.isEmpty() ? QString() : base.filePath(found));
}

void SysInfoTest::searchPathFromEnvironment()
{
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", "/usr/local/bin::/usr/bin:/bin:");
    const QStringList folders = systemSearchPath();
    qputenv("PATH", saved);
    QCOMPARE(folders, (QStringList{u"/usr/local/bin"_s, u"/usr/bin"_s, u"/bin"_s}));
}

VADAZAZ_TEST_MAIN(SysInfoTest)
#include "sys_info_test.moc"
