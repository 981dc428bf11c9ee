#include "core/network/xmlbif_format.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace vadazaz {

namespace {

// The most probabilities that the tables of one file may hold together: as many as 64 MiB of
// numbers.
constexpr qsizetype tableLimit = networkInputLimit / 8;

struct Fault
{
    int line = 0;
    QString what;
};

enum class Element {
    Other,
    Bif,
    Network,
    NetworkName,
    Variable,
    VariableName,
    Outcome,
    Property,
    Definition,
    For,
    Given,
    Table
};

struct VariableElement
{
    QString id;
    QString type; // "nature", "decision" or "utility"
    QStringList states;
    QSet<QString> stateSet;
    QString label;
    int line = 0;
};

struct DefinitionElement
{
    QString id;
    QStringList parents;
    bool hasTable = false;
    QString table;
    int line = 0;
    int tableLine = 0;
    // In characters of the decoded file: where the table's text begins, and the end of its end
    // tag.
    qint64 tableBegin = -1;
    qint64 tableEndTag = -1;
};

// A name for a message: in quotes, on one line, and cut short if long.
QString quoted(const QString &name)
{
    QString shown = name.size() > 60 ? name.first(59) + QChar(0x2026) : name;
    for (QChar &c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    return QStringLiteral("\"%1\"").arg(shown);
}

bool hasControl(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool isNamed(QStringView name, QLatin1StringView expected)
{
    return name.compare(expected, Qt::CaseInsensitive) == 0;
}

// A decimal number, "0.25", "1", ".5", "2.5e-3", with an optional sign; no "inf" or "nan".
bool parseNumber(QStringView text, double *value)
{
    if (text.size() > 400)
        return false;
    QByteArray bytes = text.toLatin1();
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9')
            ++i;
        return i - from;
    };
    const bool negative = i < bytes.size() && bytes[i] == '-';
    if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-'))
        ++i;
    const qsizetype start = i;
    qsizetype mantissa = digits();
    if (i < bytes.size() && bytes[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < bytes.size() && (bytes[i] == 'e' || bytes[i] == 'E')) {
        ++i;
        if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    if (i != bytes.size())
        return false;
    const char *last = bytes.constData() + bytes.size();
    const auto [end, error] = std::from_chars(bytes.constData() + start, last, *value);
    if (error != std::errc() || end != last || !std::isfinite(*value))
        return false;
    if (negative)
        *value = -*value;
    return true;
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

class Parser
{
public:
    explicit Parser(QByteArrayView bytes)
        : bytes_(bytes), xml_(QByteArray::fromRawData(bytes.data(), bytes.size())),
          bytePos_(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0)
    {}

    bool parse()
    {
        std::vector<Element> open;
        QString text;
        while (!xml_.atEnd()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartDocument:
                if (!encoding())
                    return false;
                break;
            case QXmlStreamReader::StartElement:
                if (open.size() >= std::size_t(networkNestingLimit))
                    return fail(QStringLiteral("the elements are nested more than %1 deep, deeper "
                                               "than in any network")
                                    .arg(networkNestingLimit));
                open.push_back(start(open.empty() ? Element::Other : open.back(), open.empty()));
                if (fault_)
                    return false;
                text.clear();
                break;
            case QXmlStreamReader::Characters:
                if (!open.empty() && open.back() == Element::Table)
                    definitions.last().table += xml_.text();
                else if (!open.empty() && open.back() != Element::Other)
                    text += xml_.text();
                break;
            case QXmlStreamReader::EndElement:
                if (!end(open.back(), text.trimmed()))
                    return false;
                open.pop_back();
                text.clear();
                break;
            default:
                break;
            }
        }
        if (xml_.hasError()) {
            if (!rootSeen_)
                return fail(QStringLiteral("this is not an XMLBIF file: it does not begin with "
                                           "an XML element"));
            if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                return fail(QStringLiteral("the file ends too soon, inside an element: it may be "
                                           "cut short"));
            return fail(
                QStringLiteral("the file is not well-formed XML: %1").arg(xml_.errorString()));
        }
        if (!networkSeen_)
            return fail(QStringLiteral("this is not an XMLBIF file: it has no <NETWORK>"));
        return true;
    }

    // The byte offset of a character offset of the decoded file; asked in increasing order.
    qsizetype byteOffset(qint64 characters)
    {
        if (singleByte_)
            return qsizetype(characters);
        while (characterPos_ < characters && bytePos_ < bytes_.size()) {
            const uchar lead = uchar(bytes_[bytePos_]);
            const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            bytePos_ += length;
            characterPos_ += length == 4 ? 2 : 1; // beyond the BMP: two UTF-16 units
        }
        return bytePos_;
    }

    QString network;
    QList<VariableElement> variables;
    QList<DefinitionElement> definitions;

    const Fault &fault() const { return *fault_; }
    QByteArrayView bytes() const { return bytes_; }

private:
    bool fail(const QString &what)
    {
        if (!fault_)
            fault_ = Fault{int(xml_.lineNumber()), what};
        return false;
    }

    // Offsets map to bytes only for UTF-8 and the encodings of a byte a character.
    bool encoding()
    {
        QString name = xml_.documentEncoding().toString();
        const QByteArrayView head = bytes_.first(std::min<qsizetype>(bytes_.size(), 4));
        if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF") || head.contains('\0'))
            name = QStringLiteral("UTF-16");
        const QString lower = name.toLower();
        if (lower.isEmpty() || lower == u"utf-8" || lower == u"utf8")
            return true;
        static const QStringList singleByte{QStringLiteral("iso-8859-"),   QStringLiteral("latin"),
                                            QStringLiteral("windows-125"), QStringLiteral("cp125"),
                                            QStringLiteral("us-ascii"),    QStringLiteral("ascii")};
        for (const QString &prefix : singleByte) {
            if (lower.startsWith(prefix)) {
                singleByte_ = true;
                return true;
            }
        }
        return fail(QStringLiteral("the file is written in %1; this program reads XMLBIF files "
                                   "in UTF-8 or ISO-8859-1")
                        .arg(name));
    }

    Element start(Element parent, bool root)
    {
        const QStringView name = xml_.name();
        if (root) {
            rootSeen_ = true;
            if (!isNamed(name, QLatin1StringView("BIF")))
                fail(QStringLiteral("this is not an XMLBIF file: its first element is <%1>, not "
                                    "<BIF>")
                         .arg(name));
            return Element::Bif;
        }
        switch (parent) {
        case Element::Bif:
            if (!isNamed(name, QLatin1StringView("NETWORK")))
                return Element::Other;
            if (networkSeen_)
                fail(QStringLiteral("the file holds a second network; this program reads one "
                                    "network a file"));
            networkSeen_ = true;
            return Element::Network;
        case Element::Network:
            if (isNamed(name, QLatin1StringView("NAME")))
                return Element::NetworkName;
            if (isNamed(name, QLatin1StringView("VARIABLE"))) {
                VariableElement v;
                v.line = int(xml_.lineNumber());
                for (const QXmlStreamAttribute &attribute : xml_.attributes())
                    if (isNamed(attribute.name(), QLatin1StringView("TYPE")))
                        v.type = attribute.value().toString().toLower();
                if (v.type.isEmpty())
                    v.type = QStringLiteral("nature");
                variables.append(std::move(v));
                return Element::Variable;
            }
            if (isNamed(name, QLatin1StringView("DEFINITION")) ||
                isNamed(name, QLatin1StringView("PROBABILITY"))) {
                DefinitionElement d;
                d.line = int(xml_.lineNumber());
                definitions.append(std::move(d));
                return Element::Definition;
            }
            return Element::Other;
        case Element::Variable:
            if (isNamed(name, QLatin1StringView("NAME")))
                return Element::VariableName;
            if (isNamed(name, QLatin1StringView("OUTCOME")) ||
                isNamed(name, QLatin1StringView("VALUE")))
                return Element::Outcome;
            if (isNamed(name, QLatin1StringView("PROPERTY")))
                return Element::Property;
            return Element::Other;
        case Element::Definition:
            if (isNamed(name, QLatin1StringView("FOR")))
                return Element::For;
            if (isNamed(name, QLatin1StringView("GIVEN")))
                return Element::Given;
            if (isNamed(name, QLatin1StringView("TABLE"))) {
                DefinitionElement &d = definitions.last();
                if (d.hasTable)
                    fail(QStringLiteral("a definition has a second <TABLE>"));
                d.hasTable = true;
                d.tableLine = int(xml_.lineNumber());
                d.tableBegin = xml_.characterOffset();
                return Element::Table;
            }
            return Element::Other;
        case Element::Table:
            fail(QStringLiteral("the element <%1> stands inside a <TABLE>, which holds numbers "
                                "only")
                     .arg(name));
            return Element::Other;
        default:
            return Element::Other;
        }
    }

    bool end(Element element, const QString &text)
    {
        switch (element) {
        case Element::NetworkName:
            network = text;
            break;
        case Element::VariableName:
            if (!variables.last().id.isEmpty())
                return fail(QStringLiteral("the variable %1 has a second <NAME>")
                                .arg(quoted(variables.last().id)));
            if (text.isEmpty())
                return fail(QStringLiteral("a variable's <NAME> is empty"));
            if (hasControl(text))
                return fail(QStringLiteral("the name %1 holds a line break, a tab or another "
                                           "control character")
                                .arg(quoted(text)));
            variables.last().id = text;
            break;
        case Element::Outcome: {
            VariableElement &v = variables.last();
            if (text.isEmpty())
                return fail(QStringLiteral("an <OUTCOME> of %1 is empty").arg(quoted(v.id)));
            if (hasControl(text))
                return fail(QStringLiteral("the outcome %1 of %2 holds a line break, a tab or "
                                           "another control character")
                                .arg(quoted(text), quoted(v.id)));
            if (v.stateSet.contains(text))
                return fail(QStringLiteral("the variable %1 has the outcome %2 twice")
                                .arg(quoted(v.id), quoted(text)));
            v.states.append(text);
            v.stateSet.insert(text);
            break;
        }
        case Element::Property: {
            // "label = the name as typed"
            const qsizetype equals = text.indexOf(u'=');
            if (equals > 0 && text.left(equals).trimmed().compare(QLatin1StringView("label"),
                                                                  Qt::CaseInsensitive) == 0)
                variables.last().label = text.mid(equals + 1).trimmed();
            break;
        }
        case Element::Variable:
            if (variables.last().id.isEmpty())
                return fail(QStringLiteral("a variable has no <NAME>"));
            break;
        case Element::For:
            definitions.last().id = text;
            break;
        case Element::Given:
            definitions.last().parents.append(text);
            break;
        case Element::Table:
            definitions.last().tableEndTag = xml_.characterOffset();
            break;
        case Element::Definition:
            if (definitions.last().id.isEmpty())
                return fail(QStringLiteral("a definition has no <FOR> to name its variable"));
            break;
        default:
            break;
        }
        return true;
    }

    QByteArrayView bytes_;
    QXmlStreamReader xml_;
    qsizetype bytePos_ = 0;
    qint64 characterPos_ = 0;
    bool rootSeen_ = false;
    bool networkSeen_ = false;
    bool singleByte_ = false;
    std::optional<Fault> fault_;
};

// The numbers of a table, in the order of the file: the variable's own states fastest, then its
// last parent, its first parent slowest.
std::optional<Fault> numbersOf(const DefinitionElement &d, qsizetype size,
                               std::vector<double> *table)
{
    const QString &text = d.table;
    int line = d.tableLine;
    qsizetype i = 0;
    qsizetype found = 0;
    table->reserve(std::size_t(size));
    while (i < text.size()) {
        if (isXmlSpace(text[i])) {
            line += text[i] == u'\n' ? 1 : 0;
            ++i;
            continue;
        }
        const qsizetype from = i;
        while (i < text.size() && !isXmlSpace(text[i]))
            ++i;
        const QStringView token = QStringView(text).sliced(from, i - from);
        double value = 0;
        if (!parseNumber(token, &value))
            return Fault{line, QStringLiteral("%1 in the table of %2 is not a number")
                                   .arg(quoted(token.left(40).toString()), quoted(d.id))};
        if (++found <= size)
            table->push_back(value);
    }
    if (found != size)
        return Fault{d.tableLine, QStringLiteral("the table of %1 should have %2 numbers, one for "
                                                 "each of its outcomes in each configuration of "
                                                 "its parents, not %3")
                                      .arg(quoted(d.id))
                                      .arg(size)
                                      .arg(found)};
    return std::nullopt;
}

std::optional<Fault> resolve(Parser &parser, Network &network)
{
    QHash<QString, qsizetype> index; // of the variables read
    QHash<QString, int> lines;       // of every variable declared
    QHash<QString, QString> types;
    for (const VariableElement &v : parser.variables) {
        if (lines.contains(v.id))
            return Fault{v.line, QStringLiteral("the variable %1 is declared twice, first on line "
                                                "%2")
                                     .arg(quoted(v.id))
                                     .arg(lines.value(v.id))};
        lines.insert(v.id, v.line);
        types.insert(v.id, v.type);
        if (v.type != u"nature" && v.type != u"decision" && v.type != u"utility")
            return Fault{v.line, QStringLiteral("the variable %1 has the type %2; XMLBIF knows "
                                                "\"nature\", \"decision\" and \"utility\"")
                                     .arg(quoted(v.id), quoted(v.type))};
        if (v.states.isEmpty()) {
            if (v.type == u"nature")
                return Fault{v.line,
                             QStringLiteral("the variable %1 has no <OUTCOME>").arg(quoted(v.id))};
            continue; // a decision or utility node without outcomes has nothing to show
        }
        index.insert(v.id, network.variables.size());
        NetworkVariable variable;
        variable.id = v.id;
        variable.label = v.label;
        variable.states = v.states;
        variable.stateLabels = QStringList(v.states.size(), QString());
        variable.line = v.line;
        network.variables.append(std::move(variable));
    }
    QSet<QString> defined;
    qsizetype total = 0;
    QList<std::pair<NetworkVariable *, const DefinitionElement *>> tables;
    for (const DefinitionElement &d : parser.definitions) {
        if (!lines.contains(d.id))
            return Fault{d.line, QStringLiteral("the probabilities are given for %1, a variable "
                                                "that is not declared")
                                     .arg(quoted(d.id))};
        if (defined.contains(d.id))
            return Fault{
                d.line,
                QStringLiteral("the probabilities of %1 are given twice").arg(quoted(d.id))};
        defined.insert(d.id);
        const auto at = index.constFind(d.id);
        if (at == index.cend())
            continue; // a node without outcomes
        NetworkVariable &variable = network.variables[*at];
        QSet<QString> named;
        qsizetype size = variable.states.size();
        for (const QString &parent : d.parents) {
            if (!lines.contains(parent))
                return Fault{d.line, QStringLiteral("the parent %1 of %2 is not declared")
                                         .arg(quoted(parent), quoted(d.id))};
            const auto p = index.constFind(parent);
            if (p == index.cend())
                return Fault{d.line, QStringLiteral("the parent %1 of %2 has no outcomes")
                                         .arg(quoted(parent), quoted(d.id))};
            if (parent == d.id)
                return Fault{d.line,
                             QStringLiteral("%1 is named as its own parent").arg(quoted(d.id))};
            if (named.contains(parent))
                return Fault{d.line, QStringLiteral("%1 is named twice as a parent of %2")
                                         .arg(quoted(parent), quoted(d.id))};
            named.insert(parent);
            if (size <= tableLimit)
                size *= network.variables.at(*p).states.size();
        }
        variable.parents = d.parents;
        if (types.value(d.id) != u"nature")
            continue; // decisions and utilities have no probabilities
        if (!d.hasTable)
            return Fault{d.line,
                         QStringLiteral("the definition of %1 has no <TABLE>").arg(quoted(d.id))};
        if (size > tableLimit - total)
            return Fault{d.line, QStringLiteral("the tables hold more than %1 probabilities, more "
                                                "than this program reads")
                                     .arg(tableLimit)};
        total += size;
        if (auto fault = numbersOf(d, size, &variable.table))
            return fault;
        tables.append({&variable, &d});
    }
    // Where each table stands in the file, in bytes: from the end of its start tag to its end tag.
    for (const auto &[variable, d] : tables) {
        const QByteArrayView bytes = parser.bytes();
        const qsizetype begin = parser.byteOffset(d->tableBegin);
        const qsizetype endTag = parser.byteOffset(d->tableEndTag);
        const qsizetype end = endTag >= 2 ? bytes.first(endTag - 1).lastIndexOf("</") : -1;
        if (begin < 1 || end < begin || bytes[begin - 1] != '>')
            return Fault{d->tableLine, QStringLiteral("the place of the table of %1 in the file "
                                                      "cannot be told")
                                           .arg(quoted(d->id))};
        variable->tableBegin = begin;
        variable->tableEnd = end;
    }
    return std::nullopt;
}

// Text for an XML element: markup escaped, a carriage return kept as a reference, and what XML
// cannot hold (control characters, lone surrogates) as U+FFFD.
QByteArray xmlText(const QString &text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
        } else if (c == u'&') {
            result += u"&amp;";
        } else if (c == u'<') {
            result += u"&lt;";
        } else if (c == u'>') {
            result += u"&gt;";
        } else if (c == u'\r') {
            result += u"&#13;";
        } else if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n') || c.isSurrogate() ||
                   c.unicode() >= 0xFFFE) {
            result += QChar(QChar::ReplacementCharacter);
        } else {
            result += c;
        }
    }
    return result.toUtf8();
}

QByteArray rowText(const QStringList &row)
{
    return row.join(u' ').toUtf8();
}

bool isSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

QByteArray lineEndOf(QByteArrayView file)
{
    const qsizetype at = file.indexOf('\n');
    const qsizetype cr = file.indexOf('\r');
    if (cr >= 0 && (at < 0 || cr < at))
        return cr + 1 < file.size() && file[cr + 1] == '\n' ? "\r\n" : "\r";
    return "\n";
}

} // namespace

