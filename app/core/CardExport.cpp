#include "CardExport.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "CardBook.h"
#include "Files.h"

const std::array<ExportColumn, kExportColumnCount> kExportColumns{{
    {"Name", "Name", true},
    {"Address", "Address", true},
    {"City", "City", true},
    {"Zip", "Zip", true},
    {"State", "State", false},
    {"Country", "Country", false},
    {"Phone", "Phone", true},
    {"Cellular", "Cellular", true},
    {"Company", "Company", true},
    {"Email", "eMail", true},
    {"Website", "Website", false},
}};

namespace {

// The card field of each column after the name.
constexpr std::array<int, kExportColumnCount> kFieldOfColumn{
    -1, cfAddress, cfCity, cfZip, cfState, cfCountry, cfPhone, cfCellular, cfCompany, cfEmail, cfWebsite};

// Flushes the line buffer to the file in pieces of this size.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;

std::string_view TrimView(std::string_view s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
  return s.substr(first, last - first);
}

// The bytes that make a value quoted: the delimiter, the double quote, CR and LF.
class TQuoteBytes final {
 public:
  explicit TQuoteBytes(char delimiter) {
    std::size_t i = 0;
    for (const char c : {delimiter, '"', '\r', '\n'}) {
      FMarks[static_cast<unsigned char>(c)] = true;
      FPatterns[i++] = kOnes * static_cast<unsigned char>(c);
    }
  }
  [[nodiscard]] bool Marks(char c) const { return FMarks[static_cast<unsigned char>(c)]; }
  // Whether any of eight bytes is one of them.
  [[nodiscard]] bool AnyOf(std::uint64_t bytes) const {
    std::uint64_t found = 0;
    for (const std::uint64_t pattern : FPatterns) {
      const std::uint64_t v = bytes ^ pattern;
      found |= (v - kOnes) & ~v & kHighs;
    }
    return found != 0;
  }

 private:
  static constexpr std::uint64_t kOnes = 0x0101010101010101u;
  static constexpr std::uint64_t kHighs = 0x8080808080808080u;
  std::array<bool, 256> FMarks{};
  std::array<std::uint64_t, 4> FPatterns{};
};

const TQuoteBytes& QuoteBytesFor(char delimiter) {
  static thread_local char cached = delimiter;
  static thread_local TQuoteBytes bytes(delimiter);
  if (cached != delimiter) {
    cached = delimiter;
    bytes = TQuoteBytes(delimiter);
  }
  return bytes;
}

char* WriteQuoted(std::string_view value, char* p) {
  *p++ = '"';
  for (const char c : value) {
    if (c == '"') *p++ = '"';
    *p++ = c;
  }
  *p++ = '"';
  return p;
}

// Writes the value at p, quoted when it holds a byte that asks for it; the result is the end.
// The value is copied eight bytes at a time while none of them asks for quotes.
char* WriteValue(std::string_view value, const TQuoteBytes& quotes, char* p) {
  const char* const s = value.data();
  const std::size_t n = value.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, s + i, 8);
    if (quotes.AnyOf(bytes)) return WriteQuoted(value, p);
    std::memcpy(p + i, &bytes, 8);
  }
  for (; i < n; ++i) {
    if (quotes.Marks(s[i])) return WriteQuoted(value, p);
    p[i] = s[i];
  }
  return p + n;
}

// The name built into buffer; the result is its trimmed part.
std::string_view BuildName(std::string_view surname, std::string_view firstName, AnsiString& buffer) {
  surname = TrimView(surname);
  firstName = TrimView(firstName);
  buffer.assign(surname);
  buffer.push_back(' ');
  buffer.append(firstName);
  // Each pair of blanks becomes one, in one pass from the left.
  std::size_t to = 0;
  for (std::size_t from = 0; from < buffer.size(); ++from, ++to) {
    buffer[to] = buffer[from];
    if (buffer[from] == ' ' && from + 1 < buffer.size() && buffer[from + 1] == ' ') ++from;
  }
  buffer.resize(to);
  return TrimView(buffer);
}

