#pragma once

// GeNIe XDSL files.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readXdsl(QByteArrayView bytes, const QString &fileName);
QByteArray writeXdsl(const NetworkExport &network);
QByteArray xdslTableText(QByteArrayView file, const Network &network,
                         const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
