#include "core/network/net_format.h"

#include <QHash>
#include <QSet>

#include <charconv>
#include <cmath>
#include <limits>

// A NET file: a "net { … }" block of attributes, then "node" declarations and "potential"s, each
// a block of "name = value;" attributes, with "%" comments to the end of a line. A discrete chance
// node's table is its potential's "data": nested lists, the first parent outermost and the node's
// own states innermost, which is the program's own order, so the numbers are read as they stand.

namespace vadazaz {

namespace {

enum class TokenKind { End, Punct, String, Word, OpenString };

struct Token
{
    TokenKind kind = TokenKind::End;
    QByteArrayView text;
    qsizetype begin = 0; // byte offsets in the text the lexer reads
    qsizetype end = 0;
    int line = 1;
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isPunct(char c)
{
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '=' || c == ';' || c == '|' ||
           c == ',';
}

// Splits NET text into tokens, skipping white space and comments. CR LF, LF and a lone CR each
// end a line.
class Lexer
{
public:
    explicit Lexer(QByteArrayView bytes) : bytes_(bytes)
    {
        if (bytes_.startsWith("\xEF\xBB\xBF"))
            at_ = 3;
    }

    // The next token; the end of the text stands on the line of the last token.
    Token next()
    {
        const int lastLine = line_;
        skipSpace();
        Token token;
        token.begin = at_;
        token.line = line_;
        if (at_ >= bytes_.size()) {
            token.end = at_;
            token.line = lastLine;
            return token;
        }
        const char c = bytes_[at_];
        if (isPunct(c)) {
            token.kind = TokenKind::Punct;
            ++at_;
        } else if (c == '"') {
            token.kind = TokenKind::OpenString;
            ++at_;
            while (at_ < bytes_.size()) {
                const char d = bytes_[at_];
                if (d == '"') {
                    token.kind = TokenKind::String;
                    ++at_;
                    break;
                }
                if (d == '\\' && at_ + 1 < bytes_.size() &&
                    (bytes_[at_ + 1] == '"' || bytes_[at_ + 1] == '\\'))
                    ++at_;
                else
                    countLine();
                ++at_;
            }
        } else {
            token.kind = TokenKind::Word;
            while (at_ < bytes_.size() && !isSpace(bytes_[at_]) && !isPunct(bytes_[at_]) &&
                   bytes_[at_] != '"' && bytes_[at_] != '%')
                ++at_;
        }
        token.end = at_;
        token.text = bytes_.sliced(token.begin, token.end - token.begin);
        return token;
    }

private:
    // Counts the line end at at_, if there is one: CR LF counts at its LF.
    void countLine()
    {
        const char c = bytes_[at_];
        if (c == '\n' || (c == '\r' && (at_ + 1 >= bytes_.size() || bytes_[at_ + 1] != '\n')))
            ++line_;
    }

    void skipSpace()
    {
        while (at_ < bytes_.size()) {
            const char c = bytes_[at_];
            if (c == '%') {
                while (at_ < bytes_.size() && bytes_[at_] != '\n' && bytes_[at_] != '\r')
                    ++at_;
            } else if (isSpace(c)) {
                countLine();
                ++at_;
            } else {
                return;
            }
        }
    }

