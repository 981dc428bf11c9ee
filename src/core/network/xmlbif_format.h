#pragma once

// XMLBIF 0.3 files. A <TABLE> lists the variable's outcomes fastest, then the states of its last
// parent, its first parent slowest. A variable's name as typed is its property "label = …", written
// and read back as its label (left out where it holds an "=", which readers split the property
// at). Decision and utility nodes have no probabilities; one without outcomes is left out.

#include "core/network/network.h"

namespace vadazaz {

Result<Network> readXmlBif(QByteArrayView bytes, const QString &fileName);
QByteArray writeXmlBif(const NetworkExport &network);
QByteArray xmlbifTableText(QByteArrayView file, const Network &network,
                           const NetworkVariable &variable, const QList<QStringList> &rows);

} // namespace vadazaz
