#include "core/network/xdsl_format.h"

#include "core/base/version.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QVarLengthArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <optional>

namespace vadazaz {

namespace {

using namespace Qt::StringLiterals;

bool isXmlSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// A piece of the file quoted in a message: on one line, and not too long to read.
QString shown(const QString &text)
{
    constexpr qsizetype longest = 40;
    QString line = text.simplified();
    if (line.size() > longest) {
        line.truncate(line.at(longest - 1).isHighSurrogate() ? longest - 1 : longest);
        line += u'…';
    }
    return line;
}

// SMILE's identifiers: a letter first, then letters, digits and underscores, where every
// character beyond ASCII counts as a letter.
bool isIdentifier(QStringView id)
{
    if (id.isEmpty())
        return false;
    for (qsizetype i = 0; i < id.size(); ++i) {
        const char16_t c = id.at(i).unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 127;
        if (!letter && (i == 0 || !((c >= u'0' && c <= u'9') || c == u'_')))
            return false;
    }
    return true;
}

const QString identifierRule =
    u"it must begin with a letter and hold only letters, digits and underscores"_s;

enum class Number { Read, NotANumber, OutOfRange };

// A decimal number as C writes it, a "+" before it allowed; no "inf" or "nan", no spaces.
Number readNumber(QStringView token, double &value)
{
    if (token.startsWith(u'+') && !token.startsWith(u"+-"))
        token = token.sliced(1);
    QVarLengthArray<char, 64> ascii;
    for (const QChar c : token) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' ||
              u == u'E'))
            return Number::NotANumber;
        ascii.append(char(u));
    }
    const auto [end, error] = std::from_chars(ascii.begin(), ascii.end(), value);
    if (error == std::errc::result_out_of_range)
        return Number::OutOfRange;
    return error == std::errc() && end == ascii.end() ? Number::Read : Number::NotANumber;
}

// The line (from 1) with the first bytes that are not UTF-8 text; 0 when there is none. No line
// end stands inside a character, so that the lines can be checked one at a time.
int invalidUtf8Line(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return 0;
    int line = 1;
    for (qsizetype start = 0; start < bytes.size(); ++line) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        if (!bytes.sliced(start, end - start).isValidUtf8())
            return line;
        start = end + (bytes.sliced(end).startsWith("\r\n") ? 2 : 1);
    }
    return line;
}

// The encoding named by the XML declaration, in lower case; empty without one.
QString declaredEncoding(QByteArrayView bytes)
{
    static const QRegularExpression declaration(
        uR"(^<\?xml\s[^>]*?\bencoding\s*=\s*["']([^"']*)["'])"_s);
    const QString start = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 200)));
    return declaration.match(start).captured(1).toLower();
}

// More attributes than any element of an XDSL file has: the XML reader compares each attribute of
// an element with every other, so that many thousands in one tag would take hours.
constexpr qsizetype attributeLimit = 64;

// Where a tag with more attributes than that begins, or -1: every "=" in a tag that stands
// outside its quoted values begins a value.
qsizetype crowdedTagAt(const QString &text)
{
    const auto skipTo = [&](qsizetype from, QStringView end) {
        const qsizetype at = text.indexOf(end, from);
        return at < 0 ? text.size() : at + end.size();
    };
    for (qsizetype i = text.indexOf(u'<'); i >= 0 && i < text.size(); i = text.indexOf(u'<', i)) {
        const QStringView rest = QStringView(text).sliced(i);
        if (rest.startsWith(u"<!--")) {
            i = skipTo(i + 4, u"-->");
            continue;
        }
        if (rest.startsWith(u"<![CDATA[")) {
            i = skipTo(i + 9, u"]]>");
            continue;
        }
        if (rest.startsWith(u"<?")) {
            i = skipTo(i + 2, u"?>");
            continue;
        }
        const qsizetype start = i;
        qsizetype values = 0;
        for (++i; i < text.size() && text.at(i) != u'>'; ++i) {
            const QChar c = text.at(i);
            if (c == u'"' || c == u'\'') {
                const qsizetype close = text.indexOf(c, i + 1);
                i = close < 0 ? text.size() : close;
            } else if (c == u'=' && ++values > attributeLimit) {
                return start;
            }
        }
    }
    return -1;
}

// The numbers of a table, each row's states in turn.
QList<QByteArray> numbersOf(const QList<QStringList> &rows)
{
    QList<QByteArray> numbers;
    for (const QStringList &row : rows) {
        for (const QString &number : row)
            numbers.append(number.toUtf8());
    }
    return numbers;
}

