#include "core/network/xmlbif_format.h"

namespace vadazaz {

Result<Network> readXmlBif(QByteArrayView, const QString &fileName)
{
    return networkFileFault(fileName, 1, QStringLiteral("this kind of file cannot be read yet"));
}

QByteArray writeXmlBif(const NetworkExport &)
{
    return {};
}

QByteArray xmlbifTableText(QByteArrayView, const Network &, const NetworkVariable &,
                           const QList<QStringList> &)
{
    return {};
}

} // namespace vadazaz
