#pragma once

// XMLBIF 0.3 files.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readXmlBif(QByteArrayView bytes, const QString &fileName);
QByteArray writeXmlBif(const NetworkExport &network);
QByteArray xmlbifTableText(QByteArrayView file, const Network &network,
                           const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
