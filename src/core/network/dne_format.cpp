#include "core/network/dne_format.h"

#include <QHash>
#include <QSet>

#include <charconv>
#include <cmath>
#include <limits>

// A DNE file: "bnet NAME { … };" holding "name = value;" fields, "node NAME { … };" blocks and
// blocks the program does not use ("visual V1 { … };"), with "//" comments to the end of a line.
// A node's "probs" are its table: the first parent slowest, the node's own states fastest, flat
// or nested, which is the program's own order, so the numbers are read as they stand.

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
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '=' || c == ';' || c == ',';
}

// Splits DNE text into tokens, skipping white space and comments. CR LF, LF and a lone CR each
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
                if (d == '\\' && at_ + 1 < bytes_.size())
                    ++at_;
                countLine();
                ++at_;
            }
        } else {
            token.kind = TokenKind::Word;
            while (at_ < bytes_.size() && !isSpace(bytes_[at_]) && !isPunct(bytes_[at_]) &&
                   bytes_[at_] != '"' && !isComment())
                ++at_;
        }
        token.end = at_;
        token.text = bytes_.sliced(token.begin, token.end - token.begin);
        return token;
    }

private:
    bool isComment() const
    {
        return bytes_[at_] == '/' && at_ + 1 < bytes_.size() && bytes_[at_ + 1] == '/';
    }

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
            if (isComment()) {
                while (at_ < bytes_.size() && bytes_[at_] != '\n' && bytes_[at_] != '\r')
                    ++at_;
            } else if (isSpace(bytes_[at_])) {
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

constexpr qsizetype nameLimit = 30;

bool isName(QByteArrayView word)
{
    const auto letter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (word.isEmpty() || word.size() > nameLimit || !letter(word[0]))
        return false;
    for (const char c : word) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_')
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

// The text of a string token, its quotes removed and its escapes undone; a backslash at the end
// of a line continues the string on the next.
QString stringOf(QByteArrayView token)
{
    QByteArray text;
    const QByteArrayView inside = token.sliced(1, token.size() - 2);
    for (qsizetype i = 0; i < inside.size(); ++i) {
        char c = inside[i];
        if (c == '\\' && i + 1 < inside.size()) {
            c = inside[++i];
            if (c == '\r' && i + 1 < inside.size() && inside[i + 1] == '\n')
                ++i;
            if (c == '\r' || c == '\n')
                continue;
            c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
        text += c;
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
    QByteArray kind = "NATURE";
    QByteArray chance = "CHANCE";
    std::optional<bool> discrete;
    bool hasStates = false;
    std::optional<QStringList> stateTitles;
    QStringList levels;
    bool hasProbs = false;
    std::vector<double> numbers;
    qsizetype begin = -1;
    qsizetype end = -1;
    int probsLine = 0;
    QString notANumber; // the first entry of the probabilities that is not a number
    int notANumberLine = 0;
};

class Parser
{
public:
    explicit Parser(QByteArrayView bytes) : lexer_(bytes) { advance(); }

    Network parse()
    {
        if (!isWord("bnet"))
            throw Fault{current_.line,
                        QStringLiteral("this is not a DNE file: it does not begin with \"bnet\"")};
        advance();
        network_.name = QString::fromUtf8(name().text);
        expect('{');
        while (!blockEnds()) {
            if (isWord("node"))
                node();
            else
                skipStatement();
        }
        advance();
        skipSemicolon();
        if (current_.kind != TokenKind::End)
            unexpected(QStringLiteral("the end of the file"));
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

    void checkName(const Token &token) const
    {
        if (token.kind != TokenKind::Word || !isName(token.text))
            throw Fault{token.line,
                        QStringLiteral("\"%1\" is not a valid name: a name begins with a letter "
                                       "and holds at most %2 letters, digits and \"_\"")
                            .arg(shown(token.text))
                            .arg(nameLimit)};
    }

    Token name()
    {
        if (current_.kind != TokenKind::Word)
            unexpected(QStringLiteral("a name"));
        checkName(current_);
        const Token token = current_;
        advance();
        return token;
    }

    // Reads what stands up to the ";" that ends a statement, over brackets and braces, and hands
    // each string, name and number in it to the function. Answers where it stands in the file.
    template <typename Function> std::pair<qsizetype, qsizetype> readValue(Function onItem)
    {
        const qsizetype begin = current_.begin;
        qsizetype end = begin;
        QByteArray open; // the brackets and braces not yet closed
        for (;;) {
            if (current_.kind == TokenKind::End)
                unexpected(open.isEmpty()       ? QStringLiteral("\";\"")
                           : open.endsWith('(') ? QStringLiteral("\")\"")
                                                : QStringLiteral("\"}\""));
            if (current_.kind == TokenKind::Punct) {
                const char c = current_.text[0];
                if (c == ';' && open.isEmpty())
                    break;
                if (c == '(' || c == '{') {
                    if (open.size() >= networkNestingLimit)
                        throw Fault{current_.line,
                                    QStringLiteral("the brackets are nested deeper than %1 levels")
                                        .arg(networkNestingLimit)};
                    open += c;
                } else if (c == ')' || c == '}') {
                    if (!open.endsWith(c == ')' ? '(' : '{'))
                        unexpected(open.isEmpty()       ? QStringLiteral("\";\"")
                                   : open.endsWith('(') ? QStringLiteral("\")\"")
                                                        : QStringLiteral("\"}\""));
                    open.chop(1);
                }
            } else {
                onItem(current_);
            }
            end = current_.end;
            advance();
        }
        advance();
        return {begin, end};
    }

    void skipStatement()
    {
        readValue([](const Token &) {});
    }

    // The names of a list such as "(A, B)".
    QStringList names()
    {
        QStringList list;
        readValue([&](const Token &t) {
            checkName(t);
            list.append(QString::fromUtf8(t.text));
        });
        return list;
    }

    QByteArray word()
    {
        QByteArray text;
        readValue([&](const Token &t) {
            if (text.isEmpty())
                text = t.text.toByteArray();
        });
        return text;
    }

    void node()
    {
        advance();
        Node node;
        const Token id = name();
        node.variable.id = QString::fromUtf8(id.text);
        node.variable.line = id.line;
        expect('{');
        while (!blockEnds()) {
            if (current_.kind != TokenKind::Word)
                unexpected(QStringLiteral("a name"));
            const Token field = current_;
            advance();
            if (!isPunct('=')) { // a block such as "visual V1 { … };"
                skipStatement();
                continue;
            }
            advance();
            if (field.text == "kind") {
                node.kind = word();
            } else if (field.text == "chance") {
                node.chance = word();
            } else if (field.text == "discrete") {
                node.discrete = word() == "TRUE";
            } else if (field.text == "states") {
                node.variable.states = names();
                node.hasStates = true;
            } else if (field.text == "parents") {
                node.variable.parents = names();
            } else if (field.text == "title") {
                readValue([&](const Token &t) {
                    if (t.kind == TokenKind::String && node.variable.label.isEmpty())
                        node.variable.label = stringOf(t.text);
                });
            } else if (field.text == "statetitles") {
                QStringList titles;
                readValue([&](const Token &t) {
                    titles.append(t.kind == TokenKind::String ? stringOf(t.text)
                                                              : QString::fromUtf8(t.text));
                });
                node.stateTitles = titles;
            } else if (field.text == "levels") {
                node.levels.clear();
                readValue([&](const Token &t) { node.levels.append(QString::fromUtf8(t.text)); });
            } else if (field.text == "probs") {
                if (node.hasProbs)
                    throw Fault{field.line, QStringLiteral("the node \"%1\" has a second "
                                                           "\"probs\"")
                                                .arg(node.variable.id)};
                node.hasProbs = true;
                node.probsLine = current_.line;
                const auto [begin, end] = readValue([&](const Token &t) {
                    if (!node.notANumber.isEmpty())
                        return;
                    const std::optional<double> number =
                        t.kind == TokenKind::Word ? numberOf(t.text) : std::nullopt;
                    if (number) {
                        node.numbers.push_back(*number);
                    } else {
                        node.notANumber = shown(t.text);
                        node.notANumberLine = t.line;
                    }
                });
                node.begin = begin;
                node.end = end;
            } else {
                skipStatement();
            }
        }
        advance();
        skipSemicolon();
        nodes_.append(std::move(node));
    }

    Network resolve()
    {
        QHash<QString, qsizetype> index;
        for (qsizetype i = 0; i < nodes_.size(); ++i) {
            Node &node = nodes_[i];
            NetworkVariable &v = node.variable;
            if (index.contains(v.id))
                throw Fault{v.line, QStringLiteral("the node \"%1\" is declared twice (first on "
                                                   "line %2)")
                                        .arg(v.id)
                                        .arg(nodes_.at(index.value(v.id)).variable.line)};
            index.insert(v.id, i);
            const bool discrete = node.discrete.value_or(node.hasStates);
            if (discrete && v.states.isEmpty())
                throw Fault{v.line, QStringLiteral("the node \"%1\" has no states").arg(v.id)};
            if (!discrete && v.states.isEmpty()) {
                // A continuous node: its intervals, if it has any, are its states.
                for (qsizetype k = 1; k < node.levels.size(); ++k)
                    v.states.append(QStringLiteral("range%1").arg(k));
                if (v.states.isEmpty())
                    v.states.append(QStringLiteral("value"));
            }
            if (node.stateTitles && node.stateTitles->size() != v.states.size())
                throw Fault{v.line, QStringLiteral("the node \"%1\" has %2 state titles for %3 "
                                                   "states")
                                        .arg(v.id)
                                        .arg(node.stateTitles->size())
                                        .arg(v.states.size())};
            v.stateLabels = node.stateTitles.value_or(QStringList(v.states.size(), QString()));
            if (!node.hasStates && v.states.size() + 1 == node.levels.size()) {
                for (qsizetype k = 0; k < v.states.size(); ++k) {
                    if (v.stateLabels.at(k).isEmpty())
                        v.stateLabels[k] = QStringLiteral("%1 to %2")
                                               .arg(node.levels.at(k), node.levels.at(k + 1));
                }
            }
            if (!(node.kind == "NATURE" || node.kind == "CHANCE") || !discrete ||
                node.chance == "DETERMIN")
                node.hasProbs = false; // no probability table
        }
        for (Node &node : nodes_) {
            NetworkVariable &v = node.variable;
            QList<qsizetype> parentStates;
            QSet<QString> seen;
            for (const QString &parent : v.parents) {
                if (!index.contains(parent))
                    throw Fault{v.line, QStringLiteral("the node \"%1\" names the parent \"%2\", "
                                                       "which is not declared")
                                            .arg(v.id, parent)};
                if (parent == v.id)
                    throw Fault{v.line,
                                QStringLiteral("the node \"%1\" is its own parent").arg(v.id)};
                if (seen.contains(parent))
                    throw Fault{v.line, QStringLiteral("the node \"%1\" names \"%2\" twice among "
                                                       "its parents")
                                            .arg(v.id, parent)};
                seen.insert(parent);
                parentStates.append(nodes_.at(index.value(parent)).variable.states.size());
            }
            if (!node.hasProbs)
                continue;
            if (!node.notANumber.isEmpty())
                throw Fault{node.notANumberLine,
                            QStringLiteral("\"%1\" in the table of \"%2\" is not a number")
                                .arg(node.notANumber, v.id)};
            const qsizetype states = v.states.size();
            const qsizetype expected = tableSize(states, parentStates);
            const qsizetype found = qsizetype(node.numbers.size());
            if (found != expected)
                throw Fault{node.probsLine,
                            tableLengthFault(v.id, found, states, !v.parents.isEmpty(), expected)};
            v.table = std::move(node.numbers);
            v.tableBegin = node.begin;
            v.tableEnd = node.end;
        }
        network_.format = NetworkFormat::Dne;
        for (Node &node : nodes_)
            network_.variables.append(std::move(node.variable));
        return std::move(network_);
    }

    Lexer lexer_;
    Token current_;
    Network network_;
    QList<Node> nodes_;
};

QByteArray quotedString(const QString &text)
{
    QByteArray out("\"");
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += (uchar(c) < 0x20 || c == 0x7F) ? ' ' : c;
    }
    return out + '"';
}

QByteArray padded(const QByteArray &text, qsizetype width)
{
    return text.size() >= width ? text : text + QByteArray(width - text.size(), ' ');
}

QByteArray trimmedEnd(QByteArray line)
{
    while (line.endsWith(' '))
        line.chop(1);
    return line;
}

// The probabilities as the value of "probs": one row of the node's states a line, each ended by
// a comment that names the parents' states of the row, under a comment that names the columns.
QByteArray probsText(const ExportVariable &v, const QList<const ExportVariable *> &parents)
{
    const QByteArray indent(8, ' ');
    QList<qsizetype> widths;
    for (qsizetype c = 0; c < v.states.size(); ++c) {
        qsizetype width = std::max<qsizetype>(13, v.states.at(c).size() + 1);
        for (const QStringList &row : v.rows)
            width = std::max<qsizetype>(width, row.value(c).size() + 3);
        widths.append(width + (c + 1 == v.states.size() ? 1 : 0));
    }
    QList<qsizetype> parentWidths;
    for (const ExportVariable *p : parents) {
        qsizetype width = std::max<qsizetype>(13, p->id.size() + 1);
        for (const QString &state : p->states)
            width = std::max<qsizetype>(width, state.size() + 1);
        parentWidths.append(width);
    }
    QByteArray header = indent + "// ";
    for (qsizetype c = 0; c < v.states.size(); ++c)
        header += padded(v.states.at(c).toUtf8(), widths.at(c));
    if (!parents.isEmpty()) {
        header += "// ";
        for (qsizetype j = 0; j < parents.size(); ++j)
            header += padded(parents.at(j)->id.toUtf8(), parentWidths.at(j));
    }
    QByteArray out = "\n" + trimmedEnd(header) + "\n";
    QList<qsizetype> digits(parents.size(), 0);
    for (qsizetype r = 0; r < v.rows.size(); ++r) {
        const bool last = r + 1 == v.rows.size();
        QByteArray line = indent + (r == 0 ? "  (" : "   ");
        for (qsizetype c = 0; c < v.states.size(); ++c) {
            const QByteArray cell = v.rows.at(r).value(c).toUtf8();
            const bool lastCell = c + 1 == v.states.size();
            line += padded(cell + (lastCell && last ? ");" : ","), widths.at(c));
        }
        if (!parents.isEmpty()) {
            line += "// ";
            for (qsizetype j = 0; j < parents.size(); ++j)
                line +=
                    padded(parents.at(j)->states.value(digits.at(j)).toUtf8(), parentWidths.at(j));
        }
        out += trimmedEnd(line) + (last ? "" : "\n");
        for (qsizetype j = parents.size() - 1; j >= 0; --j) {
            if (++digits[j] < parents.at(j)->states.size())
                break;
            digits[j] = 0;
        }
    }
    return out;
}

// The rows as nested lists on one line, the first parent outermost.
QByteArray nestedText(const QList<qsizetype> &radices, const QList<QStringList> &rows)
{
    const auto cells = [](const QStringList &row) {
        QByteArrayList list;
        for (const QString &cell : row)
            list.append(cell.toUtf8());
        return '(' + list.join(", ") + ')';
    };
    qsizetype count = 1;
    for (const qsizetype n : radices)
        count *= n;
    if (radices.isEmpty() || count != rows.size()) { // a root, or not the shape of the parents
        QStringList all;
        for (const QStringList &row : rows)
            all += row;
        return cells(all);
    }
    QByteArrayList level;
    for (const QStringList &row : rows)
        level.append(cells(row));
    for (qsizetype j = radices.size() - 1; j >= 0; --j) {
        QByteArrayList outer;
        for (qsizetype i = 0; i < level.size(); i += radices.at(j))
            outer.append('(' + level.mid(i, radices.at(j)).join(", ") + ')');
        level = outer;
    }
    return level.value(0);
}

} // namespace

Result<Network> readDne(QByteArrayView bytes, const QString &fileName)
{
    try {
        Parser parser(bytes);
        return parser.parse();
    } catch (const Fault &fault) {
        return networkFileFault(fileName, fault.line, fault.what);
    }
}

QByteArray writeDne(const NetworkExport &network)
{
    QByteArray out =
        "// ~->[DNET-1]->~\n\nbnet " + network.name.toUtf8() + " {\nautoupdate = TRUE;\n";
    for (const ExportVariable &v : network.variables) {
        QList<const ExportVariable *> parents;
        for (const QString &parent : v.parents) {
            for (const ExportVariable &p : network.variables) {
                if (p.id == parent)
                    parents.append(&p);
            }
        }
        QByteArrayList titles;
        for (const QString &title : v.stateLabels)
            titles.append(quotedString(title));
        out += "\nnode " + v.id.toUtf8() +
               " {\n"
               "    kind = NATURE;\n"
               "    discrete = TRUE;\n"
               "    chance = CHANCE;\n"
               "    states = (" +
               v.states.join(QStringLiteral(", ")).toUtf8() + ");\n    parents = (" +
               v.parents.join(QStringLiteral(", ")).toUtf8() +
               ");\n    probs =" + probsText(v, parents) +
               "\n    title = " + quotedString(v.label) + ";\n    statetitles = (" +
               titles.join(", ") + ");\n    };\n";
    }
    return out + "};\n";
}

QByteArray dneTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows)
{
    QByteArrayList texts;
    for (const QStringList &row : rows) {
        for (const QString &cell : row)
            texts.append(cell.toUtf8());
    }
    // The numbers of the old table give way to the new ones; the brackets, line ends and comments
    // between them stay, and the spaces after a number keep the columns where they can.
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
                const QByteArray &text = texts.at(k++);
                out += span.sliced(copied, t.begin - copied);
                out += text;
                copied = t.end;
                qsizetype at = t.end;
                while (at < span.size() && (span[at] == ',' || span[at] == ')'))
                    ++at;
                qsizetype spaces = 0;
                while (at + spaces < span.size() && span[at + spaces] == ' ')
                    ++spaces;
                const qsizetype after = at + spaces;
                if (spaces > 0 && after < span.size() && span[after] != '\n' &&
                    span[after] != '\r') {
                    const qsizetype keep =
                        std::max<qsizetype>(1, spaces - (text.size() - t.text.size()));
                    out.append(span.sliced(copied, at - copied)).append(QByteArray(keep, ' '));
                    copied = after;
                }
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
    return nestedText(radices, rows);
}

} // namespace vadazaz