// What stands in a text that is being collected.
enum class Capture { None, Parents, Table, Name };

// A node between its start and end tags.
struct Node
{
    QString kind;
    NetworkVariable variable;
    int parentsLine = 0;
    int tableLine = 0;
    int contentLine = 0; // where the table's text begins
    bool hasParents = false;
    bool hasTable = false;
    qsizetype tableStart = -1; // characters: the first of the table, and the one after it
    qsizetype tableStop = -1;
    QString tableText;
    QString parentsText;
    QSet<QString> states;
    QSet<QString> parents;
};

// A node read before: its place among the variables, -1 when it has no states.
struct Declared
{
    qsizetype variable;
    int line;
};

// Reads one file: the nodes under <nodes>, and their names from the <genie> extension.
class XdslReader
{
public:
    XdslReader(QByteArrayView bytes, const QString &fileName) : bytes_(bytes), fileName_(fileName)
    {
        network_.format = NetworkFormat::Xdsl;
    }

    Result<Network> read();

private:
    Message fault(int line, const QString &what) const
    {
        return networkFileFault(fileName_, line, what);
    }
    std::optional<Message> decode();
    std::optional<Message> startElement(const QXmlStreamAttributes &attributes, int line,
                                        qsizetype offset);
    std::optional<Message> endElement(qsizetype offset);
    std::optional<Message> readParents();
    std::optional<Message> readTable();
    std::optional<Message> finishNode();
    Message xmlFault(const QXmlStreamReader &xml) const;
    int lineAt(qsizetype offset);
    qsizetype byteAt(qsizetype offset);
    bool inNodes() const { return path_.size() >= 3 && path_.at(1) == u"nodes"; }
    bool inGenie() const
    {
        return path_.size() >= 4 && path_.at(1) == u"extensions" && path_.at(2) == u"genie";
    }

    QByteArrayView bytes_;
    QString fileName_;
    QString text_;
    qsizetype bom_ = 0;
    bool utf8_ = true;
    qsizetype lineOffset_ = 0; // where lineAt stands in the text, and the line there
    int line_ = 1;
    qsizetype charOffset_ = 0; // where byteAt stands in the text, and in the bytes after a mark
    qsizetype byteOffset_ = 0;

    bool rootSeen_ = false;
    QStringList path_; // the open elements
    Network network_;
    std::optional<Node> node_;
    QHash<QString, Declared> declared_;
    QHash<QString, QString> names_; // the first <name> of each node of the genie extension
    QString genieNode_;             // the genie <node> that is open
    Capture capture_ = Capture::None;
    qsizetype captureDepth_ = 0;
    QString name_;
};

std::optional<Message> XdslReader::decode()
{
    if (bytes_.startsWith("\xFE\xFF") || bytes_.startsWith("\xFF\xFE"))
        return fault(1, u"the file is in UTF-16; this program reads XDSL files in UTF-8 or "
                        u"ISO-8859-1"_s);
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        bom_ = 3;
    const QByteArrayView body = bytes_.sliced(bom_);
    // Decoders pass over a byte-order mark at the start: a second one would put the places in
    // the text one character off those in the file.
    if (body.startsWith("\xEF\xBB\xBF"))
        return fault(1, u"this is not an XDSL file: it begins with two byte-order marks"_s);
    const QString encoding = bom_ > 0 ? QString() : declaredEncoding(body);
    static const QStringList latin1{u"iso-8859-1"_s, u"iso8859-1"_s, u"iso_8859-1"_s, u"latin1"_s,
                                    u"latin-1"_s,    u"us-ascii"_s,  u"ascii"_s};
    if (encoding.isEmpty() || encoding == u"utf-8" || encoding == u"utf8") {
        if (const int line = invalidUtf8Line(body))
            return fault(line, u"the file is not UTF-8 text, as it says it is"_s);
        text_ = QString::fromUtf8(body);
    } else if (latin1.contains(encoding)) {
        utf8_ = false;
        text_ = QString::fromLatin1(body);
    } else {
        return fault(1, u"the file is in the %1 encoding; this program reads XDSL files in UTF-8 "
                        u"or ISO-8859-1"_s.arg(shown(encoding)));
    }
    if (const qsizetype crowded = crowdedTagAt(text_); crowded >= 0)
        return fault(lineAt(crowded), u"an element has more than %1 attributes, more than any "
                                      u"XDSL file has"_s.arg(attributeLimit));
    return std::nullopt;
}

