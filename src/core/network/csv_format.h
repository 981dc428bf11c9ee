#pragma once

// CSV for spreadsheets: a heading line of the parents' names and the child's states, then one line
// per configuration of the parents with their states and the child's probabilities.

#include "core/network/network.h"

namespace vadazaz {

// The last variable of the network is the child; the ones before it its parents.
QByteArray writeCsv(const NetworkExport &network);

} // namespace vadazaz
