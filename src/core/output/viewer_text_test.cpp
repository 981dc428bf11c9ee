#include "core/output/viewer_text.h"

#include "testing/test_main.h"

#include <QBuffer>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// A pipe that hands out its bytes and then ends, or refuses to read.
class PipeDevice final : public QIODevice
{
public:
    PipeDevice(QByteArray bytes, bool failsAtEnd) : bytes_(std::move(bytes)), fails_(failsAtEnd)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (bytes_.isEmpty())
            return fails_ ? -1 : 0;
        const qint64 n = std::min<qint64>(maxSize, bytes_.size());
        std::memcpy(data, bytes_.constData(), std::size_t(n));
        bytes_.remove(0, qsizetype(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray bytes_;
    bool fails_;
};

} // namespace

class ViewerTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every row read whole and cut into three pieces at any two places.
    void lineRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << ""_ba << QString();
        QTest::newRow("CR LF, TABs and blanks kept")
            << "0.90\t\t0.10 \r\nb\r\n"_ba << u"0.90\t\t0.10 \r\nb\r\n"_s;
        QTest::newRow("no line end at the end") << "a\r\nb"_ba << u"a\r\nb\r\n"_s;
        QTest::newRow("lone CRs end lines") << "a\rb\r"_ba << u"a\r\nb\r\n"_s;
        QTest::newRow("LF stays inside the line") << "a\nb\n"_ba << u"a\nb\n\r\n"_s;
        QTest::newRow("CR CR LF LF") << "\r\r\n\n"_ba << u"\r\n\r\n\n\r\n"_s;
        QTest::newRow("UTF-8") << "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac\r\n"_ba << u"Grüße €\r\n"_s;
        QTest::newRow("NUL bytes kept")
            << QByteArray("a\0b\r\n", 5) << QString::fromUtf8("a\0b\r\n", 5);
        QTest::newRow("invalid bytes")
            << "a\xff\xfe\xc3\r\nb\x80"_ba << u"a\ufffd\ufffd\ufffd\r\nb\ufffd\r\n"_s;
        QTest::newRow("unfinished characters before CRs and at the end")
            << "a\xe4\rb\xe4\xb8\r\n\xf0\x9f\x98x\xc3"_ba
            << u"a\ufffd\r\nb\ufffd\ufffd\r\n\ufffd\ufffd\ufffdx\ufffd\r\n"_s;
    }
    void lineRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QCOMPARE(viewerTextOf(file), text);
        const QByteArrayView bytes(file);
        for (qsizetype cut = 0; cut <= file.size(); ++cut) {
            for (qsizetype cut2 = cut; cut2 <= file.size(); ++cut2) {
                ViewerTextBuilder builder;
                builder.append(bytes.first(cut));
                builder.append(bytes.sliced(cut, cut2 - cut));
                builder.append(bytes.sliced(cut2));
                QCOMPARE(builder.finish(), text);
            }
        }
    }

    // The CR of a line end is the last byte of the first 1 MiB read, its LF the first of the next.
    void readsAFileAcrossPieces()
    {
        QByteArray file(1 << 20, 'x');
        file.back() = '\r';
        file.append("\nsecond\rthird\nstill third");
        QBuffer device(&file);
        QVERIFY(device.open(QIODevice::ReadOnly));
        const ViewerRead read = readViewerText(device);
        QVERIFY(!read.failure);
        QVERIFY(read.text ==
                QString((1 << 20) - 1, u'x') + u"\r\nsecond\r\nthird\nstill third\r\n"_s);
    }

    // A file is refused before any of it is read; a pipe at its first byte past the limit.
    void refusesPastTheLimit_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown"); // the text, or the message's title and text
        const QString tooLarge = u"Vadazaz: The specified file is too large."_s;
        QTest::newRow("file at the limit") << u"file"_s << "0123456789"_ba << u"0123456789\r\n"_s;
        QTest::newRow("file one byte past") << u"file"_s << "0123456789\r"_ba << tooLarge;
        QTest::newRow("pipe at the limit") << u"pipe"_s << "0123456789"_ba << u"0123456789\r\n"_s;
        QTest::newRow("pipe one byte past") << u"pipe"_s << "0123456789\r"_ba << tooLarge;
        QTest::newRow("pipe that fails to read") << u"failing pipe"_s << "0123"_ba << tooLarge;
    }
    void refusesPastTheLimit()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        PipeDevice pipe(bytes, kind == u"failing pipe"_s);
        const ViewerRead read =
            readViewerText(kind == u"file"_s ? static_cast<QIODevice &>(file) : pipe, 10);
        QCOMPARE(read.failure ? read.failure->title + u": "_s + read.failure->text : read.text,
                 shown);
        QVERIFY(read.opened);
        if (read.failure)
            QCOMPARE(file.pos(), 0); // a file too large: not a byte read
    }
};

VADAZAZ_TEST_MAIN(ViewerTextTest)
#include "viewer_text_test.moc"
