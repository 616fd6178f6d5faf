#pragma once
// The delimited text export: the eleven columns a card offers, the values of a card, the line of
// the chosen columns, and the export file written from the book.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "StringList.h"
#include "SysUtils.h"

inline constexpr int kExportColumnCount = 11;

struct ExportColumn {
  std::string_view ItemText;    // the text of its item in the field chooser
  std::string_view HeaderText;  // its text in the header line
  bool CheckedAtStart;
};
// In item order, which is the order of the values in every line.
extern const std::array<ExportColumn, kExportColumnCount> kExportColumns;

using ExportValues = std::array<std::string_view, kExportColumnCount>;

struct ExportChoice {
  std::array<bool, kExportColumnCount> Chosen{};
  char Delimiter = ',';
  bool Headers = true;
};

// The delimiter of the delimiter edit's text: its first character, or a blank when it is empty.
// A double quote cannot be one (it quotes values): EConvertError.
[[nodiscard]] char ExportDelimiter(std::string_view editText);

// Trimmed surname, a blank, trimmed first name; each pair of blanks then made one, in one pass
// from the left; the result trimmed.
[[nodiscard]] AnsiString ExportName(std::string_view surname, std::string_view firstName);

// The eleven values of a card line in column order, each trimmed; fields the line lacks are
// empty. The name is built in nameBuffer, which the result points into.
[[nodiscard]] ExportValues ReadExportCard(std::string_view line, AnsiString& nameBuffer);

// Appends the chosen values separated by the delimiter and followed by CR LF; nothing at all when
// no column is chosen. A value holding the delimiter, a double quote, CR or LF is written in
// double quotes with its double quotes doubled; every other value as it is.
void AppendExportLine(const ExportValues& values, const ExportChoice& choice, std::string& out);

// The whole export of the book: the header line when asked for, then a line per card.
[[nodiscard]] AnsiString ExportText(const TStringList& cards, const ExportChoice& choice);

// Writes the export to the file through a temporary file beside it, so that a failure leaves a
// file that was there as it was. Raises EFCreateError with the failure's text.
void WriteExportFile(const TStringList& cards, const ExportChoice& choice, const AnsiString& fileName);
