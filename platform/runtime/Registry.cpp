#include "Registry.h"

#include <QDir>
#include <QSettings>
#include <QStringList>
#include <QTextStream>
#include <cstdlib>
#include <optional>

#include "CodePage.h"
#include "RegistryStore.h"

namespace {

constexpr QStringView kRoot = u"HKEY_CURRENT_USER";
const QString kKeyMarker = QStringLiteral("#key");  // entry that keeps an empty key in existence
constexpr QChar kValuePrefix = u'=';                // value names are stored as "=" + escaped name

// Makes a key component or value name safe as a settings key segment.
QString EscapeSegment(const QString& segment) {
  QString escaped;
  for (QChar c : segment) {
    if (c == u'%' || c == u'/' || c == u'\\' || c == u'#' || c == u'=' || c.unicode() < 0x20)
      escaped += u'%' + QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    else
      escaped += c;
  }
  return escaped;
}

QString UnescapeSegment(QStringView segment) {
  QString plain;
  for (qsizetype i = 0; i < segment.size(); ++i) {
    if (segment[i] == u'%' && i + 4 < segment.size()) {
      bool ok = false;
      const ushort code = segment.mid(i + 1, 4).toUShort(&ok, 16);
      if (ok) {
        plain += QChar(code);
        i += 4;
        continue;
      }
    }
    plain += segment[i];
  }
  return plain;
}

// "Software\Quillmere\VAB" -> "Software/Quillmere/VAB", each component escaped.
QString SettingsGroup(const AnsiString& path) {
  QStringList parts;
  for (const QString& part : AnsiToQString(path).split(u'\\', Qt::SkipEmptyParts)) parts << EscapeSegment(part);
  return parts.join(u'/');
}

// ---- the store file ----

QString QuoteText(const QString& text) {
  QString quoted = QStringLiteral("\"");
  for (QChar c : text) {
    if (c == u'\\' || c == u'"')
      quoted += u'\\', quoted += c;
    else if (c == u'\n')
      quoted += QStringLiteral("\\n");
    else if (c == u'\r')
      quoted += QStringLiteral("\\r");
    else if (c.unicode() < 0x20)
      quoted += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
    else
      quoted += c;
  }
  return quoted + u'"';
}

// Reads a quoted text at pos; advances pos past the closing quote.
bool ParseQuoted(QStringView line, qsizetype& pos, QString& text) {
  if (pos >= line.size() || line[pos] != u'"') return false;
  text.clear();
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line[pos];
    if (c == u'"') {
      ++pos;
      return true;
    }
    if (c != u'\\') {
      text += c;
      continue;
    }
    if (++pos >= line.size()) return false;
    const QChar e = line[pos];
    if (e == u'n')
      text += u'\n';
    else if (e == u'r')
      text += u'\r';
    else if (e == u'x') {
      bool ok = false;
      const ushort code = line.mid(pos + 1, 2).toUShort(&ok, 16);
      if (!ok) return false;
      text += QChar(code);
      pos += 2;
    } else
      text += e;
  }
  return false;
}

// Reads every value that can be read; a line that cannot be read is skipped (and the values of a
// section whose heading cannot be read with it). Returns whether every line could be read.
bool ReadStore(QIODevice& device, QSettings::SettingsMap& map) {
  QTextStream in(&device);
  in.setEncoding(QStringConverter::Utf8);
  QString group;
  bool header = false;
  bool inSection = true;  // values before the first heading belong to the root
  bool clean = true;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    const QStringView trimmed = QStringView(line).trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';')) continue;
    if (!header) {
      header = true;
      if (trimmed == u"REGEDIT4") continue;
      clean = false;  // read on: the values may still be there
    }
    if (trimmed.startsWith(u'[')) {
      const QStringView path = trimmed.endsWith(u']') ? trimmed.mid(1, trimmed.size() - 2) : QStringView();
      inSection = !path.isEmpty() && (path == kRoot || path.startsWith(kRoot.toString() + u'\\'));
      if (!inSection) {
        clean = false;
        continue;
      }
      QStringList parts;
      for (const QString& part : path.mid(kRoot.size()).toString().split(u'\\', Qt::SkipEmptyParts))
        parts << EscapeSegment(part);
      group = parts.join(u'/');
      if (!group.isEmpty()) map.insert(group + u'/' + kKeyMarker, true);
      continue;
    }
    if (!inSection) continue;
    qsizetype pos = 0;
    QString name;
    if (!ParseQuoted(trimmed, pos, name) || pos >= trimmed.size() || trimmed[pos] != u'=') {
      clean = false;
      continue;
    }
    const QStringView data = trimmed.mid(pos + 1);
    const QString key = (group.isEmpty() ? QString() : group + u'/') + kValuePrefix + EscapeSegment(name);
    if (data.startsWith(u"dword:")) {
      bool ok = false;
      const uint value = data.mid(6).toUInt(&ok, 16);
      if (!ok || data.size() != 14) {
        clean = false;
        continue;
      }
      map.insert(key, QVariant::fromValue<quint32>(value));
    } else {
      qsizetype textPos = 0;
      QString text;
      if (!ParseQuoted(data, textPos, text) || textPos != data.size()) {
        clean = false;
        continue;
      }
      map.insert(key, text);
    }
  }
  return clean;
}

