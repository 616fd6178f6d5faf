#pragma once
// The registry store file's reader and writer, as registered with QSettings. A key's values are
// stored under its escaped path as "=" + escaped name; "#key" entries keep empty keys.

#include <QIODevice>
#include <QSettings>

// Reads every value that can be read into map; returns false when a line could not be read.
[[nodiscard]] bool ReadRegistryStore(QIODevice& device, QSettings::SettingsMap& map);
[[nodiscard]] bool WriteRegistryStore(QIODevice& device, const QSettings::SettingsMap& map);
