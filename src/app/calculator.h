#pragma once

#include <QIODevice>
#include <QStringList>

namespace vadazaz {

// Exit codes of the command-line calculator.
inline constexpr int exitSuccess = 0;
// An unreadable or malformed problem or network, bad arguments, a write failure.
inline constexpr int exitFailure = 1;
inline constexpr int exitRefused = 2; // the program refused the problem or its EPT

// vadazaz-cpt [--layout LAYOUT] [--decimals N] [--output FILE] PROBLEM
// vadazaz-cpt --into NETWORK --node ID [--decimals N] [--output FILE] PROBLEM
// vadazaz-cpt --import NETWORK --node ID [--reverse ID]...
// Runs the program's own checks on the problem file, computes the CPT and writes it as a CPT file
// or a network file, or into the node of a network file; or prints the problem file of a node.
int runCalculator(const QStringList &arguments, QIODevice &standardOutput,
                  QIODevice &standardError);

} // namespace vadazaz
