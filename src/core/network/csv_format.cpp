#include "core/network/csv_format.h"

namespace vadazaz {

QByteArray writeCsv(const NetworkExport &)
{
    return {};
}

} // namespace vadazaz
