#pragma once

// CSV for spreadsheets: a heading line of the parents' names and the child's states, then one line
// per configuration of the parents with their states and the child's probabilities.
//
// Names as typed (an identifier where a name is empty); a child state's column is headed
// "Child=State", as in the program's labelled CPT file. Fields are separated by commas and quoted
// as RFC 4180 says when they hold a comma, a quote or a line break; lines end with CR LF. The
// text is UTF-8 after a byte-order mark, without which Excel takes the file for the system's
// 8-bit code page and garbles every name beyond ASCII.

#include "core/network/network.h"

namespace vadazaz {

// The last variable of the network is the child; the ones before it its parents.
QByteArray writeCsv(const NetworkExport &network);

} // namespace vadazaz
