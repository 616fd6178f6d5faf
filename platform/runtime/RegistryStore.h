#pragma once
// The registry store file's reader and writer, as registered with QSettings. A key's values are
// stored under its escaped path as "=" + escaped name; "#key" entries keep empty keys.

#include <QIODevice>
#include <QSettings>

// Returns false for a file that is not a store; map then holds what was read before the fault.
[[nodiscard]] bool ReadRegistryStore(QIODevice& device, QSettings::SettingsMap& map);
[[nodiscard]] bool WriteRegistryStore(QIODevice& device, const QSettings::SettingsMap& map);
