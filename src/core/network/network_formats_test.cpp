// Network files read, refused, written back into and written: a row per format and case.

#include "testing/files.h"
#include "testing/network_files.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;
using enum vadazaz::NetworkFormat;

Q_DECLARE_METATYPE(vadazaz::NetworkFormat)
Q_DECLARE_METATYPE(vadazaz::NetworkExport)

namespace {

QByteArray file(const char *name)
{
    return contentsOf(QStringLiteral(VADAZAZ_NETWORK_TESTDATA "/") + QLatin1StringView(name));
}

// What the file of this name reads as, kept beside it as name.read: the text readAs() gives, and
// the line end that closes the file.
QString reading(const char *name)
{
    const QByteArray text = file((QByteArray(name) + ".read").constData());
    if (!text.endsWith('\n'))
        return u"(%1.read has no line end at its close)"_s.arg(QLatin1StringView(name));
    return QString::fromUtf8(text.chopped(1));
}

// The file name the messages give, by format.
QString nameIn(NetworkFormat format)
{
    return QStringList{u"t.net"_s,    u"small.xdsl"_s, u"rain.xml"_s,
                       u"rain.bif"_s, u"t.dne"_s,      u"t.csv"_s}
        .at(int(format));
}

// A case of reads.txt, written-back.txt or exports.txt, whose first lines tell their form.
struct Case
{
    NetworkFormat format = Csv;
    QByteArray tag, bytes, from, id, rows, expected, says, reads;
    bool eachLineEnd = false, writes = false;
    NetworkExport network;
};

// The case with LF, with CR LF and with CR for every line end, in the file and in what it becomes.
QList<Case> eachLineEnd(const Case &c)
{
    QList<Case> cases;
    for (const auto &[end, text] : {std::pair{"LF", "\n"}, {"CR LF", "\r\n"}, {"CR", "\r"}}) {
        cases.append(c);
        cases.last().tag += QByteArray(", ") + end;
        cases.last().bytes = withLineEnds(c.bytes, text);
        cases.last().expected = withLineEnds(c.expected, text);
    }
    return cases;
}

QList<Case> casesIn(const char *name)
{
    QList<Case> cases;
    for (const QByteArrayList &lines :
         paragraphsIn(QStringLiteral(VADAZAZ_NETWORK_TESTDATA "/") + QLatin1StringView(name))) {
        Case c;
        for (const QByteArray &line : lines) {
            const QByteArray word = line.split(' ').first();
            const QByteArray text = unescaped(line.mid(word.size() + 1));
            const QString value = QString::fromUtf8(text);
            QByteArray &target = c.writes ? c.expected : c.bytes;
            if (word == "file" || word == "expect")
                target = file(text.constData());
            else if (word == "bytes")
                c.bytes = text;
            else if (word == "replace")
                c.from = text;
            else if (word == "by")
                target = with(target, c.from.constData(), text);
            else if (word == "until")
                target.truncate(target.indexOf(text));
            else if (word == "ends")
                target = withLineEnds(target, text.constData());
            else if (line == "each line end")
                c.eachLineEnd = true;
            else if (word == "says" || word == "reads")
                (word == "says" ? c.says : c.reads) = text;
            else if (word == "network")
                c.network.name = value;
            else if (word == "variable")
                c.network.variables.append(ExportVariable{value, {}, {}, {}, {}, {}});
            else if (word == "label")
                c.network.variables.last().label = value;
            else if (word == "states")
                c.network.variables.last().states = value.split(u' ', Qt::SkipEmptyParts);
            else if (word == "titles")
                c.network.variables.last().stateLabels = value.split(u';');
            else if (word == "parents")
                c.network.variables.last().parents = value.split(u' ', Qt::SkipEmptyParts);
            else if (word == "rows")
                c.network.variables.last().rows = rowsOf(value);
            else if (word == "write") {
                c.writes = true;
                c.expected = c.bytes;
                c.id = text.left(text.indexOf(' '));
                c.rows = text.mid(c.id.size() + 1);
            } else if (word.endsWith(':')) {
                c.tag = line;
                for (const NetworkFormatInfo &info : networkFormats())
                    if (info.option.toUtf8() == word.chopped(1))
                        c.format = info.format;
            } else
                qFatal("A line of %s that means nothing here: %s", name, line.constData());
        }
        cases += c.eachLineEnd ? eachLineEnd(c) : QList<Case>{c};
    }
    return cases;
}

} // namespace

class NetworkFormatsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a reader takes from a file, as readAs() tells it, or its refusal.
    void reads_data()
    {
        addColumns<NetworkFormat, QByteArray, QString>("format", "bytes", "read");
        for (const Case &c : casesIn("reads.txt"))
            QTest::newRow(c.tag.constData())
                << c.format << c.bytes
                << (c.reads.isEmpty() ? QString::fromUtf8(c.says) : reading(c.reads.constData()));
    }
    void reads()
    {
        const auto [format, bytes, read] =
            fetch<NetworkFormat, QByteArray, QString>("format", "bytes", "read");
        QCOMPARE(readAs(format, bytes, nameIn(format), format == Xdsl), read);
    }

    // Only the table's text changes; the file reads back as writtenBack() asks.
    void writesTablesBack_data()
    {
        addColumns<NetworkFormat, QByteArray, QString, QString, QByteArray>("format", "bytes", "id",
                                                                            "rows", "written");
        for (const Case &c : casesIn("written-back.txt"))
            QTest::newRow(c.tag.constData()) << c.format << c.bytes << QString::fromUtf8(c.id)
                                             << QString::fromUtf8(c.rows) << c.expected;
    }
    void writesTablesBack()
    {
        const auto [format, bytes, id, rows, written] =
            fetch<NetworkFormat, QByteArray, QString, QString, QByteArray>("format", "bytes", "id",
                                                                           "rows", "written");
        QCOMPARE(writtenBack(format, bytes, id, rows), written);
    }

    // The file as written, and what reads back from it: the numbers as written, the names as
    // typed where the format keeps them, each parent in its place.
    void writesAnExport_data()
    {
        addColumns<NetworkFormat, NetworkExport, QByteArray, QString>("format", "network",
                                                                      "written", "read");
        for (const Case &c : casesIn("exports.txt"))
            QTest::newRow(c.tag.constData())
                << c.format << c.network << c.bytes
                << (c.reads.isEmpty() ? QString() : reading(c.reads.constData()));
    }
    void writesAnExport()
    {
        const auto [format, network, written, read] =
            fetch<NetworkFormat, NetworkExport, QByteArray, QString>("format", "network", "written",
                                                                     "read");
        const QByteArray bytes = writeNetwork(format, network);
        QCOMPARE(bytes, written);
        if (!read.isEmpty())
            QCOMPARE(readAs(format, bytes, nameIn(format)), read);
    }
};

VADAZAZ_TEST_MAIN(NetworkFormatsTest)
#include "network_formats_test.moc"
