#pragma once
// The card line and the book file: building and splitting card lines, the card counter text,
// the book and backup file names, and loading and saving the book.

#include <array>
#include <string_view>
#include <vector>

#include "StringList.h"
#include "SysUtils.h"

inline constexpr char kFieldSeparator = '\xFF';
inline constexpr std::string_view kBookHeader = "ABK10";
inline constexpr std::string_view kNotesLineBreak = "@!";

// Field indexes of a card line.
enum CardField : int {
  cfSurname,
  cfFirstName,
  cfCompany,
  cfAddress,
  cfCity,
  cfZip,
  cfState,
  cfCountry,
  cfPhone,
  cfCellular,
  cfEmail,
  cfWebsite,
  cfPicture,
  cfNotes,
  kCardFieldCount
};
inline constexpr int kEditFieldCount = 12;  // fields shown in the main window's edits

using CardValues = std::array<std::string_view, kCardFieldCount>;

// Builds a card line from the values in field order: line breaks of the notes become "@!", the
// surname and first name are trimmed, the picture keeps only its file name. A value can never add
// or remove a field or a line: the separator byte and NUL are dropped from every value, and a line
// break outside the notes becomes a blank.
[[nodiscard]] AnsiString BuildCardLine(const CardValues& values);

// The fields of a line: each 0xFF closes one; text after the last one is ignored.
[[nodiscard]] std::vector<std::string_view> SplitCardLine(std::string_view line);

// What showing a line puts on view. Fields the line lacks are absent, so their controls keep
// what they showed.
struct CardView {
  int FieldCount = 0;
  std::array<AnsiString, kEditFieldCount> Edits;
  AnsiString Notes;        // "@!" turned back into CR LF; meaningful when FieldCount > cfNotes
  AnsiString PictureSlot;  // field 12 or a later extra field, the last one winning
  [[nodiscard]] bool HasField(int field) const { return field < FieldCount; }
};
[[nodiscard]] CardView ReadCardView(std::string_view line);

// True when the picture name's extension is ".JPG" in any letter case.
[[nodiscard]] bool IsJpgPictureName(std::string_view name);

// "Card n of c" with n = currentCard + 1, or "Card n of c+1" while a new card is being typed.
[[nodiscard]] AnsiString FormatCardNumber(int currentCard, int cardCount);

// The name stored under "AddressBook" when that value is missing.
[[nodiscard]] AnsiString NewBookFileName();
// bookFile with its last three characters replaced by "bkp".
[[nodiscard]] AnsiString BackupFileName(std::string_view bookFile);

// What the load found; the save needs it so that it never replaces a book it could not read.
struct BookLoad {
  enum class TSource { None, Book, Backup };
  TSource Source = TSource::None;
  bool BookUnreadable = false;    // the book file exists but could not be read
  bool BackupUnreadable = false;  // there was no book file and the backup could not be read
};

// Loads the book file, or the backup when the book file does not exist, and drops the header
// line. A file that cannot be read, or holds no line, gives an empty book; nothing is reported.
BookLoad LoadBook(TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile);

// Writes the header and the cards as the book file, the previous book becoming the backup. A
// failure at any step keeps the previous book complete. Returns "" on success, otherwise the
// message for the user.
[[nodiscard]] AnsiString SaveBook(const TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile,
                                  const BookLoad& load);
