#include "core/network/xdsl_format.h"

namespace vadazaz {

Result<Network> readXdsl(QByteArrayView, const QString &fileName)
{
    return networkFileFault(fileName, 1, QStringLiteral("this kind of file cannot be read yet"));
}

QByteArray writeXdsl(const NetworkExport &)
{
    return {};
}

QByteArray xdslTableText(QByteArrayView, const Network &, const NetworkVariable &,
                         const QList<QStringList> &)
{
    return {};
}

} // namespace vadazaz
