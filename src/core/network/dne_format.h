#pragma once

// Netica DNE files.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readDne(QByteArrayView bytes, const QString &fileName);
QByteArray writeDne(const NetworkExport &network);
QByteArray dneTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
