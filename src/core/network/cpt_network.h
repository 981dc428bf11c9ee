#pragma once

// The CPT of a problem in a network: written into a standalone network file, written back into the
// network its node came from, and a node of a network taken as a problem.

#include "core/base/result.h"
#include "core/ept/cpt_computation.h"
#include "core/network/network.h"
#include "core/store/problem.h"

#include <QSet>

namespace vadazaz {

// An identifier [A-Za-z][A-Za-z0-9_]*, at most 30 characters, for a name as typed: letters with
// accents lose them, every other character becomes "_", and a name that does not start with a
// letter gets an "x" before it.
QString identifierFor(const QString &name);
// Identifiers for the names, different from each other and from those in taken: where two would
// be equal, the later gets "_2", "_3", … (within the 30 characters).
QStringList uniqueIdentifiers(const QStringList &names, QSet<QString> taken = {});

// The child and its parents as a network of their own: the parents, in the user's order, as roots
// with uniform distributions, then the child with the CPT, rounded to the decimals so that every
// row sums to exactly 1. Identifiers are those of the network the problem came from, else made
// from the names. Refused when the CPT holds a probability outside 0..1.
Result<NetworkExport> networkExportOf(const Problem &problem, const Cpt &cpt, int decimals);

// The title of the messages of writing a CPT back into a network.
QString writeBackTitle();

// The CPT as a file of the format: the network above, or for CSV its table.
Result<QByteArray> cptNetworkFile(NetworkFormat format, const Problem &problem, const Cpt &cpt,
                                  int decimals);

// The network file with the CPT written into the node the problem came from: that node's table
// and nothing else changes, in the network's own parent and state order. Refused when the network
// no longer matches the problem (the node, a parent or a state missing, renamed or added) or the
// CPT holds a probability outside 0..1.
Result<QByteArray> cptWrittenInto(QByteArrayView file, NetworkFormat format,
                                  const QString &fileName, const Problem &problem, const Cpt &cpt,
                                  int decimals);

// A node as it is offered for a problem: why not, when it cannot be one.
struct NodeChoice
{
    QString id;
    QString label;
    QString whyNot; // empty when the node can be taken
};
QList<NodeChoice> nodeChoices(const Network &network);

// The problem of the node: the child and its states, the parents in the network's order, all
// Non-modifying, no EPT. Names are the identifiers, shortened to 10 characters where longer (and
// kept apart); the identifiers themselves are kept for writing the CPT back. The states of the
// variables named in reversed are taken last to first, since state 1 must be the most positive.
Result<Problem> problemFromNode(const Network &network, const QString &networkFile,
                                const QString &node, const QSet<QString> &reversed = {});

} // namespace vadazaz