Result<Network> readXmlBif(QByteArrayView bytes, const QString &fileName)
{
    Parser parser(bytes);
    if (!parser.parse())
        return networkFileFault(fileName, parser.fault().line, parser.fault().what);
    Network network;
    network.format = NetworkFormat::XmlBif;
    network.name = parser.network;
    if (const auto fault = resolve(parser, network))
        return networkFileFault(fileName, fault->line, fault->what);
    return network;
}

QByteArray writeXmlBif(const NetworkExport &network)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<BIF VERSION=\"0.3\">\n"
                      "<NETWORK>\n"
                      "<NAME>" +
                      xmlText(network.name.isEmpty() ? QStringLiteral("unknown") : network.name) +
                      "</NAME>\n";
    for (const ExportVariable &v : network.variables) {
        text += "<VARIABLE TYPE=\"nature\">\n    <NAME>" + xmlText(v.id) + "</NAME>\n";
        for (const QString &state : v.states)
            text += "    <OUTCOME>" + xmlText(state) + "</OUTCOME>\n";
        // The name as typed, unless an "=" in it would make the property hard to read back.
        if (!v.label.isEmpty() && !v.label.contains(u'='))
            text += "    <PROPERTY>label = " + xmlText(v.label) + "</PROPERTY>\n";
        text += "</VARIABLE>\n";
    }
    for (const ExportVariable &v : network.variables) {
        text += "<DEFINITION>\n    <FOR>" + xmlText(v.id) + "</FOR>\n";
        for (const QString &parent : v.parents)
            text += "    <GIVEN>" + xmlText(parent) + "</GIVEN>\n";
        if (v.rows.size() == 1) {
            text += "    <TABLE>" + rowText(v.rows.first()) + "</TABLE>\n";
        } else {
            text += "    <TABLE>\n";
            for (const QStringList &row : v.rows)
                text += "        " + rowText(row) + '\n';
            text += "    </TABLE>\n";
        }
        text += "</DEFINITION>\n";
    }
    return text + "</NETWORK>\n</BIF>\n";
}

