#include "core/network/bif_format.h"

namespace vadazaz {

Result<Network> readBif(QByteArrayView, const QString &fileName)
{
    return networkFileFault(fileName, 1, QStringLiteral("this kind of file cannot be read yet"));
}

QByteArray writeBif(const NetworkExport &)
{
    return {};
}

QByteArray bifTableText(QByteArrayView, const Network &, const NetworkVariable &,
                        const QList<QStringList> &)
{
    return {};
}

} // namespace vadazaz