bool WriteStore(QIODevice& device, const QSettings::SettingsMap& map) {
  // Group the entries by key; the map is sorted, so a key's values follow its name.
  QMap<QString, QStringList> keys;
  for (auto it = map.cbegin(); it != map.cend(); ++it) {
    const qsizetype slash = it.key().lastIndexOf(u'/');
    const QString group = slash < 0 ? QString() : it.key().left(slash);
    const QStringView leaf = QStringView(it.key()).mid(slash + 1);
    QStringList& lines = keys[group];
    if (!leaf.startsWith(kValuePrefix)) continue;
    const QString name = QuoteText(UnescapeSegment(leaf.mid(1)));
    if (it.value().typeId() == QMetaType::UInt)
      lines << name + QStringLiteral("=dword:%1").arg(it.value().toUInt(), 8, 16, QChar(u'0'));
    else
      lines << name + u'=' + QuoteText(it.value().toString());
  }
  QString text = QStringLiteral("REGEDIT4\n");
  for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
    QString path = kRoot.toString();
    for (const QString& part : it.key().split(u'/', Qt::SkipEmptyParts)) path += u'\\' + UnescapeSegment(part);
    text += QStringLiteral("\n[") + path + QStringLiteral("]\n");
    for (const QString& line : it.value()) text += line + u'\n';
  }
  const QByteArray bytes = text.toUtf8();
  return device.write(bytes) == bytes.size();
}

QSettings::Format StoreFormat() {
  // A damaged store is dealt with when it is opened (OpenStore); here it reads what it can.
  static const QSettings::Format format = QSettings::registerFormat(
      QStringLiteral("reg"),
      [](QIODevice& device, QSettings::SettingsMap& map) {
        [[maybe_unused]] const bool clean = ReadStore(device, map);
        return true;
      },
      WriteStore, Qt::CaseInsensitive);
  return format;
}

}  // namespace

AnsiString SettingsFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  QString folder = config && *config ? QFile::decodeName(config) : QDir::homePath() + QStringLiteral("/.config");
  const QByteArray native = QFile::encodeName(folder + QStringLiteral("/velmora-address-book"));
  return AnsiString(native.constData(), static_cast<std::size_t>(native.size()));
}

AnsiString RegistryStoreFile() {
  return SettingsFolder() + "/registry.reg";
}

