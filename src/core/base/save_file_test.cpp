#include "core/base/save_file.h"

#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/test_main.h"

#include <QDir>
#include <QTemporaryDir>

#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

class SaveFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A write that failed fails the commit too, even when the caller goes on to commit.
    void aFailedWriteFailsTheCommit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"cpt.txt"_s);
        QVERIFY(writeFile(path, "old"));
        SaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        {
            const FileSizeLimit limit(10);
            QCOMPARE(file.write(QByteArray(100, 'x')), -1);
        }
        QCOMPARE(file.errorString(), u"File too large"_s);
        QVERIFY(file.write("more") < 0);
        QVERIFY(!file.commit());
        QCOMPARE(contentsOf(path), "old");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"cpt.txt"_s});
    }

    void tellsTheSameFile_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("itself by another path") << u"sub/../a.json"_s << true;
        QTest::newRow("a symbolic link to it") << u"link"_s << true;
        QTest::newRow("a hard link to it") << u"hard"_s << true;
        QTest::newRow("a copy") << u"copy"_s << false;
        QTest::newRow("a missing file") << u"missing"_s << false;
    }
    void tellsTheSameFile()
    {
        QFETCH(QString, other);
        QFETCH(bool, same);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.json"_s);
        QVERIFY(writeFile(path, "{}") && writeFile(dir.filePath(u"copy"_s), "{}"));
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
        QVERIFY(QFile::link(path, dir.filePath(u"link"_s)));
        QVERIFY(::link(QFile::encodeName(path), QFile::encodeName(dir.filePath(u"hard"_s))) == 0);
        QCOMPARE(isSameFile(path, dir.filePath(other)), same);
    }
};

VADAZAZ_TEST_MAIN(SaveFileTest)
#include "save_file_test.moc"
