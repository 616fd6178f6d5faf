#include "CardExport.h"

#include <cstring>

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

void AppendValue(std::string_view value, char delimiter, std::string& out) {
  const bool quote = value.find_first_of(std::string_view{"\"\r\n"}) != std::string_view::npos ||
                     value.find(delimiter) != std::string_view::npos;
  if (!quote) {
    out.append(value);
    return;
  }
  out.push_back('"');
  for (const char c : value) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

template <typename Write>
void ProduceExport(const TStringList& cards, const ExportChoice& choice, std::string& buffer, Write write) {
  if (choice.Headers) {
    ExportValues headers;
    for (int i = 0; i < kExportColumnCount; ++i)
      headers[static_cast<std::size_t>(i)] = kExportColumns[static_cast<std::size_t>(i)].HeaderText;
    AppendExportLine(headers, choice, buffer);
  }
  AnsiString name;
  for (const std::string_view line : cards) {
    AppendExportLine(ReadExportCard(line, name), choice, buffer);
    if (buffer.size() >= kFlushSize) {
      write(buffer);
      buffer.clear();
    }
  }
  write(buffer);
  buffer.clear();
}

}  // namespace

char ExportDelimiter(std::string_view editText) {
  if (editText.empty()) return ' ';
  if (editText.front() == '"') throw EConvertError("A double quote cannot be the delimiter.");
  return editText.front();
}

AnsiString ExportName(std::string_view surname, std::string_view firstName) {
  AnsiString joined;
  joined.reserve(surname.size() + firstName.size() + 1);
  joined.append(TrimView(surname));
  joined.push_back(' ');
  joined.append(TrimView(firstName));
  AnsiString folded;
  folded.reserve(joined.size());
  for (std::size_t i = 0; i < joined.size(); ++i) {
    folded.push_back(joined[i]);
    if (joined[i] == ' ' && i + 1 < joined.size() && joined[i + 1] == ' ') ++i;
  }
  return AnsiString(TrimView(folded));
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
  nameBuffer = ExportName(fields[cfSurname], fields[cfFirstName]);
  ExportValues values;
  values[0] = nameBuffer;
  for (std::size_t i = 1; i < values.size(); ++i)
    values[i] = TrimView(fields[static_cast<std::size_t>(kFieldOfColumn[i])]);
  return values;
}

void AppendExportLine(const ExportValues& values, const ExportChoice& choice, std::string& out) {
  bool any = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!choice.Chosen[i]) continue;
    if (any) out.push_back(choice.Delimiter);
    AppendValue(values[i], choice.Delimiter, out);
    any = true;
  }
  if (any) out.append("\r\n");
}

AnsiString ExportText(const TStringList& cards, const ExportChoice& choice) {
  AnsiString text;
  std::string buffer;
  ProduceExport(cards, choice, buffer, [&text](const std::string& part) { text.append(part); });
  return text;
}

void WriteExportFile(const TStringList& cards, const ExportChoice& choice, const AnsiString& fileName) {
  std::string buffer;
  buffer.reserve(kFlushSize + 4096);
  const AnsiString error = ReplaceFileDurably(fileName, "", [&](TFileSink& file) {
    ProduceExport(cards, choice, buffer, [&file](const std::string& part) { file.Append(part); });
  });
  if (!error.empty()) throw EFCreateError(Format("Cannot create file \"%s\" (%s)", fileName.c_str(), error.c_str()));
}
