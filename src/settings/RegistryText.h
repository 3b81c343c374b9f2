#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>

namespace harvel {

// The registry export text in which settings are stored on systems without a registry:
//   [HKEY_CURRENT_USER\Software\...]
//   "Name"=dword:0000000a
//   "Name"="text with \\ and \" escaped"
//   "Name"=hex(2):41,00,00,00        (an expandable string, read as a plain string)
// Keys of the map are QSettings keys: the path below HKEY_CURRENT_USER and the value
// name joined by '/'. Integers are QVariant int, strings QString.
using RegistryValues = QMap<QString, QVariant>;

// Nothing, when a line is neither blank, a comment, the header, a section nor a value.
[[nodiscard]] std::optional<RegistryValues> ParseRegistryText(const QByteArray& text);
[[nodiscard]] QByteArray FormatRegistryText(const RegistryValues& values);

}  // namespace harvel
