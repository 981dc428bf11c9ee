#pragma once

// BIF files. A written CPT takes the labelled-row form, one row per configuration of the parents:
// "(a1, b1) 0.1, 0.9;", or "table 0.1, 0.9;" for a variable without parents. BIF has no place for
// the names as typed: an export keeps them in a comment in the variable's block, which no reader
// takes in.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readBif(QByteArrayView bytes, const QString &fileName);
QByteArray writeBif(const NetworkExport &network);
QByteArray bifTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