// Room for the worst case of a line: every value quoted and made of double quotes.
std::size_t LineRoom(const ExportValues& values, const ExportChoice& choice) {
  std::size_t room = 2;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (choice.Chosen[i]) room += 2 * values[i].size() + 3;
  return room;
}

// Writes the line at p; the result is its end.
char* WriteLine(const ExportValues& values, const ExportChoice& choice, char* p) {
  const TQuoteBytes& quotes = QuoteBytesFor(choice.Delimiter);
  bool any = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!choice.Chosen[i]) continue;
    if (any) *p++ = choice.Delimiter;
    p = WriteValue(values[i], quotes, p);
    any = true;
  }
  if (any) {
    *p++ = '\r';
    *p++ = '\n';
  }
  return p;
}

// Lines gathered in a buffer and handed to write in pieces of about kFlushSize bytes.
template <typename Write>
void ProduceExport(const TStringList& cards, const ExportChoice& choice, Write write) {
  std::size_t capacity = kFlushSize + (std::size_t{1} << 16);
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t used = 0;
  const auto add = [&](const ExportValues& values) {
    const std::size_t room = LineRoom(values, choice);
    if (used + room > capacity) {
      write(std::string_view(buffer.get(), used));
      used = 0;
      if (room > capacity) {
        capacity = room;
        buffer = std::make_unique_for_overwrite<char[]>(capacity);
      }
    }
    used = static_cast<std::size_t>(WriteLine(values, choice, buffer.get() + used) - buffer.get());
    if (used >= kFlushSize) {
      write(std::string_view(buffer.get(), used));
      used = 0;
    }
  };
  if (choice.Headers) {
    ExportValues headers;
    for (int i = 0; i < kExportColumnCount; ++i)
      headers[static_cast<std::size_t>(i)] = kExportColumns[static_cast<std::size_t>(i)].HeaderText;
    add(headers);
  }
  AnsiString name;
  for (const std::string_view line : cards) add(ReadExportCard(line, name));
  write(std::string_view(buffer.get(), used));
}

}  // namespace

char ExportDelimiter(std::string_view editText) {
  if (editText.empty()) return ' ';
  if (editText.front() == '"') throw EConvertError("A double quote cannot be the delimiter.");
  return editText.front();
}

AnsiString ExportName(std::string_view surname, std::string_view firstName) {
  AnsiString buffer;
  return AnsiString(BuildName(surname, firstName, buffer));
}

ExportValues ReadExportCard(std::string_view line, AnsiString& nameBuffer) {
  std::array<std::string_view, kCardFieldCount> fields{};
  std::size_t start = 0;
  for (int field = 0; field < kCardFieldCount; ++field) {
    const void* found = std::memchr(line.data() + start, kFieldSeparator, line.size() - start);
    if (!found) break;
    const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    fields[static_cast<std::size_t>(field)] = line.substr(start, end - start);
    start = end + 1;
  }
  ExportValues values;
  values[0] = BuildName(fields[cfSurname], fields[cfFirstName], nameBuffer);
  for (std::size_t i = 1; i < values.size(); ++i)
    values[i] = TrimView(fields[static_cast<std::size_t>(kFieldOfColumn[i])]);
  return values;
}

void AppendExportLine(const ExportValues& values, const ExportChoice& choice, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + LineRoom(values, choice));
  char* const begin = out.data() + start;
  out.resize(start + static_cast<std::size_t>(WriteLine(values, choice, begin) - begin));
}

AnsiString ExportText(const TStringList& cards, const ExportChoice& choice) {
  AnsiString text;
  ProduceExport(cards, choice, [&text](std::string_view part) { text.append(part); });
  return text;
}

void WriteExportFile(const TStringList& cards, const ExportChoice& choice, const AnsiString& fileName) {
  const TOutcome written = ReplaceFileDurably(fileName, "", [&](TFileSink& file) {
    ProduceExport(cards, choice, [&file](std::string_view part) { file.Append(part); });
  });
  if (!written)
    throw EFCreateError(Format("Cannot create file \"%s\" (%s)", fileName.c_str(), written.Error().c_str()));
}
