#include "core/network/network.h"

#include "core/network/bif_format.h"
#include "core/network/csv_format.h"
#include "core/network/dne_format.h"
#include "core/network/net_format.h"
#include "core/network/xdsl_format.h"
#include "core/network/xmlbif_format.h"

#include <QFile>
#include <QFileInfo>

namespace vadazaz {

const QList<NetworkFormatInfo> &networkFormats()
{
    static const QList<NetworkFormatInfo> formats{
        {NetworkFormat::Net, QStringLiteral("net"), QStringLiteral("net"),
         QStringLiteral("Hugin NET"), true},
        {NetworkFormat::Xdsl, QStringLiteral("xdsl"), QStringLiteral("xdsl"),
         QStringLiteral("GeNIe XDSL"), true},
        {NetworkFormat::XmlBif, QStringLiteral("xmlbif"), QStringLiteral("xml"),
         QStringLiteral("XMLBIF 0.3"), true},
        {NetworkFormat::Bif, QStringLiteral("bif"), QStringLiteral("bif"), QStringLiteral("BIF"),
         true},
        {NetworkFormat::Dne, QStringLiteral("dne"), QStringLiteral("dne"),
         QStringLiteral("Netica DNE"), true},
        {NetworkFormat::Csv, QStringLiteral("csv"), QStringLiteral("csv"), QStringLiteral("CSV"),
         false},
    };
    return formats;
}

const NetworkFormatInfo &networkFormatInfo(NetworkFormat format)
{
    for (const NetworkFormatInfo &info : networkFormats()) {
        if (info.format == format)
            return info;
    }
    Q_UNREACHABLE();
}

std::optional<NetworkFormat> networkFormatOfFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xmlbif") || suffix == QLatin1String("bifxml"))
        return NetworkFormat::XmlBif;
    for (const NetworkFormatInfo &info : networkFormats()) {
        if (info.readable && suffix == info.suffix)
            return info.format;
    }
    return std::nullopt;
}

const NetworkVariable *Network::variable(const QString &id) const
{
    for (const NetworkVariable &v : variables) {
        if (v.id == id)
            return &v;
    }
    return nullptr;
}

Message networkFileFault(const QString &fileName, int line, const QString &what)
{
    return {QStringLiteral("Network file"),
            QStringLiteral("%1, line %2: %3").arg(fileName).arg(line).arg(what)};
}

Result<Network> readNetwork(NetworkFormat format, QByteArrayView bytes, const QString &fileName)
{
    if (bytes.size() > networkInputLimit)
        return networkFileFault(fileName, 1,
                                QStringLiteral("the file is larger than %1 bytes, more than any "
                                               "network this program reads")
                                    .arg(networkInputLimit));
    switch (format) {
    case NetworkFormat::Net:
        return readNet(bytes, fileName);
    case NetworkFormat::Xdsl:
        return readXdsl(bytes, fileName);
    case NetworkFormat::XmlBif:
        return readXmlBif(bytes, fileName);
    case NetworkFormat::Bif:
        return readBif(bytes, fileName);
    case NetworkFormat::Dne:
        return readDne(bytes, fileName);
    case NetworkFormat::Csv:
        break;
    }
    return networkFileFault(fileName, 1, QStringLiteral("CSV files are written, not read"));
}

Result<QByteArray> networkFileBytes(const QString &path)
{
    const auto failure = [&](const QString &reason) {
        return Message{QStringLiteral("Network file"),
                       QStringLiteral("%1: cannot be read: %2").arg(path, reason)};
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return failure(QStringLiteral("It is not a regular file."));
    const QString tooLarge =
        QStringLiteral("It is larger than %1 bytes, more than any network this program reads.")
            .arg(networkInputLimit);
    if (info.isFile() && info.size() > networkInputLimit)
        return failure(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    QByteArray bytes = file.read(networkInputLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(file.errorString());
    if (bytes.size() > networkInputLimit)
        return failure(tooLarge);
    return bytes;
}

QByteArray writeNetwork(NetworkFormat format, const NetworkExport &network)
{
    switch (format) {
    case NetworkFormat::Net:
        return writeNet(network);
    case NetworkFormat::Xdsl:
        return writeXdsl(network);
    case NetworkFormat::XmlBif:
        return writeXmlBif(network);
    case NetworkFormat::Bif:
        return writeBif(network);
    case NetworkFormat::Dne:
        return writeDne(network);
    case NetworkFormat::Csv:
        return writeCsv(network);
    }
    Q_UNREACHABLE();
}

QByteArray tableTextFor(NetworkFormat format, QByteArrayView file, const Network &network,
                        const NetworkVariable &variable, const QList<QStringList> &rows)
{
    switch (format) {
    case NetworkFormat::Net:
        return netTableText(file, network, variable, rows);
    case NetworkFormat::Xdsl:
        return xdslTableText(file, network, variable, rows);
    case NetworkFormat::XmlBif:
        return xmlbifTableText(file, network, variable, rows);
    case NetworkFormat::Bif:
        return bifTableText(file, network, variable, rows);
    case NetworkFormat::Dne:
        return dneTableText(file, network, variable, rows);
    case NetworkFormat::Csv:
        break;
    }
    return {};
}

} // namespace vadazaz