    QByteArrayView bytes_;
    qsizetype at_ = 0;
    int line_ = 1;
};

struct Fault
{
    int line;
    QString what;
};

// A piece of the file as a message shows it: on one line, and not too long.
QString shown(QByteArrayView text)
{
    QString s = QString::fromUtf8(text.first(std::min<qsizetype>(text.size(), 40)));
    for (QChar &c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return text.size() > 40 ? s + QStringLiteral("...") : s;
}

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c & 0x80) != 0;
}

bool isName(QByteArrayView word)
{
    if (word.isEmpty() || !isNameStart(word[0]))
        return false;
    for (const char c : word) {
        if (!isNameStart(c) && !(c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

std::optional<double> numberOf(QByteArrayView word)
{
    const char *begin = word.data();
    const char *end = begin + word.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The text of a string token, its quotes removed and its escapes undone.
QString stringOf(QByteArrayView token)
{
    QByteArray text;
    const QByteArrayView inside = token.sliced(1, token.size() - 2);
    for (qsizetype i = 0; i < inside.size(); ++i) {
        if (inside[i] == '\\' && i + 1 < inside.size() &&
            (inside[i + 1] == '"' || inside[i + 1] == '\\'))
            ++i;
        text += inside[i];
    }
    return QString::fromUtf8(text);
}

// The length a table must have, or max() when it is larger than any file.
qsizetype tableSize(qsizetype states, const QList<qsizetype> &parentStates)
{
    qsizetype size = states;
    for (const qsizetype n : parentStates) {
        if (size > networkInputLimit / std::max<qsizetype>(n, 1))
            return std::numeric_limits<qsizetype>::max();
        size *= n;
    }
    return size;
}

QString tableLengthFault(const QString &id, qsizetype found, qsizetype states, bool parents,
                         qsizetype expected)
{
    const QString asked = expected == std::numeric_limits<qsizetype>::max()
                              ? QStringLiteral("more than %1").arg(networkInputLimit)
                              : QString::number(expected);
    return (parents ? QStringLiteral("the table of \"%1\" holds %2 numbers, but its %3 states "
                                     "and its parents' states ask for %4")
                    : QStringLiteral("the table of \"%1\" holds %2 numbers, but its %3 states "
                                     "ask for %4"))
        .arg(id)
        .arg(found)
        .arg(states)
        .arg(asked);
}

struct Node
{
    NetworkVariable variable;
    bool discrete = true; // it has states
    bool chance = true;   // a discrete chance node: its potential holds a probability table
};

struct Potential
{
    int line = 0;
    QString head;
    QStringList parents;
    bool hasData = false;
    bool hasModel = false; // the table is made from an expression
    std::vector<double> numbers;
    qsizetype begin = -1;
    qsizetype end = -1;
    int dataLine = 0;
    QString notANumber; // the first entry of the data that is not a number
    int notANumberLine = 0;
};

class Parser
{
public:
    explicit Parser(QByteArrayView bytes) : lexer_(bytes) { advance(); }

    Network parse()
    {
        if (isWord("class"))
            throw Fault{current_.line,
                        QStringLiteral("this NET file holds a class (an object-oriented network); "
                                       "only plain networks can be read")};
        if (!isWord("net"))
            throw Fault{current_.line,
                        QStringLiteral("this is not a NET file: it does not begin with \"net\"")};
        advance();
        expect('{');
        while (!blockEnds()) {
            const QByteArrayView name = attributeName();
            if (name == "name") {
                readValue([&](const Token &t) {
                    if (network_.name.isEmpty())
                        network_.name = t.kind == TokenKind::String ? stringOf(t.text)
                                                                    : QString::fromUtf8(t.text);
                });
            } else {
                readValue([](const Token &) {});
            }
        }
        advance();
        skipSemicolon();
        while (current_.kind != TokenKind::End) {
            if (isWord("potential"))
                potential();
            else
                node();
        }
        return resolve();
    }

private:
    void advance()
    {
        current_ = lexer_.next();
        if (current_.kind == TokenKind::OpenString)
            throw Fault{current_.line,
                        QStringLiteral("the string that begins on this line has no closing quote")};
    }

    bool isWord(const char *word) const
    {
        return current_.kind == TokenKind::Word && current_.text == word;
    }

    bool isPunct(char c) const
    {
        return current_.kind == TokenKind::Punct && current_.text[0] == c;
    }

    [[noreturn]] void unexpected(const QString &expected) const
    {
        if (current_.kind == TokenKind::End)
            throw Fault{current_.line,
                        QStringLiteral("the file is cut short: it ends where %1 should follow")
                            .arg(expected)};
        throw Fault{
            current_.line,
            QStringLiteral("expected %1 but found \"%2\"").arg(expected, shown(current_.text))};
    }

    void expect(char c)
    {
        if (!isPunct(c))
            unexpected(QStringLiteral("\"%1\"").arg(QLatin1Char(c)));
        advance();
    }

    // Whether the "}" of a block stands next; the file must not end before it.
    bool blockEnds() const
    {
        if (current_.kind == TokenKind::End)
            unexpected(QStringLiteral("\"}\""));
        return isPunct('}');
    }

    void skipSemicolon()
    {
        if (isPunct(';'))
            advance();
    }

    Token name()
    {
        if (current_.kind != TokenKind::Word)
            unexpected(QStringLiteral("a name"));
        if (!isName(current_.text))
            throw Fault{current_.line,
                        QStringLiteral("\"%1\" is not a valid name: a name begins with a letter or "
                                       "\"_\" and holds only letters, digits and \"_\"")
                            .arg(shown(current_.text))};
        const Token token = current_;
        advance();
        return token;
    }

    // The name of an attribute and its "=".
    QByteArrayView attributeName()
    {
        const QByteArrayView text = name().text;
        expect('=');
        return text;
    }

    // Reads a value up to its ";" and hands each string, name and number in it to the function.
    // Answers where the value stands in the file.
    template <typename Function> std::pair<qsizetype, qsizetype> readValue(Function onItem)
    {
        const qsizetype begin = current_.begin;
        qsizetype end = begin;
        int depth = 0;
        for (;;) {
            if (current_.kind == TokenKind::End)
                unexpected(depth > 0 ? QStringLiteral("\")\"") : QStringLiteral("\";\""));
            if (current_.kind == TokenKind::Punct) {
                const char c = current_.text[0];
                if (c == ';' && depth == 0)
                    break;
                if (c == '(' && ++depth > networkNestingLimit)
                    throw Fault{current_.line,
                                QStringLiteral("the brackets are nested deeper than %1 levels")
                                    .arg(networkNestingLimit)};
                if (c == ')' && --depth < 0)
                    unexpected(QStringLiteral("\";\""));
                if (c == '{' || c == '}' || c == ';')
                    unexpected(depth > 0 ? QStringLiteral("\")\"") : QStringLiteral("\";\""));
            } else {
                onItem(current_);
            }
            end = current_.end;
            advance();
        }
        if (depth != 0)
            unexpected(QStringLiteral("\")\""));
        advance();
        return {begin, end};
    }

    void node()
    {
        Node node;
        bool discreteWord = false, continuous = false, function = false;
        while (current_.kind == TokenKind::Word && !isWord("node")) {
            if (isWord("discrete")) {
                discreteWord = true;
            } else if (isWord("continuous")) {
                continuous = true;
            } else if (isWord("decision") || isWord("utility")) {
                node.chance = false;
                if (isWord("utility"))
                    continuous = true;
            } else if (isWord("function")) {
                function = true;
                node.chance = false;
            } else if (!isWord("chance")) {
                break;
            }
            advance();
        }
        if (!isWord("node"))
            unexpected(QStringLiteral("\"node\" or \"potential\""));
        advance();
        const Token id = name();
        node.variable.id = QString::fromUtf8(id.text);
        node.variable.line = id.line;
        node.discrete = !continuous && (discreteWord || !function);
        node.chance = node.chance && node.discrete;
        expect('{');
        while (!blockEnds()) {
            const QByteArrayView attribute = attributeName();
            if (attribute == "states") {
                QStringList states;
                readValue([&](const Token &t) {
                    states.append(t.kind == TokenKind::String ? stringOf(t.text)
                                                              : QString::fromUtf8(t.text));
                });
                node.variable.states = states;
            } else if (attribute == "label") {
                QString label;
                readValue([&](const Token &t) {
                    if (t.kind == TokenKind::String && label.isEmpty())
                        label = stringOf(t.text);
                });
                node.variable.label = label;
            } else {
                readValue([](const Token &) {});
            }
        }
        advance();
        skipSemicolon();
        nodes_.append(std::move(node));
    }

    void potential()
    {
        Potential potential;
        potential.line = current_.line;
        advance();
        expect('(');
        QStringList head;
        while (current_.kind == TokenKind::Word)
            head.append(QString::fromUtf8(name().text));
        if (isPunct('|')) {
            advance();
            while (current_.kind == TokenKind::Word)
                potential.parents.append(QString::fromUtf8(name().text));
        }
        expect(')');
        if (head.size() > 1)
            throw Fault{potential.line,
                        QStringLiteral("the potential names %1 nodes before \"|\"; a potential "
                                       "belongs to one node")
                            .arg(head.size())};
        potential.head = head.value(0);
        expect('{');
        while (!blockEnds()) {
            const int line = current_.line;
            const QByteArrayView attribute = attributeName();
            if (attribute == "data") {
                if (potential.hasData)
                    throw Fault{line, QStringLiteral("the potential has a second \"data\"")};
                potential.hasData = true;
                potential.dataLine = current_.line;
                const auto [begin, end] = readValue([&](const Token &t) {
                    if (!potential.notANumber.isEmpty())
                        return;
                    const std::optional<double> number =
                        t.kind == TokenKind::Word ? numberOf(t.text) : std::nullopt;
                    if (number) {
                        potential.numbers.push_back(*number);
                    } else {
                        potential.notANumber = shown(t.text);
                        potential.notANumberLine = t.line;
                    }
                });
                potential.begin = begin;
                potential.end = end;
            } else {
                if (attribute == "model_data" || attribute == "model_nodes")
                    potential.hasModel = true;
                readValue([](const Token &) {});
            }
        }
        advance();
        skipSemicolon();
        if (!potential.head.isEmpty()) // an old-style utility potential names no node
            potentials_.append(std::move(potential));
    }

    Network resolve()
    {
        QHash<QString, qsizetype> index;
        for (qsizetype i = 0; i < nodes_.size(); ++i) {
            NetworkVariable &v = nodes_[i].variable;
            if (index.contains(v.id))
                throw Fault{v.line, QStringLiteral("the node \"%1\" is declared twice (first on "
                                                   "line %2)")
                                        .arg(v.id)
                                        .arg(nodes_.at(index.value(v.id)).variable.line)};
            index.insert(v.id, i);
            if (!nodes_.at(i).discrete)
                v.states = QStringList{QStringLiteral("value")};
            else if (v.states.isEmpty())
                throw Fault{v.line, QStringLiteral("the node \"%1\" has no states").arg(v.id)};
            v.stateLabels = QStringList(v.states.size(), QString());
        }
        QHash<QString, int> potentialLine;
        for (Potential &p : potentials_) {
            if (!index.contains(p.head))
                throw Fault{p.line, QStringLiteral("the potential names the node \"%1\", which "
                                                   "is not declared")
                                        .arg(p.head)};
            if (potentialLine.contains(p.head))
                throw Fault{p.line, QStringLiteral("the node \"%1\" has a second potential (the "
                                                   "first is on line %2)")
                                        .arg(p.head)
                                        .arg(potentialLine.value(p.head))};
            potentialLine.insert(p.head, p.line);
            Node &node = nodes_[index.value(p.head)];
            QList<qsizetype> parentStates;
            QSet<QString> seen;
            for (const QString &parent : p.parents) {
                if (!index.contains(parent))
                    throw Fault{p.line, QStringLiteral("the potential of \"%1\" names the parent "
                                                       "\"%2\", which is not declared")
                                            .arg(p.head, parent)};
                if (parent == p.head)
                    throw Fault{p.line,
                                QStringLiteral("the node \"%1\" is its own parent").arg(p.head)};
                if (seen.contains(parent))
                    throw Fault{p.line, QStringLiteral("the potential of \"%1\" names \"%2\" "
                                                       "twice")
                                            .arg(p.head, parent)};
                seen.insert(parent);
                const Node &parentNode = nodes_.at(index.value(parent));
                if (node.chance && !parentNode.discrete)
                    throw Fault{p.line, QStringLiteral("the discrete node \"%1\" has the parent "
                                                       "\"%2\", which has no states")
                                            .arg(p.head, parent)};
                parentStates.append(parentNode.variable.states.size());
            }
            node.variable.parents = p.parents;
            if (!node.chance || !p.hasData || p.hasModel)
                continue; // no probability table, or one the file makes from an expression
            if (!p.notANumber.isEmpty())
                throw Fault{p.notANumberLine,
                            QStringLiteral("\"%1\" in the table of \"%2\" is not a number")
                                .arg(p.notANumber, p.head)};
            const qsizetype states = node.variable.states.size();
            const qsizetype expected = tableSize(states, parentStates);
            const qsizetype found = qsizetype(p.numbers.size());
            if (found != expected)
                throw Fault{p.dataLine, tableLengthFault(p.head, found, states,
                                                         !p.parents.isEmpty(), expected)};
            node.variable.table = std::move(p.numbers);
            node.variable.tableBegin = p.begin;
            node.variable.tableEnd = p.end;
        }
        network_.format = NetworkFormat::Net;
        for (Node &node : nodes_)
            network_.variables.append(std::move(node.variable));
        return std::move(network_);
    }

    Lexer lexer_;
    Token current_;
    Network network_;
    QList<Node> nodes_;
    QList<Potential> potentials_;
};

QByteArray quotedString(const QString &text)
{
    QByteArray out("\"");
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += (uchar(c) < 0x20 || c == 0x7F) ? ' ' : c;
    }
    return out + '"';
}

// The rows as nested lists, the first parent outermost: on one line, or with each innermost list
// on a line of its own that begins with the indent.
QByteArray dataText(const QList<qsizetype> &radices, const QList<QStringList> &rows,
                    const QByteArray &lineBreak, qsizetype indent)
{
    qsizetype count = 1;
    for (const qsizetype n : radices)
        count *= n;
    QList<qsizetype> digits(radices.size(), 0);
    if (count != rows.size()) { // not the shape of the parents: one flat list
        QByteArrayList all;
        for (const QStringList &row : rows) {
            for (const QString &cell : row)
                all.append(cell.toUtf8());
        }
        return '(' + all.join(' ') + ')';
    }
    const qsizetype levels = radices.size() + 1;
    QByteArray out;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        qsizetype open = 1, close = 1;
        for (qsizetype j = radices.size() - 1; j >= 0 && digits.at(j) == 0; --j)
            ++open;
        for (qsizetype j = radices.size() - 1; j >= 0 && digits.at(j) == radices.at(j) - 1; --j)
            ++close;
        if (r == 0)
            open = levels;
        else if (!lineBreak.isEmpty())
            out += lineBreak + QByteArray(indent + levels - open, ' ');
        QByteArrayList cells;
        for (const QString &cell : rows.at(r))
            cells.append(cell.toUtf8());
        out += QByteArray(open, '(') + cells.join(' ') + QByteArray(close, ')');
        for (qsizetype j = radices.size() - 1; j >= 0; --j) {
            if (++digits[j] < radices.at(j))
                break;
            digits[j] = 0;
        }
    }
    return out;
}

} // namespace

Result<Network> readNet(QByteArrayView bytes, const QString &fileName)
{
    try {
        Parser parser(bytes);
        return parser.parse();
    } catch (const Fault &fault) {
        return networkFileFault(fileName, fault.line, fault.what);
    }
}

QByteArray writeNet(const NetworkExport &network)
{
    QByteArray out = "net\n{\n    name = " + quotedString(network.name) + ";\n}\n";
    for (const ExportVariable &v : network.variables) {
        QByteArrayList states;
        for (const QString &state : v.states)
            states.append(quotedString(state));
        out += "\nnode " + v.id.toUtf8() + "\n{\n    label = " + quotedString(v.label) +
               ";\n    states = (" + states.join(' ') + ");\n}\n";
    }
    for (const ExportVariable &v : network.variables) {
        QList<qsizetype> radices;
        for (const QString &parent : v.parents) {
            for (const ExportVariable &p : network.variables) {
                if (p.id == parent)
                    radices.append(p.states.size());
            }
        }
        out += "\npotential (" + v.id.toUtf8();
        if (!v.parents.isEmpty())
            out += " | " + v.parents.join(QLatin1Char(' ')).toUtf8();
        const QByteArray start = "    data = ";
        out += ")\n{\n" + start + dataText(radices, v.rows, "\n", start.size()) + ";\n}\n";
    }
    return out;
}

QByteArray netTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows)
{
    QByteArrayList texts;
    for (const QStringList &row : rows) {
        for (const QString &cell : row)
            texts.append(cell.toUtf8());
    }
    // The numbers of the old table give way to the new ones; the brackets, spaces, line ends and
    // comments between them stay as they are.
    if (variable.tableBegin >= 0 && variable.tableBegin <= variable.tableEnd &&
        variable.tableEnd <= file.size()) {
        const QByteArrayView span =
            file.sliced(variable.tableBegin, variable.tableEnd - variable.tableBegin);
        Lexer lexer(span);
        QByteArray out;
        qsizetype copied = 0, k = 0;
        bool fits = true;
        for (Token t = lexer.next(); fits && t.kind != TokenKind::End; t = lexer.next()) {
            if (t.kind == TokenKind::Word && k < texts.size()) {
                out += span.sliced(copied, t.begin - copied);
                out += texts.at(k++);
                copied = t.end;
            } else if (t.kind != TokenKind::Punct) {
                fits = false;
            }
        }
        if (fits && k == texts.size())
            return out.append(span.sliced(copied));
    }
    QList<qsizetype> radices;
    for (const QString &parent : variable.parents) {
        const NetworkVariable *p = network.variable(parent);
        radices.append(p ? p->states.size() : 0);
    }
    return dataText(radices, rows, QByteArray(), 0);
}

} // namespace vadazaz