namespace {

std::unique_ptr<QSettings> OpenStore() {
  const QString file = QFile::decodeName(RegistryStoreFile().c_str());
  QSettings::SettingsMap readable;
  bool damaged = false;
  if (QFile in(file); in.open(QIODevice::ReadOnly)) damaged = !ReadStore(in, readable);
  if (!damaged) return std::make_unique<QSettings>(file, StoreFormat());
  // A damaged store is kept aside as it was, and a store of the values it still gave takes its place.
  QFile::remove(file + QStringLiteral(".corrupt"));
  QFile::rename(file, file + QStringLiteral(".corrupt"));
  auto store = std::make_unique<QSettings>(file, StoreFormat());
  for (auto it = readable.cbegin(); it != readable.cend(); ++it) store->setValue(it.key(), it.value());
  store->sync();
  return store;
}

// Names are matched with case ignored: the stored spelling of key, or key itself when new.
QString StoredKey(const QSettings& store, const QString& key) {
  const QString wanted = key.toCaseFolded();
  for (const QString& entry : store.allKeys())
    if (entry.toCaseFolded() == wanted) return entry;
  return key;
}

// The stored spelling of a group that has entries, or nullopt.
std::optional<QString> StoredGroup(const QSettings& store, const QString& group) {
  if (group.isEmpty()) return group;
  const QString wanted = group.toCaseFolded() + u'/';
  for (const QString& entry : store.allKeys())
    if (entry.toCaseFolded().startsWith(wanted)) return entry.left(group.size());
  return std::nullopt;
}

AnsiString NameText(std::string_view name) {
  return AnsiString(name);
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() {
  CloseKey();
}

AnsiString TRegistry::AbsolutePath(std::string_view key) const {
  AnsiString path = !key.empty() && key.front() == '\\' ? AnsiString() : Path;
  for (std::size_t start = 0; start <= key.size();) {
    const std::size_t end = std::min(key.find('\\', start), key.size());
    const std::string_view part = key.substr(start, end - start);
    if (!part.empty()) path += (path.empty() ? "" : "\\") + AnsiString(part);
    start = end + 1;
  }
  return path;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  if (RootKey != HKEY_CURRENT_USER) return false;
  const AnsiString path = AbsolutePath(key);
  if (!Store) Store = OpenStore();
  const QString group = SettingsGroup(path);
  std::optional<QString> stored = StoredGroup(*Store, group);
  if (!stored) {
    if (!canCreate) return false;
    Store->setValue(group + u'/' + kKeyMarker, true);
    Store->sync();
    if (Store->status() != QSettings::NoError) return false;
    stored = group;
  }
  Path = path;
  Group = *stored;
  Open = true;
  return true;
}

void TRegistry::CloseKey() {
  if (Store) Store->sync();
  Store.reset();
  Path.clear();
  Group.clear();
  Open = false;
}

bool TRegistry::DeleteKey(std::string_view key) {
  if (RootKey != HKEY_CURRENT_USER) return false;
  const AnsiString path = AbsolutePath(key);
  if (path.empty()) return false;
  const std::unique_ptr<QSettings> temporary = Store ? nullptr : OpenStore();
  QSettings& store = Store ? *Store : *temporary;
  const std::optional<QString> stored = StoredGroup(store, SettingsGroup(path));
  if (!stored) return false;
  store.remove(*stored);
  store.sync();
  return store.status() == QSettings::NoError;
}

bool TRegistry::KeyExists(std::string_view key) const {
  if (RootKey != HKEY_CURRENT_USER) return false;
  const std::unique_ptr<QSettings> temporary = Store ? nullptr : OpenStore();
  return StoredGroup(Store ? *Store : *temporary, SettingsGroup(AbsolutePath(key))).has_value();
}

QString TRegistry::ValueKey(std::string_view name) const {
  const QString value = kValuePrefix + EscapeSegment(AnsiToQString(name));
  return StoredKey(*Store, Group.isEmpty() ? value : Group + u'/' + value);
}

QVariant TRegistry::Value(std::string_view name) const {
  return Open ? Store->value(ValueKey(name)) : QVariant();
}

bool TRegistry::ValueExists(std::string_view name) const {
  return Open && Store->contains(ValueKey(name));
}

AnsiString TRegistry::ReadString(std::string_view name) const {
  const QVariant value = Value(name);
  if (!value.isValid()) return {};
  if (value.typeId() != QMetaType::QString)
    throw ERegistryException(Format("Invalid data type for '%s'", NameText(name).c_str()));
  // As the platform's 8-bit interface does, a character the code page lacks reads as "?".
  if (std::optional<AnsiString> text = QStringToAnsi(value.toString())) return *text;
  AnsiString text;
  for (QChar c : value.toString()) text += QStringToAnsi(QString(c)).value_or("?");
  return text;
}

int TRegistry::ReadInteger(std::string_view name) const {
  const QVariant value = Value(name);
  if (!value.isValid()) throw ERegistryException(Format("Failed to get data for '%s'", NameText(name).c_str()));
  if (value.typeId() != QMetaType::UInt)
    throw ERegistryException(Format("Invalid data type for '%s'", NameText(name).c_str()));
  return static_cast<int>(value.toUInt());
}

void TRegistry::Write(std::string_view name, const QVariant& value) {
  if (!Open) throw ERegistryException(Format("Failed to set data for '%s'", NameText(name).c_str()));
  Store->setValue(ValueKey(name), value);
  Store->sync();
  if (Store->status() != QSettings::NoError)
    throw ERegistryException(Format("Failed to set data for '%s'", NameText(name).c_str()));
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  Write(name, AnsiToQString(value));
}

void TRegistry::WriteInteger(std::string_view name, int value) {
  Write(name, QVariant::fromValue<quint32>(static_cast<quint32>(value)));
}

bool TRegistry::DeleteValue(std::string_view name) {
  if (!ValueExists(name)) return false;
  Store->remove(ValueKey(name));
  Store->sync();
  return Store->status() == QSettings::NoError;
}

bool ReadRegistryStore(QIODevice& device, QSettings::SettingsMap& map) {
  return ReadStore(device, map);
}

bool WriteRegistryStore(QIODevice& device, const QSettings::SettingsMap& map) {
  return WriteStore(device, map);
}