// The line (from 1) of a character of the text: a line ends with LF, CR LF or CR.
int XdslReader::lineAt(qsizetype offset)
{
    if (offset < lineOffset_) {
        lineOffset_ = 0;
        line_ = 1;
    }
    for (; lineOffset_ < offset && lineOffset_ < text_.size(); ++lineOffset_) {
        const char16_t c = text_.at(lineOffset_).unicode();
        if (c == u'\n' ||
            (c == u'\r' && (lineOffset_ + 1 == text_.size() || text_.at(lineOffset_ + 1) != u'\n')))
            ++line_;
    }
    return line_;
}

// The byte of the file where a character of the text begins.
qsizetype XdslReader::byteAt(qsizetype offset)
{
    if (!utf8_)
        return bom_ + offset;
    if (offset < charOffset_) {
        charOffset_ = 0;
        byteOffset_ = 0;
    }
    while (charOffset_ < offset && bom_ + byteOffset_ < bytes_.size()) {
        const auto lead = static_cast<unsigned char>(bytes_[bom_ + byteOffset_]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        byteOffset_ += length;
        charOffset_ += length == 4 ? 2 : 1; // beyond the BMP a character takes two
    }
    return bom_ + byteOffset_;
}

Result<Network> XdslReader::read()
{
    if (const auto refused = decode())
        return *refused;
    QXmlStreamReader xml(text_);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return fault(int(xml.lineNumber()), u"the file has a document type declaration "
                                                u"(<!DOCTYPE>), which XDSL files do not have"_s);
        case QXmlStreamReader::StartElement: {
            // A start tag holds no "<" but its first: the last one before its end begins it.
            const qsizetype end = xml.characterOffset();
            const int line = lineAt(text_.lastIndexOf(u'<', end - 1));
            const QString name = xml.qualifiedName().toString();
            if (path_.size() == networkNestingLimit)
                return fault(
                    line, u"the elements are nested more than %1 deep"_s.arg(networkNestingLimit));
            if (path_.isEmpty() && name != u"smile")
                return fault(line, u"this is not an XDSL file: its first element is <%1>, not "
                                   u"<smile>"_s.arg(shown(name)));
            if (capture_ == Capture::Parents || capture_ == Capture::Table)
                return fault(line, u"the <%1> of node \"%2\" hold an element <%3>, where only "
                                   u"text belongs"_s.arg(path_.last(), shown(node_->variable.id),
                                                         shown(name)));
            rootSeen_ = true;
            path_.append(name);
            if (const auto refused = startElement(xml.attributes(), line, end))
                return *refused;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (const auto refused = endElement(xml.characterOffset()))
                return *refused;
            path_.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (capture_ == Capture::Parents)
                node_->parentsText += xml.text();
            else if (capture_ == Capture::Table)
                node_->tableText += xml.text();
            else if (capture_ == Capture::Name)
                name_ += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !rootSeen_)
        return xmlFault(xml);
    for (NetworkVariable &variable : network_.variables)
        variable.label = names_.value(variable.id);
    return std::move(network_);
}

Message XdslReader::xmlFault(const QXmlStreamReader &xml) const
{
    const int line = int(xml.lineNumber());
    const bool ended = xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
    if (!rootSeen_ && ended && !text_.contains(u"<smile"_s))
        return fault(line, u"this is not an XDSL file: it has no <smile> element"_s);
    if (!rootSeen_ && !ended)
        return fault(line, u"this is not an XDSL file: it is not XML"_s);
    if (ended)
        return fault(line, u"the file ends before the <%1> element is closed"_s.arg(
                               path_.isEmpty() ? u"smile"_s : path_.last()));
    return fault(line, u"the XML is broken: %1"_s.arg(shown(xml.errorString())));
}

std::optional<Message> XdslReader::startElement(const QXmlStreamAttributes &attributes, int line,
                                                qsizetype offset)
{
    const qsizetype depth = path_.size();
    const QString &name = path_.last();
    if (depth == 1) {
        network_.name = attributes.value(u"id"_s).toString();
    } else if (depth == 3 && inNodes()) {
        const QString id = attributes.value(u"id"_s).toString();
        if (!attributes.hasAttribute(u"id"_s))
            return fault(line, u"a <%1> node has no id"_s.arg(shown(name)));
        if (!isIdentifier(id))
            return fault(line, u"the node id \"%1\" is not an identifier: %2"_s.arg(
                                   shown(id), identifierRule));
        if (const auto first = declared_.constFind(id); first != declared_.constEnd())
            return fault(line, u"the node \"%1\" is declared twice, first on line %2"_s.arg(
                                   id, QString::number(first->line)));
        node_.emplace();
        node_->kind = name;
        node_->variable.id = id;
        node_->variable.line = line;
    } else if (depth == 4 && inNodes() && name == u"state") {
        const QString id = attributes.value(u"id"_s).toString();
        const QString &node = node_->variable.id;
        if (!isIdentifier(id))
            return fault(line, u"the state id \"%1\" of node \"%2\" is not an identifier: %3"_s.arg(
                                   shown(id), node, identifierRule));
        if (node_->states.contains(id))
            return fault(line, u"node \"%1\" has the state \"%2\" twice"_s.arg(node, id));
        node_->states.insert(id);
        node_->variable.states.append(id);
    } else if (depth == 5 && inNodes() && node_->kind == u"equation" &&
               path_.at(3) == u"discretization" && name == u"interval") {
        // A discretised equation node has an interval for each state.
        QString id = attributes.value(u"label"_s).toString();
        if (id.isEmpty())
            id = attributes.value(u"id"_s).toString();
        if (id.isEmpty())
            id = attributes.value(u"upper"_s).toString();
        node_->variable.states.append(id);
    } else if (depth == 4 && inNodes() &&
               (name == u"parents" || (name == u"probabilities" && node_->kind == u"cpt"))) {
        const bool parents = name == u"parents";
        bool &seen = parents ? node_->hasParents : node_->hasTable;
        if (seen)
            return fault(line,
                         u"node \"%1\" has a second <%2> element"_s.arg(node_->variable.id, name));
        seen = true;
        (parents ? node_->parentsLine : node_->tableLine) = line;
        if (!parents) {
            node_->tableStart = offset;
            node_->contentLine = lineAt(offset);
        }
        capture_ = parents ? Capture::Parents : Capture::Table;
        captureDepth_ = depth;
    } else if (inGenie() && name == u"node") {
        genieNode_ = attributes.value(u"id"_s).toString();
    } else if (inGenie() && name == u"name" && path_.at(depth - 2) == u"node" &&
               capture_ == Capture::None) {
        capture_ = Capture::Name;
        captureDepth_ = depth;
        name_.clear();
    }
    return std::nullopt;
}

std::optional<Message> XdslReader::endElement(qsizetype offset)
{
    const qsizetype depth = path_.size();
    if (capture_ != Capture::None && depth == captureDepth_) {
        const Capture captured = capture_;
        capture_ = Capture::None;
        if (captured == Capture::Name) {
            if (!names_.contains(genieNode_))
                names_.insert(genieNode_, name_);
        } else if (captured == Capture::Parents) {
            return readParents();
        } else {
            // An element closed by its start tag ends where it starts; else the last "</"
            // before the end of its end tag begins that tag.
            node_->tableStop =
                offset == node_->tableStart ? offset : text_.lastIndexOf(u"</"_s, offset - 1);
            return readTable();
        }
    } else if (depth == 3 && inNodes()) {
        return finishNode();
    } else if (inGenie() && path_.last() == u"node") {
        genieNode_.clear();
    }
    return std::nullopt;
}

std::optional<Message> XdslReader::readParents()
{
    NetworkVariable &variable = node_->variable;
    const QString &text = node_->parentsText;
    for (qsizetype i = 0; i < text.size();) {
        if (isXmlSpace(text.at(i).unicode())) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isXmlSpace(text.at(end).unicode()))
            ++end;
        const QString parent = text.sliced(i, end - i);
        i = end;
        const auto declared = declared_.constFind(parent);
        if (declared == declared_.constEnd())
            return fault(
                node_->parentsLine,
                u"node \"%1\" has the parent \"%2\", which is not declared before it"_s.arg(
                    variable.id, shown(parent)));
        if (declared->variable < 0)
            return fault(node_->parentsLine,
                         u"node \"%1\" has the parent \"%2\", which has no states"_s.arg(
                             variable.id, parent));
        if (node_->parents.contains(parent))
            return fault(node_->parentsLine,
                         u"node \"%1\" has the parent \"%2\" twice"_s.arg(variable.id, parent));
        node_->parents.insert(parent);
        variable.parents.append(parent);
    }
    node_->parentsText.clear();
    return std::nullopt;
}

