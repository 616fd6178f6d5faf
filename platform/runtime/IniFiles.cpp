#include "IniFiles.h"

#include <cerrno>
#include <charconv>
#include <filesystem>

#include "Files.h"

namespace {

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return UpperCase(a) == UpperCase(b);
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

void Refuse(std::string_view what, std::string_view name) {
  throw EIniFileException(Format("Cannot write %.*s \"%.*s\" to an INI file", static_cast<int>(what.size()),
                                 what.data(), static_cast<int>(name.size()), name.data()));
}

}  // namespace

TIniText::TIniText(std::string_view text) {
  AnsiString section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);  // CR LF line ends, and stray CRs
    Line line{AnsiString(raw), {}, {}, false, false};
    const std::string_view trimmed = TrimBlanks(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const std::size_t close = trimmed.find(']');
      line.Header = true;
      line.Section = AnsiString(TrimBlanks(trimmed.substr(1, close == std::string_view::npos ? close : close - 1)));
      section = line.Section;
    } else if (!trimmed.empty() && trimmed.front() != ';') {
      const std::size_t equals = trimmed.find('=');
      if (equals != std::string_view::npos) {
        line.HasKey = true;
        line.Key = AnsiString(TrimBlanks(trimmed.substr(0, equals)));
        line.Section = section;
      }
    }
    Lines.push_back(std::move(line));
  }
}

std::pair<std::size_t, std::size_t> TIniText::Find(std::string_view section) const {
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (!Lines[i].Header || !SameName(Lines[i].Section, TrimBlanks(section))) continue;
    std::size_t end = i + 1;
    while (end < Lines.size() && !Lines[end].Header) ++end;
    return {i + 1, end};
  }
  return {std::string_view::npos, std::string_view::npos};
}

std::optional<AnsiString> TIniText::Value(std::string_view section, std::string_view key) const {
  const auto [first, end] = Find(section);
  for (std::size_t i = first; i < end; ++i) {
    if (!Lines[i].HasKey || !SameName(Lines[i].Key, TrimBlanks(key))) continue;
    const std::string_view text = Lines[i].Text;
    std::string_view value = TrimBlanks(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return AnsiString(value);
  }
  return std::nullopt;
}

void TIniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || section.find(']') != std::string_view::npos) Refuse("the section", section);
  const std::string_view trimmedKey = TrimBlanks(key);
  if (HasLineBreak(key) || key.find('=') != std::string_view::npos || trimmedKey.empty() || trimmedKey.front() == '[' ||
      trimmedKey.front() == ';')
    Refuse("the key", key);
  if (HasLineBreak(value)) Refuse("a value with a line break under", key);

  auto [first, end] = Find(section);
  if (first == std::string_view::npos) {
    if (!Lines.empty() && !TrimBlanks(Lines.back().Text).empty()) Lines.push_back(Line{});
    const AnsiString name(TrimBlanks(section));
    Lines.push_back(Line{"[" + name + "]", name, {}, true, false});
    first = end = Lines.size();
  }
  for (std::size_t i = first; i < end; ++i)
    if (Lines[i].HasKey && SameName(Lines[i].Key, trimmedKey)) {
      Lines[i].Text = Lines[i].Key + "=" + AnsiString(value);
      return;
    }
  // After the section's last non-blank line.
  std::size_t at = end;
  while (at > first && TrimBlanks(Lines[at - 1].Text).empty()) --at;
  const AnsiString name(trimmedKey);
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(at),
               Line{name + "=" + AnsiString(value), Lines[first - 1].Section, name, false, true});
}

void TIniText::EraseSection(std::string_view section) {
  for (auto [first, end] = Find(section); first != std::string_view::npos; std::tie(first, end) = Find(section))
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(first - 1),
                Lines.begin() + static_cast<std::ptrdiff_t>(end));
}

std::vector<AnsiString> TIniText::Sections() const {
  std::vector<AnsiString> names;
  for (const Line& line : Lines)
    if (line.Header) names.push_back(line.Section);
  return names;
}

std::vector<AnsiString> TIniText::Keys(std::string_view section) const {
  std::vector<AnsiString> names;
  const auto [first, end] = Find(section);
  for (std::size_t i = first; i < end; ++i)
    if (Lines[i].HasKey) names.push_back(Lines[i].Key);
  return names;
}

