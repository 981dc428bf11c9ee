#include "core/about/registry.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace vadazaz {

std::optional<QString> registryValueText(quint32 type, const QByteArray &data)
{
    if (type == regSz) {
        // Text values usually carry their terminating NUL; it is not part of the text.
        const QByteArray text = data.endsWith('\0') ? data.chopped(1) : data;
        return QString::fromLocal8Bit(text);
    }
    if (type == regDword) {
        // Every byte of a number counts, zero bytes included: 1 reads "&h00000001".
        QString text = QStringLiteral("&h");
        for (auto byte = data.crbegin(); byte != data.crend(); ++byte)
            text +=
                QString::number(static_cast<uchar>(*byte), 16).rightJustified(2, u'0').toUpper();
        return text;
    }
    return std::nullopt;
}

#ifdef Q_OS_WIN

bool GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal)
{
    // Root handles are 32-bit values that the system widens with their sign.
    const auto root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(keyRoot)));
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName.toLocal8Bit().constData(), 0, registryReadAccess, &key) !=
        ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }

    char buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const LONG queried = RegQueryValueExA(key, subKeyRef.toLocal8Bit().constData(), nullptr, &type,
                                          reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (queried != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    if (const auto text = registryValueText(type, QByteArray(buffer, static_cast<qsizetype>(size))))
        keyVal = *text;
    return true;
}

#else

bool GetKeyValue(quint32, const QString &, const QString &, QString &keyVal)
{
    keyVal.clear();
    return false;
}

#endif

} // namespace vadazaz
