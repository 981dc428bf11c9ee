#include "core/output/viewer_text.h"

#include "testing/test_main.h"

#include <QBuffer>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// A pipe that hands out its bytes in the given pieces and then ends, or refuses to read.
struct PipeDevice final : QIODevice
{
    PipeDevice(QList<QByteArray> pieces, bool failsAtEnd)
        : pieces_(std::move(pieces)), fails_(failsAtEnd)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 readData(char *data, qint64 maxSize) override
    {
        while (!pieces_.isEmpty() && pieces_.front().isEmpty())
            pieces_.removeFirst();
        if (pieces_.isEmpty())
            return fails_ ? -1 : 0;
        QByteArray &piece = pieces_.front();
        const qint64 n = std::min<qint64>(maxSize, piece.size());
        std::memcpy(data, piece.constData(), std::size_t(n));
        piece.remove(0, qsizetype(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    QList<QByteArray> pieces_;
    bool fails_;
};

QStringList rowsOf(const ViewerRead &read)
{
    if (!read)
        return {read.failure().title + u": "_s + read.failure().text};
    QStringList rows;
    for (qsizetype n = 0; n < read->rowCount(); ++n)
        rows << textOf(read->row(n));
    return rows;
}

} // namespace

class ViewerTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every file read whole, through a pipe in three pieces cut at any two places, and with up
    // to 64 more bytes before it, so that each line end falls at every place of the blocks of
    // 64 bytes that are looked at in one go.
    void rowRules_data()
    {
        testing::addColumns<QByteArray, QStringList>("file", "rows");
        QTest::newRow("empty file") << ""_ba << QStringList();
        QTest::newRow("CR LF, TABs and blanks kept")
            << "0.90\t\t0.10 \r\nb\r\n"_ba << QStringList{u"0.90\t\t0.10 "_s, u"b"_s};
        QTest::newRow("no line end at the end") << "a\r\nb"_ba << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lone CRs end lines") << "a\rb\r"_ba << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("a lone LF breaks its line on the screen")
            << "a\nb\n"_ba << QStringList{u"a"_s, u"b"_s, u""_s};
        QTest::newRow("CR CR LF LF") << "\r\r\n\n"_ba << QStringList{u""_s, u""_s, u""_s, u""_s};
        QTest::newRow("UTF-8") << "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x98\x80\r\n"_ba
                               << QStringList{u"Grüße € 😀"_s};
        QTest::newRow("the lowest two-byte lead")
            << "\xc2\xa9\xc2\xa0"_ba << QStringList{u"©\u00a0"_s};
        QTest::newRow("NUL bytes kept")
            << QByteArray("a\0b\r\n", 5) << QStringList{QString::fromUtf8("a\0b", 3)};
        QTest::newRow("invalid bytes")
            << "a\xff\xfe\xc3\r\nb\x80"_ba << QStringList{u"a\ufffd\ufffd\ufffd"_s, u"b\ufffd"_s};
        QTest::newRow("unfinished characters before CRs and at the end")
            << "a\xe4\rb\xe4\xb8\r\n\xf0\x9f\x98x\xc3"_ba
            << QStringList{u"a\ufffd"_s, u"b\ufffd\ufffd"_s, u"\ufffd\ufffd\ufffdx\ufffd"_s};
        QTest::newRow("surrogates, overlong forms, past U+10FFFF")
            << "\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80"_ba << QStringList{QString(9, u'\ufffd')};
    }
    void rowRules()
    {
        const auto [file, rows] = testing::fetch<QByteArray, QStringList>("file", "rows");
        for (int before = 0; before <= 64; ++before) {
            QStringList expected = rows;
            if (before > 0 && expected.isEmpty())
                expected << QString();
            if (before > 0)
                expected.front().prepend(QString(before, u'x'));
            QByteArray bytes = QByteArray(before, 'x') + file;
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            QCOMPARE(rowsOf(readViewerDevice(buffer)), expected);
        }
        for (qsizetype cut = 0; cut <= file.size(); ++cut)
            for (qsizetype cut2 = cut; cut2 <= file.size(); ++cut2) {
                PipeDevice pipe({file.first(cut), file.sliced(cut, cut2 - cut), file.sliced(cut2)},
                                false);
                QCOMPARE(rowsOf(readViewerDevice(pipe)), rows);
            }
    }

    // Files of nothing but line ends, one long line, rows of every length around the index's
    // steps: every row where a plain split puts it, and an index of an eighth of the file at most.
    void pathologicalFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("nothing but CRs") << QByteArray(1 << 20, '\r');
        QTest::newRow("nothing but LFs") << QByteArray(1 << 20, '\n');
        QTest::newRow("nothing but CR LFs") << "\r\n"_ba.repeated(1 << 19);
        QTest::newRow("one line of 20 MB") << QByteArray(20 << 20, 'x');
        QByteArray mixed;
        const QByteArray ends[] = {"\r\n"_ba, "\r"_ba, "\n"_ba};
        for (int length = 0; length < 9000; length += 7)
            mixed += QByteArray(length, char('a' + length % 26)) + ends[length % 3];
        QTest::newRow("rows of every length") << mixed;
    }
    void pathologicalFiles()
    {
        QFETCH(QByteArray, file);
        QByteArray split = file;
        split.replace("\r\n", "\r");
        const bool endsLine = split.endsWith('\r') || split.isEmpty();
        QList<QByteArray> rows = split.replace('\n', '\r').split('\r');
        if (endsLine)
            rows.removeLast();
        const ViewerFile viewed(file);
        QCOMPARE(viewed.rowCount(), rows.size());
        for (qsizetype n = 0; n < rows.size(); ++n)
            if (viewed.row(n) != rows.at(n))
                QFAIL(qPrintable(u"row %1 differs"_s.arg(n)));
        QVERIFY(viewed.indexBytes() <= file.size() / 8 + 8);
    }