AnsiString TIniText::Text() const {
  AnsiString text;
  for (const Line& line : Lines) text += line.Text + "\n";
  return text;
}

namespace {

AnsiString IniPath(const AnsiString& name) {
  if (!name.empty() && name.front() == '/') return name;
  return SettingsFolder() + "/" + name;
}

std::optional<int> ParseInteger(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (base == 16 && value > 0x7FFFFFFFLL && value <= 0xFFFFFFFFLL) value -= 0x100000000LL;  // all 32 bits
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

TIniFile::TIniFile(const AnsiString& FileName) : FFileName(IniPath(FileName)) {}

TIniFile::~TIniFile() = default;

TIniText TIniFile::Load(bool forWrite) const {
  if (!FileExists(FFileName)) return TIniText();
  std::size_t size = 0;
  try {
    const auto bytes = ReadWholeFile(FFileName, size);
    return TIniText(std::string_view(bytes.get(), size));
  } catch (const EStreamError&) {
    // A file that cannot be read reads as empty, and is never replaced by what a write would leave.
    if (forWrite) throw EIniFileException(Format("Unable to write to %s", FFileName.c_str()));
    return TIniText();
  }
}

void TIniFile::Save(const TIniText& text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(FFileName).parent_path(), ec);
  if (!ReplaceFileDurably(FFileName, "", text.Text()))
    throw EIniFileException(Format("Unable to write to %s", FFileName.c_str()));
}

AnsiString TIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const {
  return Load().Value(Section, Ident).value_or(AnsiString(Default));
}

void TIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
  TIniText text = Load(true);
  text.SetValue(Section, Ident, Value);
  Save(text);
}

int TIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int Default) const {
  const std::optional<AnsiString> value = Load().Value(Section, Ident);
  return value ? ParseInteger(*value).value_or(Default) : Default;
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view Section) {
  TIniText text = Load(true);
  if (text.Keys(Section).empty() &&
      std::ranges::none_of(text.Sections(), [&](const AnsiString& s) { return SameName(s, Section); }))
    return;
  text.EraseSection(Section);
  Save(text);
}

TRegIniFile::TRegIniFile(const AnsiString& FileName) : FFileName(FileName) {
  KeyOpen = Registry.OpenKey(FileName, true);
}

TRegIniFile::~TRegIniFile() = default;

void TRegIniFile::SetRootKey(HKEY root) {
  Registry.CloseKey();
  Registry.RootKey = root;
  KeyOpen = false;
}

bool TRegIniFile::OpenKey(std::string_view key, bool canCreate) {
  KeyOpen = Registry.OpenKey(key, canCreate && Access != KEY_READ);
  return KeyOpen;
}

bool TRegIniFile::EnterSection(TRegistry& section, std::string_view name, bool write) const {
  if (!KeyOpen) return false;
  const AnsiString path = "\\" + Registry.CurrentPath() + (name.empty() ? "" : "\\" + AnsiString(name));
  return section.OpenKey(path, write && Access != KEY_READ);
}

AnsiString TRegIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) {
  TRegistry section;
  if (!EnterSection(section, Section, false) || !section.ValueExists(Ident)) return AnsiString(Default);
  try {
    return section.ReadString(Ident);
  } catch (const ERegistryException&) {
    return IntToStr(section.ReadInteger(Ident));
  }
}

void TRegIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
  TRegistry section;
  if (!EnterSection(section, Section, true))
    throw ERegistryException(Format("Failed to set data for '%.*s'", static_cast<int>(Ident.size()), Ident.data()));
  section.WriteString(Ident, Value);
}

int TRegIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int Default) {
  TRegistry section;
  if (!EnterSection(section, Section, false) || !section.ValueExists(Ident)) return Default;
  try {
    return section.ReadInteger(Ident);
  } catch (const ERegistryException&) {
    return ParseInteger(TrimBlanks(section.ReadString(Ident))).value_or(Default);
  }
}

void TRegIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int Value) {
  TRegistry section;
  if (!EnterSection(section, Section, true))
    throw ERegistryException(Format("Failed to set data for '%.*s'", static_cast<int>(Ident.size()), Ident.data()));
  section.WriteInteger(Ident, Value);
}

bool TRegIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
  WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::EraseSection(std::string_view Section) {
  if (!KeyOpen || Section.empty()) return;
  TRegistry registry;
  registry.DeleteKey("\\" + Registry.CurrentPath() + "\\" + AnsiString(Section));
}
