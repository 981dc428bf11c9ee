#pragma once

#include <QIODevice>
#include <QStringList>

namespace vadazaz {

// Exit codes of the command-line calculator.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure =
    1; // unreadable or malformed problem, bad arguments, write failure
inline constexpr int exitRefused = 2; // the program refused the problem or its EPT

// vadazaz-cpt [--layout labelled|plain|json] [--output FILE] PROBLEM.json
// Runs the program's own checks on the problem file, computes the CPT and writes it.
int runCalculator(const QStringList &arguments, QIODevice &standardOutput,
                  QIODevice &standardError);

} // namespace vadazaz