    // Cutting a row where a character starts changes none of its text; every byte that is not
    // part of a valid character is one of its own.
    void charactersAreNeverSplit()
    {
        const QByteArray row = "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xe4\xb8\xff\x80\xf0\x9f\t"_ba;
        for (qsizetype at = 0; at < row.size(); ++at) {
            const qsizetype start = charStart(row, at);
            QVERIFY(start <= at && start + charAt(row, start).length > at);
            QCOMPARE(textOf(row.first(start)) + textOf(row.sliced(start)), textOf(row));
        }
        QCOMPARE(textOf(row), u"aé中😀\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd\t"_s);
    }

    // Columns: TABs to the next eighth column, wide characters two, combining marks none. A row
    // of many times 4096 bytes finds every place through its marks as a walk from its start does.
    void columns_data()
    {
        testing::addColumns<QByteArray, qint64>("row", "width");
        QTest::newRow("TABs") << "a\tbc\t\tdefghij\t"_ba << 32LL;
        QTest::newRow("wide and combining") << "\xe4\xb8\xad\x65\xcc\x81x"_ba << 4LL;
        QTest::newRow("invalid bytes, a column each") << "\xff\xe4\xb8x"_ba << 4LL;
    }
    void columns()
    {
        const auto [row, width] = testing::fetch<QByteArray, qint64>("row", "width");
        QCOMPARE(RowColumns(row).width(), width);
        const QByteArray longRow = row.repeated(3 * RowColumns::stride / row.size() + 1);
        const RowColumns columns(longRow);
        QCOMPARE(columns.width(), width * (3 * RowColumns::stride / row.size() + 1));
        RowPlace walked;
        while (walked.byte < longRow.size()) {
            QCOMPARE(columns.columnOf(longRow, walked.byte), walked.column);
            const RowChar c = charAt(longRow, walked.byte);
            const qint64 after = columnAfter(c.code, walked.column);
            for (qint64 column = walked.column; column < after; ++column)
                QCOMPARE(columns.placeAt(longRow, column).byte, walked.byte);
            walked = {walked.byte + c.length, after};
        }
        QCOMPARE(columns.placeAt(longRow, walked.column).byte, longRow.size());
    }

    // A file is refused before any of it is read; a pipe at its first byte past the limit of 10.
    void refusesPastTheLimit_data()
    {
        testing::addColumns<QString, QByteArray>("kind", "bytes");
        QTest::newRow("file at the limit") << u"file"_s << "0123456789"_ba;
        QTest::newRow("file one byte past") << u"file"_s << "0123456789\r"_ba;
        QTest::newRow("pipe at the limit") << u"pipe"_s << "0123456789"_ba;
        QTest::newRow("pipe one byte past") << u"pipe"_s << "0123456789\r"_ba;
        QTest::newRow("pipe that fails to read") << u"failing pipe"_s << "0123"_ba;
    }
    void refusesPastTheLimit()
    {
        auto [kind, bytes] = testing::fetch<QString, QByteArray>("kind", "bytes");
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        PipeDevice pipe({bytes}, kind == u"failing pipe"_s);
        const bool shown = bytes == "0123456789";
        QCOMPARE(
            rowsOf(readViewerDevice(kind == u"file"_s ? static_cast<QIODevice &>(file) : pipe, 10)),
            QStringList{shown ? u"0123456789"_s : u"Vadazaz: The specified file is too large."_s});
        if (!shown)
            QCOMPARE(file.pos(), 0); // a file too large: not a byte read
    }
};

VADAZAZ_TEST_MAIN(ViewerTextTest)
#include "viewer_text_test.moc"
