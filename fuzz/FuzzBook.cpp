// The book file reader: splits the input into lines by the reading rule and every line into card
// fields, and checks what the readers rely on.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "CardBook.h"
#include "Files.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

// A folder of its own for the book file, removed at exit.
struct TemporaryFolder {
  TemporaryFolder() {
    char name[] = "/tmp/fuzz_book.XXXXXX";
    Require(::mkdtemp(name) != nullptr, "a temporary folder");
    Path = AnsiString(name) + "/";
  }
  ~TemporaryFolder() {
    ::unlink((Path + NewBookFileName()).c_str());
    ::rmdir(Path.c_str());
  }
  AnsiString Path;
};

void CheckCardLine(std::string_view line) {
  const std::vector<std::string_view> fields = SplitCardLine(line);
  Require(static_cast<std::ptrdiff_t>(fields.size()) == std::count(line.begin(), line.end(), kFieldSeparator),
          "one field per separator");
  const CardView view = ReadCardView(line);
  Require(view.FieldCount == static_cast<int>(fields.size()), "the view has every field");

  // Storing the fields again gives a card of exactly 14 fields on one line.
  CardValues values{};
  for (std::size_t i = 0; i < values.size() && i < fields.size(); ++i) values[i] = fields[i];
  if (view.HasField(cfNotes)) values[cfNotes] = view.Notes;
  const AnsiString built = BuildCardLine(values);
  Require(SplitCardLine(built).size() == kCardFieldCount, "a built card has 14 fields");
  Require(built.find_first_of(std::string_view("\r\n\0", 3)) == AnsiString::npos, "a built card is one line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TStringList lines;
  const std::size_t cut = lines.SetText(text);
  const std::string_view read = text.substr(0, std::min(text.find('\0'), text.size()));
  Require(cut == text.size() - read.size(), "the bytes from the first NUL on are counted");
  std::size_t covered = 0;
  for (std::string_view line : lines) {
    Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos, "a line holds no line end");
    covered += line.size();
    CheckCardLine(line);
  }
  Require(covered <= read.size(), "lines come from the text before the first NUL");
  Require(lines.Count() <= static_cast<int>(read.size()), "at most one line per byte");

  // The loader reads the same lines from a file and drops the header.
  static const TemporaryFolder folder;
  const AnsiString book = folder.Path + NewBookFileName();
  WriteWholeFile(book, text);
  TStringList cards;
  const BookLoad load = LoadBook(cards, book, BackupFileName(book));
  Require(load.Source == BookLoad::TSource::Book && !load.BookUnreadable, "the book is read");
  Require(cards.Count() == std::max(lines.Count() - 1, 0), "the header is dropped");
  Require(load.ReadInPart == (cut > 0 || (lines.Count() > 0 && lines[0] != kBookHeader)),
          "a file is read in part exactly when its text goes past a NUL or its first line is no header");
  for (int i = 0; i < cards.Count(); ++i) Require(cards[i] == lines[i + 1], "the file gives the same lines");
  return 0;
}
