#include "output/viewer_text.h"

#include "testing/test_main.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

using namespace vadazaz;

namespace {

// A pipe that hands out some bytes and then ends, or refuses to read.
class PipeDevice final : public QIODevice
{
public:
    explicit PipeDevice(QByteArray before, bool failsAtEnd = true)
        : before_(std::move(before)), failsAtEnd_(failsAtEnd)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (before_.isEmpty())
            return failsAtEnd_ ? -1 : 0;
        const qint64 n = std::min<qint64>(maxSize, before_.size());
        std::memcpy(data, before_.constData(), std::size_t(n));
        before_.remove(0, qsizetype(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray before_;
    bool failsAtEnd_;
};

QString fromLatin1(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

class ViewerTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << fromLatin1("a\r\nb\r\n");
        QTest::newRow("no line end at the end") << QByteArray("a\r\nb") << fromLatin1("a\r\nb\r\n");
        QTest::newRow("one line without an end") << QByteArray("abc") << fromLatin1("abc\r\n");
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << fromLatin1("a\r\nb\r\n");
        QTest::newRow("lone CR at the end") << QByteArray("a\r") << fromLatin1("a\r\n");
        QTest::newRow("LF stays inside the line")
            << QByteArray("a\nb\nc") << fromLatin1("a\nb\nc\r\n");
        QTest::newRow("LF at the end stays in the last line")
            << QByteArray("a\nb\n") << fromLatin1("a\nb\n\r\n");
        QTest::newRow("one empty line") << QByteArray("\r\n") << fromLatin1("\r\n");
        QTest::newRow("one lone CR") << QByteArray("\r") << fromLatin1("\r\n");
        QTest::newRow("one lone LF") << QByteArray("\n") << fromLatin1("\n\r\n");
        QTest::newRow("empty lines between")
            << QByteArray("a\r\n\r\n\rb") << fromLatin1("a\r\n\r\n\r\nb\r\n");
        QTest::newRow("LF before CR LF") << QByteArray("a\n\r\nb") << fromLatin1("a\n\r\nb\r\n");
        QTest::newRow("CR CR LF LF") << QByteArray("\r\r\n\n") << fromLatin1("\r\n\r\n\n\r\n");
        QTest::newRow("unfinished character before the end")
            << QByteArray("a\xe4\r\n\xc3") << QStringLiteral(u"a\ufffd\r\n\ufffd\r\n");
        QTest::newRow("TABs and blanks kept")
            << QByteArray("0.90\t\t0.10 \r\n") << fromLatin1("0.90\t\t0.10 \r\n");
    }
    void lineRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QCOMPARE(viewerTextOf(file), text);
    }

    void aMissingLastLineEndReadsLikeAPresentOne()
    {
        QCOMPARE(viewerTextOf("x\r\ny"), viewerTextOf("x\r\ny\r\n"));
    }

    void piecesSplitAnywhere_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("CR LF") << QByteArray("ab\r\ncd\r\n");
        QTest::newRow("lone CR") << QByteArray("ab\rcd");
        QTest::newRow("lone LF") << QByteArray("ab\ncd\n");
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb\r");
        QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f\x65\r\n\xe2\x82\xac 5\r\n");
        QTest::newRow("broken UTF-8") << QByteArray("a\xe4\rb\xe4\xb8\r\n\xf0\x9f\x98x\xc3");
    }
    void piecesSplitAnywhere()
    {
        QFETCH(QByteArray, file);
        const QString whole = viewerTextOf(file);
        for (qsizetype cut = 0; cut <= file.size(); ++cut) {
            for (qsizetype cut2 = cut; cut2 <= file.size(); ++cut2) {
                ViewerTextBuilder builder;
                builder.append(QByteArrayView(file).first(cut));
                builder.append(QByteArrayView(file).sliced(cut, cut2 - cut));
                builder.append(QByteArrayView(file).sliced(cut2));
                QCOMPARE(builder.finish(), whole);
            }
        }
    }

    void decodesUtf8()
    {
        QCOMPARE(viewerTextOf("Gr\xc3\xbc\xc3\x9f\x65\r\n"), QStringLiteral(u"Grüße\r\n"));
    }

