#pragma once

// GeNIe XDSL files: XML, a <cpt> element per node under <nodes> with its <state>s, its <parents>
// and its <probabilities> (the node's states fastest, then the last parent, the first parent
// slowest: the canonical order itself), and a <name> per node in the <genie> extension, which is
// the node's label. States have identifiers only: the format has no place for their names as
// typed, so a written file holds the state identifiers and a read one gives empty state labels.
//
// Nodes of other kinds (decision, deterministic, noisy-MAX, equation, …) are read without a table;
// those without states of their own (utility, multi-attribute utility, a continuous equation) are
// left out, since they cannot be the parent of a node with a table. Files in UTF-8 or ISO-8859-1.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readXdsl(QByteArrayView bytes, const QString &fileName);
QByteArray writeXdsl(const NetworkExport &network);
// The numbers that go between <probabilities> and </probabilities>, in the file's spacing when the
// old table was plain numbers, else separated by single spaces.
QByteArray xdslTableText(QByteArrayView file, const Network &network,
                         const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