std::optional<Message> XdslReader::readTable()
{
    NetworkVariable &variable = node_->variable;
    variable.tableBegin = byteAt(node_->tableStart);
    variable.tableEnd = byteAt(node_->tableStop);
    // Plain numbers stand in the file on the lines of the text read (which has its line ends
    // as LF): a fault names the line of its number.
    const QStringView raw =
        QStringView(text_).sliced(node_->tableStart, node_->tableStop - node_->tableStart);
    const bool plain = !raw.contains(u'<') && !raw.contains(u'&');
    int line = plain ? node_->contentLine : node_->tableLine;
    const QString &text = node_->tableText;
    for (qsizetype i = 0; i < text.size();) {
        if (isXmlSpace(text.at(i).unicode())) {
            if (plain && text.at(i) == u'\n')
                ++line;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isXmlSpace(text.at(end).unicode()))
            ++end;
        const QStringView token = QStringView(text).sliced(i, end - i);
        double value = 0;
        const Number number = readNumber(token, value);
        if (number != Number::Read) {
            return fault(line,
                         (number == Number::OutOfRange
                              ? u"\"%1\" in the probabilities of node \"%2\" is too large or too "
                                u"small a number"_s
                              : u"\"%1\" in the probabilities of node \"%2\" is not a number"_s)
                             .arg(shown(token.toString()), variable.id));
        }
        variable.table.push_back(value);
        i = end;
    }
    node_->tableText.clear();
    return std::nullopt;
}

