#pragma once
// The card line and the book file: building and splitting card lines, the card counter text,
// the book and backup file names, and loading and saving the book.

#include <array>
#include <string_view>
#include <vector>

#include "Outcome.h"
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

// "1 card", "n cards".
[[nodiscard]] AnsiString CardCountText(int count);

// The name stored under "AddressBook" when that value is missing.
[[nodiscard]] AnsiString NewBookFileName();
// Whether name can name the book: a plain file name, without a folder part, not "." or "..".
[[nodiscard]] bool IsPlainFileName(std::string_view name);
// bookFile with the extension of its file name replaced by ".bkp" (added when it has none), beside
// it; ".bkp" is added to a book whose own extension is ".bkp".
[[nodiscard]] AnsiString BackupFileName(std::string_view bookFile);

// The book and backup files for the "AddressBook" setting. A value that is no plain file name is
// replaced by a new name (Replaced), which the caller stores as when the value was missing.
struct BookPaths {
  AnsiString Name;
  AnsiString BookFile;
  AnsiString BackupFile;
  bool Replaced = false;
};
[[nodiscard]] BookPaths BookPathsFor(const AnsiString& programFolder, const AnsiString& setting);

// What the load found; the save needs it so that it never replaces a book it could not read.
struct BookLoad {
  enum class TSource { None, Book, Backup };
  TSource Source = TSource::None;
  bool BookUnreadable = false;    // the book file exists but could not be read
  bool BackupUnreadable = false;  // there was no book file and the backup could not be read
  // The file loaded holds more than its cards: its first line is not the header, or text goes on
  // past a NUL byte. It is kept aside before a save replaces it.
  bool ReadInPart = false;
  AnsiString Failure;  // why the file could not be read
};

// Books larger than this are not read (and so never replaced by a save).
inline constexpr std::size_t kMaxBookBytes = std::size_t{1} << 30;

// Loads the book file, or the backup when the book file does not exist, and drops the header
// line. A file that cannot be read, holds no line or is no regular file gives an empty book;
// nothing is reported.
BookLoad LoadBook(TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile);

// What the user should hear of the load, right after the start ("" for nothing): a file that could
// not be read, or one read only in part, which is kept aside now under a name of its own (as the
// save would do), and the cards earlier sessions had to rescue (RescuedCardFiles). cardCount is
// what the load gave.
[[nodiscard]] AnsiString SettleLoadedBook(BookLoad& load, const AnsiString& bookFile, const AnsiString& backupFile,
                                          int cardCount);

// Removes the temporary files that saves of this book left when the program was killed.
void RemoveStaleSaveFiles(const AnsiString& bookFile, const AnsiString& backupFile);

// The outcome of a save: a failure when the cards are not safe on disk (the previous book is then
// kept complete); Notice when they are, but the user should know something (a file kept aside).
struct BookSave {
  TOutcome Outcome;
  AnsiString Notice;
};

// Writes the header and the cards as the book file, the previous book becoming the backup. A
// failure at any step keeps the previous book complete. A file the load read only in part is first
// kept aside under a name of its own, which no later save touches. load is brought up to date: after
// a save it describes the book now on disk.
[[nodiscard]] BookSave SaveBook(const TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile,
                                BookLoad& load);

// Where the cards go when the book cannot take them, in this order: the book's folder,
// $XDG_DATA_HOME/velmora-address-book/ (~/.local/share/... when unset), $HOME, $TMPDIR (/tmp when
// unset). Each ends in "/".
[[nodiscard]] std::vector<AnsiString> RescueFolders(const AnsiString& bookFile);

// Writes the cards to a new rescue file (the book's name + "-rescued") in the first of RescueFolders
// that takes it whole; gives its name, or the last folder's failure when none did.
TResult<AnsiString> RescueCards(const TStringList& cards, const AnsiString& bookFile);

// The rescue files of this book in RescueFolders that are not older than the book file (all of
// them while there is none): the cards of sessions that the book does not hold.
[[nodiscard]] std::vector<AnsiString> RescuedCardFiles(const AnsiString& bookFile);
