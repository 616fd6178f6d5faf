#pragma once
// The registry store file's reader and writer. A key's values are kept under its escaped path as
// "=" + escaped name, with "/" between the path's parts; "#key" entries keep empty keys.

#include <QIODevice>
#include <QMap>
#include <QString>
#include <QVariant>

using RegistryValues = QMap<QString, QVariant>;

// Reads every value that can be read into values; returns false when a line could not be read.
[[nodiscard]] bool ReadRegistryStore(QIODevice& device, RegistryValues& values);
[[nodiscard]] bool WriteRegistryStore(QIODevice& device, const RegistryValues& values);