    void invalidBytesBecomeReplacementCharacters()
    {
        const QString text = viewerTextOf("a\xff\xfe\xc3\r\nb\x80");
        QVERIFY(text.startsWith(QLatin1Char('a')));
        QVERIFY(text.endsWith(QStringLiteral("b\uFFFD\r\n")));
        QVERIFY(text.contains(QChar::ReplacementCharacter));
        QCOMPARE(text.count(QStringLiteral("\r\n")), 2);
    }

    void readsAFileAcrossPieces()
    {
        // The CR of a line end is the last byte of the first 1 MiB piece, its LF the first of
        // the next; a lone CR and a lone LF follow further on.
        QByteArray file(1 << 20, 'x');
        file[(1 << 20) - 1] = '\r';
        file.append("\nsecond\rthird\nstill third");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("big.txt"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        const ViewerRead read = readViewerFile(path);
        QVERIFY(!read.failure);
        const QString expected = QString((1 << 20) - 1, QLatin1Char('x')) +
                                 QStringLiteral("\r\nsecond\r\nthird\nstill third\r\n");
        QCOMPARE(read.text.size(), expected.size());
        QVERIFY(read.text == expected);
    }

    void readsAnEmptyFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("empty.TXT"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.close();
        const ViewerRead read = readViewerFile(path);
        QVERIFY(!read.failure);
        QVERIFY(read.text.isEmpty());
    }

    void aFailedReadIsTooLarge()
    {
        PipeDevice device("first line\r\nsecond");
        const ViewerRead read = readViewerText(device);
        QVERIFY(read.failure);
        QVERIFY(read.opened);
        QCOMPARE(*read.failure, (Message{QStringLiteral("Vadazaz"),
                                         QStringLiteral("The specified file is too large.")}));
        QVERIFY(read.text.isEmpty());
        QCOMPARE(fileTooLargeMessage(), *read.failure);
    }

    // A file is refused before any of it is read; a pipe at its first byte past the limit.
    void refusesPastTheLimit_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("file at the limit") << false << QByteArray("0123456789") << false;
        QTest::newRow("file one byte past") << false << QByteArray("0123456789\r") << true;
        QTest::newRow("pipe at the limit") << true << QByteArray("0123456789") << false;
        QTest::newRow("pipe one byte past") << true << QByteArray("0123456789\r") << true;
    }
    void refusesPastTheLimit()
    {
        QFETCH(bool, pipe);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        PipeDevice piped(bytes, false);
        QIODevice &device = pipe ? static_cast<QIODevice &>(piped) : file;
        const ViewerRead read = readViewerText(device, 10);
        if (refused) {
            QCOMPARE(read.failure, fileTooLargeMessage());
            QVERIFY(read.text.isEmpty());
            if (!pipe)
                QCOMPARE(file.pos(), 0); // not a byte read
        } else {
            QVERIFY(!read.failure);
            QCOMPARE(read.text, QStringLiteral("0123456789\r\n"));
        }
    }

    void aMissingFileIsNamed()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("nothing.TXT"));
        const ViewerRead read = readViewerFile(path);
        QVERIFY(read.failure);
        QVERIFY(!read.opened);
        QCOMPARE(read.failure->title, QStringLiteral("View CPT file"));
        QVERIFY(read.failure->text.startsWith(QStringLiteral("The file ") + path +
                                              QStringLiteral(" could not be opened.\r")));
        QVERIFY(read.failure->text.size() >
                (QStringLiteral("The file ") + path + QStringLiteral(" could not be opened.\r"))
                    .size());
    }

    void aFolderIsNotReadAsAFile()
    {
        QTemporaryDir folder;
        const ViewerRead read = readViewerFile(folder.path());
        QVERIFY(read.failure);
        QVERIFY(read.text.isEmpty());
        QVERIFY(read.failure->text.contains(folder.path()));
    }

    void viewerTextIsProgramWide()
    {
        viewerText() = QStringLiteral("kept\r\n");
        QCOMPARE(viewerText(), QStringLiteral("kept\r\n"));
        viewerText().clear();
    }
};

VADAZAZ_TEST_MAIN(ViewerTextTest)
#include "viewer_text_test.moc"
