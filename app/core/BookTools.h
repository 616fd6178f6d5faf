#pragma once
// The tools that work on the whole book: the alphabetical sort, and backup to and restore from a
// file the user chooses.

#include <string_view>

#include "StringList.h"
#include "SysUtils.h"

// Sorts the card lines field by field (surname, then first name, then the remaining fields in line
// order), each field in the locale's order with case ignored. Lines that compare equal keep their
// order.
void SortCards(TStringList& cards);

// Raises Exception with the text for the user when file is the book file or its automatic backup,
// which the next exit overwrites: the same name in any case, through ".." or a link, or a hard link
// to either. use names what file was to be made ("backup", "export").
void RefuseBookFiles(const AnsiString& file, const AnsiString& bookFile, const AnsiString& backupFile,
                     std::string_view use);

// Writes the header and the cards to file, each line ended by CR LF, through a temporary file that
// replaces file only when complete, so a failure keeps the earlier file. Refuses the book file and
// its automatic backup (RefuseBookFiles). Raises Exception with the text for the user.
void WriteBackupFile(const TStringList& cards, const AnsiString& file, const AnsiString& bookFile,
                     const AnsiString& backupFile);

// A backup file as read for a restore: its lines after the first, and whether the first was the
// book header. Raises EFOpenError or EReadError when the file cannot be read.
struct TBackupContents {
  TStringList Cards;
  bool IsBook = false;
};
[[nodiscard]] TBackupContents ReadBackupFile(const AnsiString& file);
