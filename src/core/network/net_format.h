#pragma once

// Hugin NET files.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readNet(QByteArrayView bytes, const QString &fileName);
QByteArray writeNet(const NetworkExport &network);
QByteArray netTableText(QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
