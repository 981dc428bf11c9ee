#pragma once

#include "core/base/save_file.h"
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
bool writeCpt(QIODevice &device, CptLayout layout, const Problem &problem, const Cpt &cpt,
              QStringView decimalPoint);

// The title of the messages of "Save CPT".
QString saveCptTitle();

// The message for a CPT file that could not be written.
Message saveFailedMessage(const QString &path, const QString &reason);

// Writes the CPT to a file, which is replaced only by a complete new one (see SaveFile). The
// failure is worded by failed.
Result<void> saveCptFile(const QString &path, CptLayout layout, const Problem &problem,
                         const Cpt &cpt, QStringView decimalPoint,
                         const SaveFailure &failed = saveFailedMessage);

} // namespace vadazaz
