#include "Registry.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <cstdlib>
#include <functional>
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
bool ReadStore(QIODevice& device, RegistryValues& map) {
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

bool WriteStore(QIODevice& device, const RegistryValues& map) {
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

QString StoreFile() {
  return QFile::decodeName(RegistryStoreFile().c_str());
}

// The store as it is on disk now. A missing or unreadable file reads as empty.
struct StoreContents {
  RegistryValues values;
  QByteArray bytes;
  bool damaged = false;
};

StoreContents ReadStoreFile(const QString& file) {
  StoreContents contents;
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return contents;
  contents.bytes = in.readAll();
  QBuffer buffer(&contents.bytes);
  buffer.open(QIODevice::ReadOnly);
  contents.damaged = !ReadStore(buffer, contents.values);
  return contents;
}

bool SaveFile(const QString& file, const QByteArray& bytes) {
  QSaveFile out(file);
  return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

bool SaveStore(const QString& file, const RegistryValues& values) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  return WriteStore(buffer, values) && SaveFile(file, buffer.data());
}

// Every change of the store is made holding this lock, so that changes of several programs follow
// one another. A lock left by a program that died is taken over.
class StoreLock {
 public:
  explicit StoreLock(const QString& file) : Lock(file + QStringLiteral(".lock")) {
    Lock.setStaleLockTime(3000);
    Locked = QDir().mkpath(QFileInfo(file).absolutePath()) && Lock.tryLock(5000);
  }
  bool Locked = false;

 private:
  QLockFile Lock;
};

// Under the lock: a damaged store is kept aside as it was, and the values it still gave take its place.
void SetDamagedStoreAside(const QString& file, const StoreContents& contents) {
  if (!SaveFile(file + QStringLiteral(".corrupt"), contents.bytes)) return;
  if (contents.values.isEmpty())
    QFile::remove(file);
  else
    SaveStore(file, contents.values);
}

// The store's values, read afresh.
RegistryValues LoadStore() {
  const QString file = StoreFile();
  StoreContents contents = ReadStoreFile(file);
  if (!contents.damaged) return contents.values;
  const StoreLock lock(file);
  if (!lock.Locked) return contents.values;
  contents = ReadStoreFile(file);  // as it is now that no other program changes it
  if (contents.damaged) SetDamagedStoreAside(file, contents);
  return contents.values;
}

// Reads the store afresh under its lock, lets edit change the values, and when edit returns true
// writes them back atomically. Returns the values as they are then, or nullopt when the store could
// not be locked or written.
std::optional<RegistryValues> EditStore(const std::function<bool(RegistryValues&)>& edit) {
  const QString file = StoreFile();
  const StoreLock lock(file);
  if (!lock.Locked) return std::nullopt;
  StoreContents contents = ReadStoreFile(file);
  if (contents.damaged) SetDamagedStoreAside(file, contents);
  if (edit(contents.values) && !SaveStore(file, contents.values)) return std::nullopt;
  return contents.values;
}

// Names are matched with case ignored: the stored spelling of key, or key itself when new.
QString StoredKey(const RegistryValues& values, const QString& key) {
  const QString wanted = key.toCaseFolded();
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    if (it.key().toCaseFolded() == wanted) return it.key();
  return key;
}

// The stored spelling of a group that has entries, or nullopt.
std::optional<QString> StoredGroup(const RegistryValues& values, const QString& group) {
  if (group.isEmpty()) return group;
  const QString wanted = group.toCaseFolded() + u'/';
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    if (it.key().toCaseFolded().startsWith(wanted)) return it.key().left(group.size());
  return std::nullopt;
}

AnsiString NameText(std::string_view name) {
  return AnsiString(name);
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

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
  const QString group = SettingsGroup(path);
  RegistryValues values = LoadStore();
  std::optional<QString> stored = StoredGroup(values, group);
  if (!stored) {
    if (!canCreate) return false;
    std::optional<RegistryValues> edited = EditStore([&](RegistryValues& now) {
      if (StoredGroup(now, group)) return false;  // another program has just made it
      now.insert(group + u'/' + kKeyMarker, true);
      return true;
    });
    if (!edited) return false;
    values = std::move(*edited);
    stored = StoredGroup(values, group);
  }
  Values = std::move(values);
  Path = path;
  Group = *stored;
  Open = true;
  return true;
}

void TRegistry::CloseKey() {
  Values.clear();
  Path.clear();
  Group.clear();
  Open = false;
}

bool TRegistry::DeleteKey(std::string_view key) {
  if (RootKey != HKEY_CURRENT_USER) return false;
  const AnsiString path = AbsolutePath(key);
  if (path.empty()) return false;
  const QString group = SettingsGroup(path);
  bool found = false;
  std::optional<RegistryValues> edited = EditStore([&](RegistryValues& now) {
    const std::optional<QString> stored = StoredGroup(now, group);
    if (!stored) return false;
    found = true;
    const QString prefix = stored->toCaseFolded() + u'/';
    now.removeIf([&](RegistryValues::iterator entry) { return entry.key().toCaseFolded().startsWith(prefix); });
    return true;
  });
  if (!edited || !found) return false;
  if (Open) Values = std::move(*edited);
  return true;
}

bool TRegistry::KeyExists(std::string_view key) const {
  if (RootKey != HKEY_CURRENT_USER) return false;
  const QString group = SettingsGroup(AbsolutePath(key));
  return (Open ? StoredGroup(Values, group) : StoredGroup(LoadStore(), group)).has_value();
}

QString TRegistry::ValueKey(const RegistryValues& values, std::string_view name) const {
  const QString value = kValuePrefix + EscapeSegment(AnsiToQString(name));
  return StoredKey(values, Group.isEmpty() ? value : Group + u'/' + value);
}

QVariant TRegistry::Value(std::string_view name) const {
  return Open ? Values.value(ValueKey(Values, name)) : QVariant();
}

bool TRegistry::ValueExists(std::string_view name) const {
  return Open && Values.contains(ValueKey(Values, name));
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
  std::optional<RegistryValues> edited;
  if (Open)
    edited = EditStore([&](RegistryValues& now) {
      now.insert(ValueKey(now, name), value);
      return true;
    });
  if (!edited) throw ERegistryException(Format("Failed to set data for '%s'", NameText(name).c_str()));
  Values = std::move(*edited);
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  Write(name, AnsiToQString(value));
}

void TRegistry::WriteInteger(std::string_view name, int value) {
  Write(name, QVariant::fromValue<quint32>(static_cast<quint32>(value)));
}

bool TRegistry::DeleteValue(std::string_view name) {
  if (!Open) return false;
  bool found = false;
  std::optional<RegistryValues> edited = EditStore([&](RegistryValues& now) {
    found = now.remove(ValueKey(now, name)) > 0;
    return found;
  });
  if (!edited) return false;
  Values = std::move(*edited);
  return found;
}

bool ReadRegistryStore(QIODevice& device, RegistryValues& map) {
  return ReadStore(device, map);
}

bool WriteRegistryStore(QIODevice& device, const RegistryValues& map) {
  return WriteStore(device, map);
}
