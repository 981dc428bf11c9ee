#include "core/base/json_keys.h"

#include "core/base/name_rules.h"

#include <nlohmann/json.hpp>

#include <string>
#include <unordered_set>
#include <vector>

namespace vadazaz {

namespace {

using Json = nlohmann::json;

// A key as a message shows it: quoted, on one line, and not too long.
QString shownKey(const std::string &key)
{
    constexpr qsizetype longest = 40;
    QString shown = QString::fromStdString(Json(key).dump());
    if (characterCount(shown) > longest)
        shown = firstCharacters(shown, longest - 1) + u'\u2026';
    return visibleText(shown);
}

// Follows the text's objects and lists as the parser reads them, with the keys of each object.
class KeyWatcher final : public nlohmann::json_sax<Json>
{
public:
    std::optional<RepeatedKey> repeated;

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t &) override { return value(); }
    bool string(string_t &) override { return value(); }
    bool binary(binary_t &) override { return value(); }
    bool start_object(std::size_t) override
    {
        value();
        levels_.push_back({true, {}, {}, 0});
        return true;
    }
    bool key(string_t &key) override
    {
        Level &level = levels_.back();
        if (!level.keys.insert(key).second) {
            repeated = RepeatedKey{shownKey(key), where()};
            return false;
        }
        level.key = key;
        return true;
    }
    bool end_object() override { return leave(); }
    bool start_array(std::size_t) override
    {
        value();
        levels_.push_back({false, {}, {}, 0});
        return true;
    }
    bool end_array() override { return leave(); }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &) override
    {
        return false;
    }

private:
    struct Level
    {
        bool object;
        std::unordered_set<std::string> keys;
        std::string key;   // an object's latest key
        std::size_t items; // a list's items so far
    };

    bool value()
    {
        if (!levels_.empty() && !levels_.back().object)
            ++levels_.back().items;
        return true;
    }
    bool leave()
    {
        levels_.pop_back();
        return true;
    }
    // The path to the innermost object, from the outermost.
    QString where() const
    {
        QString path;
        for (std::size_t i = 0; i + 1 < levels_.size(); ++i) {
            const Level &level = levels_[i];
            if (!level.object)
                path += QStringLiteral("[%1]").arg(level.items);
            else
                path += (path.isEmpty() ? QString() : QStringLiteral(".")) + shownKey(level.key);
        }
        return path;
    }

    std::vector<Level> levels_;
};

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

// The surrogate half (0xD800 to 0xDFFF) that the escape \uXXXX at i of text stands for, or 0.
unsigned surrogateAt(const QByteArray &text, qsizetype i)
{
    if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u')
        return 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!isHex(text[k]))
            return 0;
    }
    const unsigned unit = text.mid(i + 2, 4).toUInt(nullptr, 16);
    return unit >= 0xD800 && unit <= 0xDFFF ? unit : 0;
}

// The parser refuses an escape of half a surrogate pair that stands alone, which other readers
// take; for the keys' sake, such an escape is read as the six characters that spell it.
QByteArray withLoneSurrogatesSpelled(const QByteArray &json)
{
    if (!json.contains("\\u"))
        return json;
    QByteArray out;
    out.reserve(json.size());
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"')
            inString = !inString;
        if (!inString || c != '\\' || i + 1 >= json.size()) {
            out += c;
            continue;
        }
        const unsigned unit = surrogateAt(json, i);
        const unsigned next = unit >= 0xD800 && unit < 0xDC00 ? surrogateAt(json, i + 6) : 0;
        if (next >= 0xDC00) {
            out += json.mid(i, 12); // a whole pair
            i += 11;
        } else {
            if (unit)
                out += '\\';
            out += json.mid(i, 2);
            ++i;
        }
    }
    return out;
}

} // namespace

std::optional<RepeatedKey> repeatedKey(const QByteArray &json)
{
    const QByteArray text = withLoneSurrogatesSpelled(json);
    KeyWatcher watcher;
    Json::sax_parse(text.constData(), text.constData() + text.size(), &watcher);
    return watcher.repeated;
}

} // namespace vadazaz
