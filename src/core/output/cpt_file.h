#pragma once

#include "core/base/message.h"
#include "core/ept/cpt_computation.h"
#include "core/store/problem.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

namespace vadazaz {

enum class CptLayout {
    Plain,    // probabilities only, two TABs apart
    Labelled, // a header line, an empty line, each row's parent states beside its probabilities
    Json,     // for other programs: names and full-precision fractions
};

// A percentage as the CPT file shows it: rounded to a whole percent (halves away from zero),
// then written as a fraction with two decimals, "0.13" for 12.5 and "-0.04" for -3.5.
QString formatProbability(double percent, QStringView decimalPoint);

// Writes the CPT one row at a time. The plain and labelled layouts are 8-bit text in the
// system's code page with CR LF line ends, the JSON layout is UTF-8. Answers false when the
// device refused a write.
bool writeCpt(QIODevice &device, CptLayout layout, const Problem &problem,
              const QList<int> &parentOrder, const Cpt &cpt, QStringView decimalPoint);

// Writes the CPT to a file. The file is replaced only by a complete new one: when anything fails,
// an existing file stays as it was, and errorText tells why. A file without write permission for
// its owner is never replaced, whoever runs the program.
bool saveCptFile(const QString &path, CptLayout layout, const Problem &problem,
                 const QList<int> &parentOrder, const Cpt &cpt, QStringView decimalPoint,
                 QString *errorText);

// The message for a file that could not be written.
Message saveFailedMessage(const QString &path, const QString &reason);

} // namespace vadazaz