std::optional<Message> XdslReader::finishNode()
{
    Node node = std::move(*node_);
    node_.reset();
    NetworkVariable &variable = node.variable;
    const bool table = node.kind == u"cpt";
    if (variable.states.isEmpty() && table)
        return fault(variable.line, u"node \"%1\" has no states"_s.arg(variable.id));
    if (variable.states.isEmpty()) {
        declared_.insert(variable.id, {-1, variable.line});
        return std::nullopt;
    }
    variable.stateLabels = QStringList(variable.states.size(), QString());
    if (table && !node.hasTable)
        return fault(variable.line, u"node \"%1\" has no <probabilities>"_s.arg(variable.id));
    if (table) {
        // Its states for each configuration of its parents; no file holds more numbers than
        // it has bytes, so a count beyond that is as wrong as any other.
        qint64 expected = variable.states.size();
        for (const QString &parent : variable.parents) {
            expected *= network_.variables.at(declared_.value(parent).variable).states.size();
            expected = std::min<qint64>(expected, networkInputLimit + 1);
        }
        const auto found = qint64(variable.table.size());
        if (found != expected)
            return fault(node.tableLine,
                         u"node \"%1\" has %2 probabilities where its states and its parents' "
                         u"states ask for %3"_s.arg(variable.id, QString::number(found),
                                                    expected > networkInputLimit
                                                        ? u"more than the file could hold"_s
                                                        : QString::number(expected)));
    }
    declared_.insert(variable.id, {network_.variables.size(), variable.line});
    network_.variables.append(std::move(variable));
    return std::nullopt;
}

// A layout for the written nodes: a row for the roots, a row below for the nodes whose parents
// are all above it, and so on, six to a row, each row centred.
struct Box
{
    int left, top, right, bottom;
};

QList<Box> layoutOf(const QList<ExportVariable> &variables)
{
    constexpr int perRow = 6, width = 120, height = 56, across = 160, down = 110, margin = 40;
    QHash<QString, int> level;
    QList<QList<qsizetype>> levels;
    for (qsizetype k = 0; k < variables.size(); ++k) {
        int at = 0;
        for (const QString &parent : variables.at(k).parents)
            at = std::max(at, level.value(parent, -1) + 1);
        level.insert(variables.at(k).id, at);
        while (levels.size() <= at)
            levels.append(QList<qsizetype>());
        levels[at].append(k);
    }
    QList<QList<qsizetype>> rows;
    for (const QList<qsizetype> &nodes : levels) {
        for (qsizetype first = 0; first < nodes.size(); first += perRow)
            rows.append(nodes.mid(first, perRow));
    }
    qsizetype widest = 0;
    for (const QList<qsizetype> &row : rows)
        widest = std::max(widest, row.size());
    QList<Box> boxes(variables.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<qsizetype> &row = rows.at(r);
        for (qsizetype j = 0; j < row.size(); ++j) {
            const int left = margin + int((widest - row.size()) * across / 2 + j * across);
            const int top = margin + int(r) * down;
            boxes[row.at(j)] = {left, top, left + width, top + height};
        }
    }
    return boxes;
}

