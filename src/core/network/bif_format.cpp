#include "core/network/bif_format.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace vadazaz {

namespace {

// The most probabilities that the tables of one file may hold together (as many as 64 MiB of
// numbers): a "default" row fills a table without writing its numbers out, so the file's size
// alone does not bound them.
constexpr qsizetype tableLimit = networkInputLimit / 8;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isPunctuation(char c)
{
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '[' || c == ']' || c == ';' ||
           c == ',' || c == '|';
}

bool isControl(char c)
{
    return (uchar(c) < 0x20 && !isSpace(c)) || c == 0x7f;
}

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// A name as the file writes it: a word where it can be one, else in quotes.
QByteArray nameText(const QString &name)
{
    const QByteArray bytes = name.toUtf8();
    bool word = !bytes.isEmpty();
    for (qsizetype i = 0; word && i < bytes.size(); ++i) {
        const char c = bytes[i];
        word = !isSpace(c) && !isPunctuation(c) && !isControl(c) && c != '"' &&
               !(c == '/' && i + 1 < bytes.size() && (bytes[i + 1] == '/' || bytes[i + 1] == '*'));
    }
    return word ? bytes : '"' + bytes + '"';
}

// The line (from 1) of a byte offset; CR LF, LF and a lone CR each end a line. Asked mostly in
// increasing order, so it counts on from the offset asked last.
class LineCounter
{
public:
    explicit LineCounter(QByteArrayView bytes) : bytes_(bytes) {}
    int at(qsizetype offset)
    {
        if (offset < pos_) {
            pos_ = 0;
            line_ = 1;
        }
        for (; pos_ < offset && pos_ < bytes_.size(); ++pos_) {
            const char c = bytes_[pos_];
            if (c == '\n' || (c == '\r' && (pos_ + 1 == bytes_.size() || bytes_[pos_ + 1] != '\n')))
                ++line_;
        }
        return line_;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

struct Token
{
    enum Kind { End, Punctuation, Word, Quoted, Control };
    Kind kind = End;
    qsizetype begin = 0; // the token's bytes, quotes included
    qsizetype end = 0;
    QByteArrayView text; // a word, or what stands between the quotes
    bool is(char c) const { return kind == Punctuation && text.front() == c; }
    bool isWord(const char *word) const { return kind == Word && text == QByteArrayView(word); }
    bool isName() const { return kind == Word || kind == Quoted; }
};

struct Fault
{
    int line = 0;
    QString what;
};

// One "(a1, b1) p, q;", "default p, q;" or "table p, q, …;" of a probability block.
struct Entry
{
    enum Kind { Row, Default, Table };
    Kind kind = Row;
    QStringList names;   // of a row: a state of each parent
    qsizetype first = 0; // its numbers: [first, first + count) of the block's numbers
    qsizetype count = 0;
    int line = 0;
};

struct VariableBlock
{
    QString id;
    QStringList states;
    QHash<QString, qsizetype> stateIndex;
    qsizetype writtenStates = 0; // the bytes of its states' names as a row writes them
    int line = 0;
};

struct ProbabilityBlock
{
    QString id;
    QStringList parents;
    int line = 0;
    QList<Entry> entries;
    std::vector<double> numbers;
    qsizetype spanBegin = -1; // from the first entry to the ";" of the last
    qsizetype spanEnd = -1;
};

struct Declarations
{
    QString network;
    QList<VariableBlock> variables;
    QList<ProbabilityBlock> probabilities;
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

QString configurationText(const QStringList &names)
{
    return QStringLiteral("(%1)").arg(names.join(QStringLiteral(", ")));
}

// Reads the declarations of a file in order; their names are resolved afterwards, so that a
// probability block may come before the variables it names.
class Parser
{
public:
    explicit Parser(QByteArrayView bytes) : bytes_(bytes), lines_(bytes)
    {
        if (bytes_.startsWith("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    bool parse()
    {
        Token token = next();
        if (fault_)
            return false;
        if (!token.isWord("network"))
            return fail(token.begin, QStringLiteral("this is not a BIF file: it does not begin "
                                                    "with the word \"network\""));
        if (!name(&declarations_.network, QStringLiteral("the name of the network")) ||
            !expect('{', QStringLiteral("the \"{\" that opens the network")))
            return false;
        for (;;) {
            token = next();
            if (token.isWord("property")) {
                if (!skipProperty(token))
                    return false;
            } else if (!token.is('}')) {
                return unexpected(token, QStringLiteral("\"}\" to close the network"));
            } else {
                break;
            }
        }
        for (;;) {
            token = next();
            if (token.kind == Token::End && !fault_)
                return true;
            if (token.isWord("variable")) {
                if (!variable(token))
                    return false;
            } else if (token.isWord("probability")) {
                if (!probability(token))
                    return false;
            } else {
                return unexpected(token, QStringLiteral("\"variable\" or \"probability\""));
            }
        }
    }

    const Declarations &declarations() const { return declarations_; }
    const Fault &fault() const { return *fault_; }

private:
    bool fail(qsizetype offset, const QString &what)
    {
        if (!fault_)
            fault_ = Fault{lines_.at(offset), what};
        return false;
    }

    bool unexpected(const Token &token, const QString &expected)
    {
        if (fault_)
            return false;
        switch (token.kind) {
        case Token::End:
            return fail(token.begin,
                        QStringLiteral("the file ends too soon: %1 should follow").arg(expected));
        case Token::Control:
            return fail(token.begin, QStringLiteral("the character %1 has no place in a BIF file")
                                         .arg(QStringLiteral("0x%1").arg(
                                             uint(uchar(token.text.front())), 2, 16, QChar(u'0'))));
        default:
            return fail(token.begin, QStringLiteral("%1 should come here, not %2")
                                         .arg(expected, quoted(QString::fromUtf8(token.text))));
        }
    }

    // The next token after white space and comments.
    Token next()
    {
        const qsizetype size = bytes_.size();
        for (;;) {
            while (pos_ < size && isSpace(bytes_[pos_]))
                ++pos_;
            if (pos_ + 1 < size && bytes_[pos_] == '/' && bytes_[pos_ + 1] == '/') {
                while (pos_ < size && !isLineBreak(bytes_[pos_]))
                    ++pos_;
            } else if (pos_ + 1 < size && bytes_[pos_] == '/' && bytes_[pos_ + 1] == '*') {
                const qsizetype close = bytes_.indexOf(QByteArrayView("*/"), pos_ + 2);
                if (close < 0) {
                    fail(pos_, QStringLiteral("the comment that opens here is never closed: the "
                                              "file may be cut short"));
                    pos_ = size;
                    return Token{Token::End, size, size, {}};
                }
                pos_ = close + 2;
            } else {
                break;
            }
        }
        Token token;
        token.begin = pos_;
        if (pos_ == size) {
            token.end = size;
            return token;
        }
        const char c = bytes_[pos_];
        if (isPunctuation(c) || isControl(c)) {
            token.kind = isControl(c) ? Token::Control : Token::Punctuation;
            token.text = bytes_.sliced(pos_, 1);
            token.end = ++pos_;
            return token;
        }
        if (c == '"') {
            qsizetype close = pos_ + 1;
            while (close < size && bytes_[close] != '"' && !isLineBreak(bytes_[close]))
                ++close;
            if (close == size || bytes_[close] != '"') {
                fail(pos_, QStringLiteral("the name in quotes that begins here does not end on "
                                          "its line"));
                pos_ = size;
                return Token{Token::End, size, size, {}};
            }
            token.kind = Token::Quoted;
            token.text = bytes_.sliced(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            token.end = pos_;
            return token;
        }
        while (pos_ < size) {
            const char d = bytes_[pos_];
            if (isSpace(d) || isPunctuation(d) || isControl(d) || d == '"' ||
                (d == '/' && pos_ + 1 < size &&
                 (bytes_[pos_ + 1] == '/' || bytes_[pos_ + 1] == '*')))
                break;
            ++pos_;
        }
        token.kind = Token::Word;
        token.text = bytes_.sliced(token.begin, pos_ - token.begin);
        token.end = pos_;
        return token;
    }

    bool expect(char c, const QString &what)
    {
        const Token token = next();
        return token.is(c) || unexpected(token, what);
    }

    // A name: a word or a text in quotes, in UTF-8.
    bool nameOf(const Token &token, QString *result, const QString &what)
    {
        if (!token.isName())
            return unexpected(token, what);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        *result = decoder.decode(token.text);
        if (decoder.hasError())
            return fail(token.begin,
                        QStringLiteral("the name %1 is not UTF-8 text").arg(quoted(*result)));
        if (result->isEmpty())
            return fail(token.begin, QStringLiteral("a name in quotes is empty"));
        if (hasControl(*result))
            return fail(token.begin, QStringLiteral("the name %1 holds a tab or another control "
                                                    "character")
                                         .arg(quoted(*result)));
        return true;
    }

    bool name(QString *result, const QString &what) { return nameOf(next(), result, what); }

    // "property" and everything up to the next ";".
    bool skipProperty(const Token &token)
    {
        const qsizetype end = bytes_.indexOf(';', pos_);
        if (end < 0)
            return fail(token.begin, QStringLiteral("the property that begins here has no \";\" "
                                                    "at its end: the file may be cut short"));
        pos_ = end + 1;
        return true;
    }

    bool variable(const Token &keyword)
    {
        VariableBlock v;
        v.line = lines_.at(keyword.begin);
        if (!name(&v.id, QStringLiteral("the name of a variable")) ||
            !expect('{', QStringLiteral("the \"{\" that opens the variable %1").arg(quoted(v.id))))
            return false;
        bool typed = false;
        for (;;) {
            const Token token = next();
            if (token.is('}'))
                break;
            if (token.isWord("property")) {
                if (!skipProperty(token))
                    return false;
                continue;
            }
            if (!token.isWord("type") || typed)
                return unexpected(
                    token, QStringLiteral("\"}\" to close the variable %1").arg(quoted(v.id)));
            typed = true;
            if (!type(v, token))
                return false;
        }
        if (!typed)
            return fail(keyword.begin, QStringLiteral("the variable %1 has no states: its "
                                                      "\"type discrete [ n ] { … };\" is missing")
                                           .arg(quoted(v.id)));
        declarations_.variables.append(std::move(v));
        return true;
    }

    // "type discrete [ n ] { s1, s2, … };"
    bool type(VariableBlock &v, const Token &keyword)
    {
        Token token = next();
        if (!token.isWord("discrete")) {
            if (!token.isName())
                return unexpected(token, QStringLiteral("\"discrete\""));
            return fail(token.begin, QStringLiteral("the variable %1 is not discrete: its type is "
                                                    "%2")
                                         .arg(quoted(v.id), quoted(QString::fromUtf8(token.text))));
        }
        if (!expect('[', QStringLiteral("\"[\" and the number of states of %1").arg(quoted(v.id))))
            return false;
        token = next();
        bool ok = false;
        const int declared = token.kind == Token::Word ? token.text.toInt(&ok) : 0;
        if (!ok || declared < 1)
            return unexpected(token,
                              QStringLiteral("the number of states of %1").arg(quoted(v.id)));
        if (!expect(
                ']',
                QStringLiteral("the \"]\" after the number of states of %1").arg(quoted(v.id))) ||
            !expect('{', QStringLiteral("the \"{\" that opens the states of %1").arg(quoted(v.id))))
            return false;
        for (;;) {
            token = next();
            if (token.is('}'))
                break;
            if (token.is(','))
                continue;
            QString state;
            if (!nameOf(token, &state, QStringLiteral("a state of %1").arg(quoted(v.id))))
                return false;
            if (v.stateIndex.contains(state))
                return fail(token.begin, QStringLiteral("the variable %1 names the state %2 twice")
                                             .arg(quoted(v.id), quoted(state)));
            v.stateIndex.insert(state, v.states.size());
            v.writtenStates += nameText(state).size();
            v.states.append(state);
        }
        if (v.states.size() != declared)
            return fail(keyword.begin, QStringLiteral("the variable %1 declares %2 states but "
                                                      "names %3")
                                           .arg(quoted(v.id))
                                           .arg(declared)
                                           .arg(v.states.size()));
        return expect(';', QStringLiteral("\";\" after the states of %1").arg(quoted(v.id)));
    }

    bool probability(const Token &keyword)
    {
        ProbabilityBlock p;
        p.line = lines_.at(keyword.begin);
        if (!expect('(', QStringLiteral("\"(\" after \"probability\"")) ||
            !name(&p.id, QStringLiteral("the name of a variable")))
            return false;
        for (;;) {
            const Token token = next();
            if (token.is(')'))
                break;
            if (token.is('|') || token.is(','))
                continue;
            QString parent;
            if (!nameOf(token, &parent,
                        QStringLiteral("\")\" after the parents of %1").arg(quoted(p.id))))
                return false;
            p.parents.append(parent);
        }
        if (!expect(
                '{',
                QStringLiteral("the \"{\" that opens the probabilities of %1").arg(quoted(p.id))))
            return false;
        for (;;) {
            const Token token = next();
            if (token.is('}'))
                break;
            if (token.isWord("property")) {
                if (!skipProperty(token))
                    return false;
                continue;
            }
            Entry entry;
            entry.line = lines_.at(token.begin);
            if (token.is('(')) {
                if (!rowNames(p, entry))
                    return false;
            } else if (token.isWord("default") || token.isWord("table")) {
                entry.kind = token.isWord("table") ? Entry::Table : Entry::Default;
            } else {
                return unexpected(token, QStringLiteral("a row, \"default\", \"table\" or \"}\" "
                                                        "in the probabilities of %1")
                                             .arg(quoted(p.id)));
            }
            if (!numbers(p, entry))
                return false;
            if (p.spanBegin < 0)
                p.spanBegin = token.begin;
            p.spanEnd = pos_;
            p.entries.append(std::move(entry));
        }
        declarations_.probabilities.append(std::move(p));
        return true;
    }

    // The states named in "(a1, b1)", after its "(".
    bool rowNames(const ProbabilityBlock &p, Entry &entry)
    {
        for (;;) {
            const Token token = next();
            if (token.is(')'))
                return true;
            if (token.is(','))
                continue;
            QString state;
            if (!nameOf(token, &state,
                        QStringLiteral("\")\" after the states of a row of %1").arg(quoted(p.id))))
                return false;
            entry.names.append(state);
        }
    }

    // Numbers up to the ";" of the entry.
    bool numbers(ProbabilityBlock &p, Entry &entry)
    {
        entry.first = qsizetype(p.numbers.size());
        for (;;) {
            const Token token = next();
            if (token.is(';'))
                break;
            if (token.is(','))
                continue;
            if (token.kind != Token::Word)
                return unexpected(token, QStringLiteral("a number or the \";\" that ends a row "
                                                        "of %1")
                                             .arg(quoted(p.id)));
            double value = 0;
            if (!number(token.text, &value))
                return fail(token.begin,
                            QStringLiteral("%1 in the probabilities of %2 is not a "
                                           "number")
                                .arg(quoted(QString::fromUtf8(token.text)), quoted(p.id)));
            if (++numberCount_ > tableLimit)
                return fail(token.begin, QStringLiteral("the tables hold more than %1 "
                                                        "probabilities, more than this program "
                                                        "reads")
                                             .arg(tableLimit));
            p.numbers.push_back(value);
        }
        entry.count = qsizetype(p.numbers.size()) - entry.first;
        return true;
    }

    // A decimal number, "0.25", "1", ".5", "2.5e-3", with an optional sign; no "inf" or "nan".
    static bool number(QByteArrayView text, double *value)
    {
        qsizetype i = 0;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const qsizetype start = i;
        qsizetype digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            ++digits;
        if (i < text.size() && text[i] == '.')
            for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
                ++digits;
        if (digits == 0)
            return false;
        if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
            ++i;
            if (i < text.size() && (text[i] == '+' || text[i] == '-'))
                ++i;
            const qsizetype exponent = i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
            if (i == exponent)
                return false;
        }
        if (i != text.size())
            return false;
        const char *first = text.data() + start;
        const char *last = text.data() + text.size();
        const auto [end, error] = std::from_chars(first, last, *value);
        if (error != std::errc() || end != last || !std::isfinite(*value))
            return false;
        if (text[0] == '-')
            *value = -*value;
        return true;
    }

    QByteArrayView bytes_;
    LineCounter lines_;
    qsizetype pos_ = 0;
    qsizetype numberCount_ = 0;
    Declarations declarations_;
    std::optional<Fault> fault_;
};

// The variable's table in canonical order from its probability block.
std::optional<Fault> tableOf(const ProbabilityBlock &p, const QList<const VariableBlock *> &parents,
                             qsizetype noStates, qsizetype *total, std::vector<double> *table)
{
    const qsizetype room = (tableLimit - *total) / noStates;
    qsizetype configurations = 1;
    bool tooMany = room < 1;
    for (const VariableBlock *parent : parents) {
        if (tooMany)
            break;
        configurations *= parent->states.size();
        tooMany = configurations > room;
    }
    if (tooMany)
        return Fault{p.line, QStringLiteral("the tables hold more than %1 probabilities, more "
                                            "than this program reads")
                                 .arg(tableLimit)};
    // Written back, the table takes a row for each configuration: "(a1, b1) " and a number of
    // about ten bytes for each state. A "default" row can stand for more rows than a file this
    // program reads can hold.
    qsizetype written = configurations * (3 + 2 * parents.size() + 10 * noStates + 4);
    for (const VariableBlock *parent : parents)
        written += configurations / parent->states.size() * parent->writtenStates;
    if (written > networkInputLimit)
        return Fault{p.line, QStringLiteral("the table of %1 takes more than %2 bytes written "
                                            "out, more than any network this program reads")
                                 .arg(quoted(p.id))
                                 .arg(networkInputLimit)};
    const qsizetype size = configurations * noStates;
    *total += size;
    const auto wrongLength = [&](int line, qsizetype found) {
        return Fault{line, QStringLiteral("the table of %1 should have %2 numbers, one for each of "
                                          "its states in each configuration of its parents, not "
                                          "%3")
                               .arg(quoted(p.id))
                               .arg(size)
                               .arg(found)};
    };
    if (p.entries.isEmpty())
        return wrongLength(p.line, 0);
    const Entry *tableEntry = nullptr;
    const Entry *defaultEntry = nullptr;
    qsizetype rows = 0;
    for (const Entry &entry : p.entries) {
        const Entry **single = entry.kind == Entry::Table     ? &tableEntry
                               : entry.kind == Entry::Default ? &defaultEntry
                                                              : nullptr;
        if (single && *single)
            return Fault{entry.line, QStringLiteral("the probabilities of %1 have a second "
                                                    "\"%2\"")
                                         .arg(quoted(p.id), entry.kind == Entry::Table
                                                                ? QStringLiteral("table")
                                                                : QStringLiteral("default"))};
        if (single)
            *single = &entry;
        else
            ++rows;
        if (tableEntry && (rows > 0 || defaultEntry))
            return Fault{entry.line, QStringLiteral("the probabilities of %1 are given both as a "
                                                    "table and as rows")
                                         .arg(quoted(p.id))};
    }
    table->assign(std::size_t(size), 0.0);
    if (tableEntry) {
        if (tableEntry->count != size)
            return wrongLength(tableEntry->line, tableEntry->count);
        // The table lists the variable's first state for every configuration of the parents,
        // then its second, and so on: the variable slowest, its last parent fastest.
        for (qsizetype s = 0; s < noStates; ++s)
            for (qsizetype c = 0; c < configurations; ++c)
                (*table)[std::size_t(c * noStates + s)] =
                    p.numbers[std::size_t(tableEntry->first + s * configurations + c)];
        return std::nullopt;
    }
    std::vector<bool> given(std::size_t(configurations), false);
    for (const Entry &entry : p.entries) {
        if (entry.kind != Entry::Row)
            continue;
        const QString row = configurationText(entry.names);
        if (entry.names.size() != parents.size())
            return Fault{entry.line, QStringLiteral("the row %1 of %2 should name %3 states, one "
                                                    "for each parent, not %4")
                                         .arg(row, quoted(p.id))
                                         .arg(parents.size())
                                         .arg(entry.names.size())};
        qsizetype c = 0;
        for (qsizetype k = 0; k < parents.size(); ++k) {
            const qsizetype state = parents.at(k)->stateIndex.value(entry.names.at(k), -1);
            if (state < 0)
                return Fault{entry.line, QStringLiteral("the row %1 of %2 names %3, which is not "
                                                        "a state of %4")
                                             .arg(row, quoted(p.id), quoted(entry.names.at(k)),
                                                  quoted(parents.at(k)->id))};
            c = c * parents.at(k)->states.size() + state;
        }
        if (given[std::size_t(c)])
            return Fault{entry.line,
                         QStringLiteral("the row %1 of %2 is given twice").arg(row, quoted(p.id))};
        given[std::size_t(c)] = true;
        if (entry.count != noStates)
            return Fault{entry.line, QStringLiteral("the row %1 of %2 should have %3 numbers, "
                                                    "one for each of its states, not %4")
                                         .arg(row, quoted(p.id))
                                         .arg(noStates)
                                         .arg(entry.count)};
        std::copy_n(p.numbers.begin() + entry.first, noStates, table->begin() + c * noStates);
    }
    if (defaultEntry && defaultEntry->count != noStates)
        return Fault{defaultEntry->line, QStringLiteral("the default row of %1 should have %2 "
                                                        "numbers, one for each of its states, "
                                                        "not %3")
                                             .arg(quoted(p.id))
                                             .arg(noStates)
                                             .arg(defaultEntry->count)};
    for (qsizetype c = 0; c < configurations; ++c) {
        if (given[std::size_t(c)])
            continue;
        if (!defaultEntry) {
            QStringList names;
            qsizetype rest = c;
            for (qsizetype k = parents.size() - 1; k >= 0; --k) {
                const QStringList &states = parents.at(k)->states;
                names.prepend(states.at(rest % states.size()));
                rest /= states.size();
            }
            return Fault{p.line, QStringLiteral("the probabilities of %1 have no row %2 and no "
                                                "default")
                                     .arg(quoted(p.id), configurationText(names))};
        }
        std::copy_n(p.numbers.begin() + defaultEntry->first, noStates,
                    table->begin() + c * noStates);
    }
    return std::nullopt;
}

std::optional<Fault> resolve(const Declarations &declarations, Network &network)
{
    QHash<QString, qsizetype> index;
    for (const VariableBlock &v : declarations.variables) {
        if (const auto found = index.constFind(v.id); found != index.cend())
            return Fault{v.line, QStringLiteral("the variable %1 is declared twice, first on line "
                                                "%2")
                                     .arg(quoted(v.id))
                                     .arg(declarations.variables.at(*found).line)};
        index.insert(v.id, network.variables.size());
        NetworkVariable variable;
        variable.id = v.id;
        variable.states = v.states;
        for (qsizetype k = 0; k < v.states.size(); ++k)
            variable.stateLabels.append(QString());
        variable.line = v.line;
        network.variables.append(std::move(variable));
    }
    QSet<QString> given;
    qsizetype total = 0;
    for (const ProbabilityBlock &p : declarations.probabilities) {
        const auto found = index.constFind(p.id);
        if (found == index.cend())
            return Fault{p.line, QStringLiteral("the probabilities are given for %1, a variable "
                                                "that is not declared")
                                     .arg(quoted(p.id))};
        if (given.contains(p.id))
            return Fault{
                p.line,
                QStringLiteral("the probabilities of %1 are given twice").arg(quoted(p.id))};
        given.insert(p.id);
        QList<const VariableBlock *> parents;
        QSet<QString> named;
        for (const QString &parent : p.parents) {
            const auto at = index.constFind(parent);
            if (at == index.cend())
                return Fault{p.line, QStringLiteral("the parent %1 of %2 is not declared")
                                         .arg(quoted(parent), quoted(p.id))};
            if (parent == p.id)
                return Fault{p.line,
                             QStringLiteral("%1 is named as its own parent").arg(quoted(p.id))};
            if (named.contains(parent))
                return Fault{p.line, QStringLiteral("%1 is named twice as a parent of %2")
                                         .arg(quoted(parent), quoted(p.id))};
            named.insert(parent);
            parents.append(&declarations.variables.at(*at));
        }
        NetworkVariable &variable = network.variables[*found];
        if (auto fault = tableOf(p, parents, variable.states.size(), &total, &variable.table))
            return fault;
        variable.parents = p.parents;
        variable.tableBegin = p.spanBegin;
        variable.tableEnd = p.spanEnd;
    }
    return std::nullopt;
}

// The entries of a probability block: "table p, q;" for a variable without parents, else one
// "(a1, b1) p, q;" per configuration of the parents, the first parent slowest; joined by
// separator.
QByteArray entriesText(const QList<const QStringList *> &parentStates,
                       const QList<QStringList> &rows, const QByteArray &separator)
{
    const QString comma = QStringLiteral(", ");
    if (parentStates.isEmpty()) {
        QStringList numbers;
        for (const QStringList &row : rows)
            numbers += row;
        return "table " + numbers.join(comma).toUtf8() + ';';
    }
    QList<QByteArray> names;
    QByteArray text;
    std::vector<qsizetype> state(std::size_t(parentStates.size()), 0);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += separator;
        text += '(';
        for (qsizetype k = 0; k < parentStates.size(); ++k) {
            if (k > 0)
                text += ", ";
            const QStringList &states = *parentStates.at(k);
            const qsizetype s = state[std::size_t(k)];
            text += s < states.size() ? nameText(states.at(s)) : QByteArray();
        }
        text += ") " + rows.at(r).join(comma).toUtf8() + ';';
        for (qsizetype k = parentStates.size() - 1; k >= 0; --k) {
            if (++state[std::size_t(k)] < parentStates.at(k)->size())
                break;
            state[std::size_t(k)] = 0;
        }
    }
    return text;
}

// A name as typed, in quotes, for a comment: a backslash escapes quotes, backslashes and
// control characters, so that the comment stays on its line.
QByteArray commentText(const QString &text)
{
    QByteArray result = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\')
            result += '\\' + QByteArray(1, char(u));
        else if (u == u'\n')
            result += "\\n";
        else if (u == u'\r')
            result += "\\r";
        else if (u == u'\t')
            result += "\\t";
        else if (u < 0x20 || u == 0x7f)
            result += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
        else
            result += QStringView(&c, 1).toUtf8();
    }
    return result + '"';
}

QByteArray lineEndOf(QByteArrayView file)
{
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] == '\n')
            return "\n";
        if (file[i] == '\r')
            return i + 1 < file.size() && file[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\n";
}

bool isBlank(QByteArrayView text)
{
    for (const char c : text)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

} // namespace

Result<Network> readBif(QByteArrayView bytes, const QString &fileName)
{
    Parser parser(bytes);
    if (!parser.parse())
        return networkFileFault(fileName, parser.fault().line, parser.fault().what);
    Network network;
    network.format = NetworkFormat::Bif;
    network.name = parser.declarations().network;
    if (const auto fault = resolve(parser.declarations(), network))
        return networkFileFault(fileName, fault->line, fault->what);
    return network;
}

QByteArray writeBif(const NetworkExport &network)
{
    QByteArray text = "network " +
                      (network.name.isEmpty() ? QByteArray("unknown") : network.name.toUtf8()) +
                      " {\n}\n";
    QHash<QString, const QStringList *> states;
    for (const ExportVariable &v : network.variables) {
        states.insert(v.id, &v.states);
        text += "variable " + v.id.toUtf8() + " {\n";
        bool typed = !v.label.isEmpty() && v.label != v.id;
        for (qsizetype k = 0; k < v.stateLabels.size(); ++k)
            typed = typed ||
                    (!v.stateLabels.at(k).isEmpty() && v.stateLabels.at(k) != v.states.value(k));
        if (typed) {
            // The names as typed, for people who read the file: no reader takes them in.
            QList<QByteArray> names;
            for (const QString &label : v.stateLabels)
                names.append(commentText(label));
            text += "  // " + commentText(v.label) +
                    (names.isEmpty() ? QByteArray() : ": " + names.join(", ")) + '\n';
        }
        QList<QByteArray> ids;
        for (const QString &state : v.states)
            ids.append(state.toUtf8());
        text += "  type discrete [ " + QByteArray::number(v.states.size()) + " ] { " +
                ids.join(", ") + " };\n}\n";
    }
    for (const ExportVariable &v : network.variables) {
        QList<const QStringList *> parentStates;
        QList<QByteArray> parents;
        for (const QString &parent : v.parents) {
            static const QStringList none;
            parentStates.append(states.value(parent, &none));
            parents.append(parent.toUtf8());
        }
        text += "probability ( " + v.id.toUtf8() +
                (parents.isEmpty() ? QByteArray() : " | " + parents.join(", ")) + " ) {\n  " +
                entriesText(parentStates, v.rows, "\n  ") + "\n}\n";
    }
    return text;
}

QByteArray bifTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows)
{
    QList<const QStringList *> parentStates;
    for (const QString &parent : variable.parents) {
        const NetworkVariable *p = network.variable(parent);
        Q_ASSERT(p);
        static const QStringList none;
        parentStates.append(p ? &p->states : &none);
    }
    // Rows go one to a line, indented as the first entry was, where that entry began a line or
    // the entries took several lines; else side by side.
    const QByteArrayView span =
        file.sliced(variable.tableBegin, variable.tableEnd - variable.tableBegin);
    qsizetype lineStart = variable.tableBegin;
    while (lineStart > 0 && !isLineBreak(file[lineStart - 1]))
        --lineStart;
    QByteArrayView indent = file.sliced(lineStart, variable.tableBegin - lineStart);
    QByteArray separator = " ";
    if (isBlank(indent)) {
        separator = lineEndOf(file) + indent.toByteArray();
    } else if (span.contains('\n') || span.contains('\r')) {
        qsizetype i = 0;
        while (!isLineBreak(span[i]))
            ++i;
        while (i < span.size() && isLineBreak(span[i]))
            ++i;
        const qsizetype from = i;
        while (i < span.size() && (span[i] == ' ' || span[i] == '\t'))
            ++i;
        separator = lineEndOf(file) + span.sliced(from, i - from).toByteArray();
    }
    return entriesText(parentStates, rows, separator);
}

} // namespace vadazaz
