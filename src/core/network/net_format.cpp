#include "core/network/net_format.h"

namespace vadazaz {

Result<Network> readNet(QByteArrayView, const QString &fileName)
{
    return networkFileFault(fileName, 1, QStringLiteral("this kind of file cannot be read yet"));
}

QByteArray writeNet(const NetworkExport &)
{
    return {};
}

QByteArray netTableText(QByteArrayView, const Network &, const NetworkVariable &,
                        const QList<QStringList> &)
{
    return {};
}

} // namespace vadazaz