// Text for XML, in UTF-8: the markup characters as entities, tabs and line ends as character
// references (so that no reader folds them), and what XML cannot hold as U+FFFD.
QByteArray escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == u'&')
            out += u"&amp;"_s;
        else if (u == u'<')
            out += u"&lt;"_s;
        else if (u == u'>')
            out += u"&gt;"_s;
        else if (u == u'"')
            out += u"&quot;"_s;
        else if (u == u'\t' || u == u'\n' || u == u'\r')
            out += u"&#%1;"_s.arg(int(u));
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            out += text.sliced(i++, 2);
        else if (u < 0x20 || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            out += QChar(0xFFFD);
        else
            out += c;
    }
    return out.toUtf8();
}

} // namespace

Result<Network> readXdsl(QByteArrayView bytes, const QString &fileName)
{
    return XdslReader(bytes, fileName).read();
}

QByteArray writeXdsl(const NetworkExport &network)
{
    const QByteArray name = escaped(network.name.isEmpty() ? u"Network"_s : network.name);
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<smile version=\"1.0\" id=\"" +
                     name + "\" numsamples=\"10000\" discsamples=\"10000\">\n    <nodes>\n";
    for (const ExportVariable &variable : network.variables) {
        out += "        <cpt id=\"" + escaped(variable.id) + "\">\n";
        for (const QString &state : variable.states)
            out += "            <state id=\"" + escaped(state) + "\" />\n";
        if (!variable.parents.isEmpty())
            out += "            <parents>" + escaped(variable.parents.join(u' ')) + "</parents>\n";
        out += "            <probabilities>" + numbersOf(variable.rows).join(' ') +
               "</probabilities>\n        </cpt>\n";
    }
    out += "    </nodes>\n    <extensions>\n        <genie version=\"1.0\" app=\"Vadazaz " +
           QByteArray(versionText) + "\" name=\"" + name + "\">\n";
    const QList<Box> boxes = layoutOf(network.variables);
    for (qsizetype k = 0; k < network.variables.size(); ++k) {
        const ExportVariable &variable = network.variables.at(k);
        const Box &box = boxes.at(k);
        out += "            <node id=\"" + escaped(variable.id) + "\">\n                <name>" +
               escaped(variable.label.isEmpty() ? variable.id : variable.label) +
               "</name>\n"
               "                <interior color=\"e5f6f7\" />\n"
               "                <outline color=\"000080\" />\n"
               "                <font color=\"000000\" name=\"Arial\" size=\"8\" />\n"
               "                <position>" +
               QByteArray::number(box.left) + ' ' + QByteArray::number(box.top) + ' ' +
               QByteArray::number(box.right) + ' ' + QByteArray::number(box.bottom) +
               "</position>\n            </node>\n";
    }
    out += "        </genie>\n    </extensions>\n</smile>\n";
    return out;
}

QByteArray xdslTableText(QByteArrayView file, const Network &, const NetworkVariable &variable,
                         const QList<QStringList> &rows)
{
    const QList<QByteArray> numbers = numbersOf(rows);
    if (variable.tableBegin < 0 || variable.tableEnd > file.size() ||
        variable.tableBegin > variable.tableEnd)
        return numbers.join(' ');
    const QByteArrayView old =
        file.sliced(variable.tableBegin, variable.tableEnd - variable.tableBegin);
    if (old.contains('<') || old.contains('&'))
        return numbers.join(' '); // comments or references among the numbers: plain ones now
    // The old table's spaces and line breaks around and between its numbers, kept as they were
    // when there are as many numbers.
    QList<QByteArrayView> spaces;
    qsizetype at = 0;
    while (true) {
        qsizetype end = at;
        while (end < old.size() && isXmlSpace(char16_t(old[end])))
            ++end;
        spaces.append(old.sliced(at, end - at));
        if (end == old.size())
            break;
        at = end;
        while (at < old.size() && !isXmlSpace(char16_t(old[at])))
            ++at;
    }
    if (spaces.size() != numbers.size() + 1) {
        const QByteArray joined = spaces.first().toByteArray() + numbers.join(' ');
        return spaces.size() < 2 ? joined : joined + spaces.last().toByteArray();
    }
    QByteArray text = spaces.first().toByteArray();
    for (qsizetype k = 0; k < numbers.size(); ++k)
        text += numbers.at(k) + spaces.at(k + 1).toByteArray();
    return text;
}

} // namespace vadazaz
