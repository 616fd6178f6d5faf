// The INI text reader and editor: any input reads without a crash, reads the same after being
// written out, and a write changes nothing but its own key, or is refused.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "IniFiles.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

using Entries = std::map<std::pair<AnsiString, AnsiString>, std::optional<AnsiString>>;

Entries Snapshot(const TIniText& text) {
  Entries entries;
  for (const AnsiString& section : text.Sections())
    for (const AnsiString& key : text.Keys(section))
      entries[{UpperCase(section), UpperCase(key)}] = text.Value(section, key);
  return entries;
}

std::string_view Blankless(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TIniText text(bytes);
  const Entries before = Snapshot(text);
  Require(Snapshot(TIniText(text.Text())) == before, "written text reads back the same");

  // The input's tail, split at the first two 0x01 bytes, names a section, a key and a value.
  const std::size_t a = bytes.find('\x01');
  const std::size_t b = a == std::string_view::npos ? a : bytes.find('\x01', a + 1);
  if (b == std::string_view::npos) return 0;
  const std::string_view head = bytes.substr(0, a);
  const std::string_view section = head.substr(head.size() > 16 ? head.size() - 16 : 0);
  const std::string_view key = bytes.substr(a + 1, b - a - 1);
  const std::string_view value = bytes.substr(b + 1);
  TIniText edited = text;
  try {
    edited.SetValue(section, key, value);
  } catch (const EIniFileException&) {
    Require(edited.Text() == text.Text(), "a refused write changes nothing");
    return 0;
  }
  const TIniText reread(edited.Text());
  const std::optional<AnsiString> expected = TIniText("[s]\nk=" + AnsiString(value)).Value("s", "k");
  Require(reread.Value(section, key) == expected, "the written key reads back");
  Entries after = Snapshot(reread);
  Entries others = before;
  const std::pair<AnsiString, AnsiString> written{UpperCase(Blankless(section)), UpperCase(Blankless(key))};
  after.erase(written);
  others.erase(written);
  Require(after == others, "every other key keeps its value");
  return 0;
}
