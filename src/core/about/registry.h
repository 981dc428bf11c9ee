#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vadazaz {

// The root key of the machine-wide part of the registry, as its handle reads.
inline constexpr quint32 hkeyLocalMachine = 0x80000002u;

// Value types of the registry that the program reads.
inline constexpr quint32 regSz = 1;    // text
inline constexpr quint32 regDword = 4; // 32-bit number, least significant byte first

// The rights a key is opened with: reading its values and subkeys, which every user has on the
// machine-wide keys, and nothing more (KEY_READ).
inline constexpr quint32 registryReadAccess = 0x20019u;

// The text of a registry value of the given type, from exactly the bytes the registry reported:
// text as it stands with a trailing NUL dropped, a number as "&h" and its bytes in hexadecimal,
// most significant first, two digits a byte. Answers nothing for any other type, whose values
// leave the reader's text as it was.
std::optional<QString> registryValueText(quint32 type, const QByteArray &data);

// Reads the value subKeyRef of the key keyName under the root keyRoot into keyVal, and answers
// whether it was read. When the key or the value cannot be read, keyVal becomes empty. On a system
// without a registry no key exists.
bool GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef,
                 QString &keyVal);

} // namespace vadazaz
