#pragma once

// Keys named twice in one object of a JSON text, which a JSON reader settles silently by taking
// one of them.

#include <QByteArray>
#include <QString>

#include <optional>

namespace vadazaz {

struct RepeatedKey
{
    QString key;   // as JSON writes it, quotes included: "ept"
    QString where; // the object that holds it, from the outermost: "parents"[2]."network"; empty
                   // for the outermost object itself
};

// The first key that an object of the JSON text names twice, or nothing. The text is expected to
// be JSON; where it is not, what comes before the fault is looked at.
std::optional<RepeatedKey> repeatedKey(const QByteArray &json);

} // namespace vadazaz