QByteArray xmlbifTableText(QByteArrayView file, const Network &, const NetworkVariable &variable,
                           const QList<QStringList> &rows)
{
    // The white space before the first number and after the last stays; rows go one to a line,
    // indented as the first number was, where the numbers took several lines, else side by side.
    const QByteArrayView old =
        file.sliced(variable.tableBegin, variable.tableEnd - variable.tableBegin);
    qsizetype first = 0;
    while (first < old.size() && isSpaceByte(old[first]))
        ++first;
    qsizetype last = old.size();
    while (last > first && isSpaceByte(old[last - 1]))
        --last;
    const QByteArrayView inner = old.sliced(first, last - first);
    QByteArray separator = " ";
    if (inner.contains('\n') || inner.contains('\r')) {
        const QByteArrayView lead = old.first(first);
        qsizetype from = 0;
        for (qsizetype i = 0; i < lead.size(); ++i)
            if (isLineBreak(lead[i]))
                from = i + 1;
        QByteArrayView indent = lead.sliced(from);
        if (from == 0) {
            qsizetype i = inner.indexOf('\n');
            const qsizetype cr = inner.indexOf('\r');
            if (i < 0 || (cr >= 0 && cr < i))
                i = cr;
            while (i < inner.size() && isLineBreak(inner[i]))
                ++i;
            from = i;
            while (i < inner.size() && (inner[i] == ' ' || inner[i] == '\t'))
                ++i;
            indent = inner.sliced(from, i - from);
        }
        separator = lineEndOf(file) + indent.toByteArray();
    }
    QByteArray text = old.first(first).toByteArray();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += separator;
        text += rowText(rows.at(r));
    }
    return text + old.sliced(last).toByteArray();
}

} // namespace vadazaz
