#include "core/network/dne_format.h"

namespace vadazaz {

Result<Network> readDne(QByteArrayView, const QString &fileName)
{
    return networkFileFault(fileName, 1, QStringLiteral("this kind of file cannot be read yet"));
}

QByteArray writeDne(const NetworkExport &)
{
    return {};
}

QByteArray dneTableText(QByteArrayView, const Network &, const NetworkVariable &,
                        const QList<QStringList> &)
{
    return {};
}

} // namespace vadazaz
