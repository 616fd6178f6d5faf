#include "CardBook.h"

#include <cstring>

#include "Files.h"

namespace {

// The value as it may stand in a field: no separator, no NUL, and no line break but the notes'.
AnsiString CleanValue(std::string_view value, bool notes) {
  AnsiString clean;
  clean.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == kFieldSeparator || c == '\0') continue;
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      clean += notes ? kNotesLineBreak : " ";
      continue;
    }
    clean += c;
  }
  return clean;
}

}  // namespace

AnsiString BuildCardLine(const CardValues& values) {
  AnsiString line;
  line.reserve(256);
  for (int field = 0; field < kCardFieldCount; ++field) {
    const std::string_view value = values[static_cast<std::size_t>(field)];
    switch (field) {
      case cfSurname:
      case cfFirstName:
        line += Trim(CleanValue(value, false));
        break;
      case cfPicture:
        line += ExtractFileName(CleanValue(value, false));
        break;
      case cfNotes:
        line += CleanValue(value, true);
        break;
      default:
        line += CleanValue(value, false);
        break;
    }
    line += kFieldSeparator;
  }
  return line;
}

std::vector<std::string_view> SplitCardLine(std::string_view line) {
  std::vector<std::string_view> fields;
  fields.reserve(kCardFieldCount);
  if (line.empty()) return fields;
  std::size_t start = 0;
  for (const char* p;
       (p = static_cast<const char*>(std::memchr(line.data() + start, kFieldSeparator, line.size() - start)));) {
    const auto end = static_cast<std::size_t>(p - line.data());
    fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

CardView ReadCardView(std::string_view line) {
  const std::vector<std::string_view> fields = SplitCardLine(line);
  CardView view;
  view.FieldCount = static_cast<int>(fields.size());
  for (int i = 0; i < view.FieldCount; ++i) {
    const std::string_view field = fields[static_cast<std::size_t>(i)];
    if (i < kEditFieldCount)
      view.Edits[static_cast<std::size_t>(i)] = field;
    else if (i == cfNotes)
      view.Notes = StringReplaceAll(field, kNotesLineBreak, "\r\n");
    else
      view.PictureSlot = field;
  }
  return view;
}

bool IsJpgPictureName(std::string_view name) {
  return UpperCase(ExtractFileExt(name)) == ".JPG";
}

AnsiString FormatCardNumber(int currentCard, int cardCount) {
  const int shownCount = currentCard < cardCount ? cardCount : cardCount + 1;
  return Format("Card %d of %d", currentCard + 1, shownCount);
}

AnsiString NewBookFileName() {
  return "AddressBook.abk";
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos;
}

AnsiString BackupFileName(std::string_view bookFile) {
  const AnsiString ext = ExtractFileExt(bookFile);
  if (UpperCase(ext) == ".BKP") return AnsiString(bookFile) + ".bkp";
  return AnsiString(bookFile.substr(0, bookFile.size() - ext.size())) + ".bkp";
}

BookPaths BookPathsFor(const AnsiString& programFolder, const AnsiString& setting) {
  BookPaths paths;
  paths.Replaced = !IsPlainFileName(setting);
  paths.Name = paths.Replaced ? NewBookFileName() : setting;
  paths.BookFile = programFolder + paths.Name;
  paths.BackupFile = BackupFileName(paths.BookFile);
  return paths;
}

BookLoad LoadBook(TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile) {
  BookLoad load;
  cards.Clear();
  if (FileExists(bookFile))
    load.Source = BookLoad::TSource::Book;
  else if (FileExists(backupFile))
    load.Source = BookLoad::TSource::Backup;
  else
    return load;
  try {
    const std::size_t cut =
        cards.LoadFromFile(load.Source == BookLoad::TSource::Book ? bookFile : backupFile, kMaxBookBytes);
    if (cards.Count() == 0) {
      load.ReadInPart = cut > 0;  // a file without a single line is an empty book
      return load;
    }
    load.ReadInPart = cut > 0 || cards[0] != kBookHeader;
    cards.Delete(0);
  } catch (const std::exception&) {
    // Unreadable, too large, or no regular file: either way the file is left as it is.
    cards.Clear();
    load.ReadInPart = false;
    (load.Source == BookLoad::TSource::Book ? load.BookUnreadable : load.BackupUnreadable) = true;
  }
  return load;
}

void RemoveStaleSaveFiles(const AnsiString& bookFile, const AnsiString& backupFile) {
  RemoveStaleTemporaryFiles(bookFile);
  RemoveStaleTemporaryFiles(backupFile);
}

namespace {

// A name beside file that no file has yet: file's stem + suffix, numbered from the second on.
AnsiString FreeName(const AnsiString& file, const char* suffix, bool keepExtension) {
  const std::size_t dot = file.find_last_of('.');
  const std::size_t slash = file.find_last_of('/');
  const AnsiString stem = !keepExtension && dot != AnsiString::npos && (slash == AnsiString::npos || dot > slash)
                              ? file.substr(0, dot)
                              : file;
  for (int n = 1;; ++n) {
    AnsiString name = stem + suffix + (n == 1 ? AnsiString() : Format("-%d", n));
    if (!keepExtension) name += ".abk";
    if (!FileExists(name)) return name;
  }
}

// The file the load could not read, which the save must leave as it is ("" for none): a book that
// could not be read, or a backup that could not be read in place of a missing book (the next save
// would turn a new book into the backup). Either may hold cards this session never saw.
AnsiString UnreadFile(const BookLoad& load, bool bookExists, const AnsiString& bookFile, const AnsiString& backupFile) {
  if (load.BookUnreadable && bookExists) return bookFile;
  if (load.BackupUnreadable && !bookExists && FileExists(backupFile)) return backupFile;
  return {};
}

void WriteBook(const TStringList& cards, TFileSink& file) {
  file.Append(kBookHeader);
  file.Append("\r\n");
  for (std::string_view line : cards) {
    file.Append(line);
    file.Append("\r\n");
  }
}

}  // namespace

AnsiString RescueCards(const TStringList& cards, const AnsiString& bookFile) {
  const AnsiString rescue = FreeName(bookFile, "-rescued", false);
  const AnsiString error = ReplaceFileDurably(rescue, "", [&cards](TFileSink& file) { WriteBook(cards, file); });
  return error.empty() ? rescue : AnsiString();
}

BookSave SaveBook(const TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile, BookLoad& load) {
  const auto contents = [&cards](TFileSink& file) { WriteBook(cards, file); };
  BookSave result;
  const bool bookExists = FileExists(bookFile);
  const AnsiString unread = UnreadFile(load, bookExists, bookFile, backupFile);
  if (!unread.empty()) {
    AnsiString message = Format(
        "The address book \"%s\" could not be read when the program started, so it was left "
        "as it was.",
        unread.c_str());
    if (cards.Count() > 0) {
      const AnsiString rescue = FreeName(bookFile, "-rescued", false);
      const AnsiString error = ReplaceFileDurably(rescue, "", contents);
      if (!error.empty()) {
        result.Error = message + Format(" The cards of this session could not be saved (%s).", error.c_str());
        return result;
      }
      message += Format(" The cards of this session were saved in \"%s\".", rescue.c_str());
    }
    result.Notice = message;
    return result;
  }

  // A file read only in part goes aside, under a name no save uses, before a save replaces it.
  const AnsiString loaded = load.Source == BookLoad::TSource::Book     ? bookFile
                            : load.Source == BookLoad::TSource::Backup ? backupFile
                                                                       : AnsiString();
  if (load.ReadInPart && !loaded.empty() && FileExists(loaded)) {
    const AnsiString kept = FreeName(loaded, ".original", true);
    if (const AnsiString error = KeepFileAs(loaded, kept); !error.empty()) {
      result.Error = Format(
          "The address book could not be saved: \"%s\" holds more than its cards, and it could not be kept "
          "aside (%s). The file was left as it was.",
          loaded.c_str(), error.c_str());
      return result;
    }
    load.ReadInPart = false;
    result.Notice = Format(
        "\"%s\" held more than address cards (its first line was not an address book's, or it went on past "
        "a NUL byte). The file as it was is kept unchanged as \"%s\".",
        loaded.c_str(), kept.c_str());
  }

  const AnsiString error = ReplaceFileDurably(bookFile, bookExists ? backupFile : AnsiString(), contents);
  if (!error.empty()) {
    result.Error = Format("The address book could not be saved to \"%s\" (%s). The previous book was kept.",
                          bookFile.c_str(), error.c_str());
    if (!result.Notice.empty()) result.Error += " " + result.Notice;
    return result;
  }
  // The book had been loaded from its backup: the new book replaces both.
  if (!bookExists && FileExists(backupFile)) DeleteFile(backupFile);
  load = BookLoad{BookLoad::TSource::Book, false, false, false};  // the book on disk is now this one
  return result;
}
