#include "CardBook.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

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

AnsiString CardCountText(int count) {
  return count == 1 ? AnsiString("1 card") : Format("%d cards", count);
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
  } catch (const std::exception& error) {
    // Unreadable, too large, or no regular file: either way the file is left as it is.
    cards.Clear();
    load.ReadInPart = false;
    (load.Source == BookLoad::TSource::Book ? load.BookUnreadable : load.BackupUnreadable) = true;
    load.Failure = error.what();
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
    std::error_code error;
    if (!FileExists(name) && !std::filesystem::is_symlink(ResolvePathForWrite(name), error)) return name;
  }
}

constexpr std::string_view kDataFolder = "velmora-address-book/";

AnsiString FileNameOf(const AnsiString& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == AnsiString::npos ? path : path.substr(slash + 1);
}

AnsiString FolderOf(const AnsiString& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == AnsiString::npos ? AnsiString("./") : path.substr(0, slash + 1);
}

AnsiString EnvironmentFolder(const char* name, const AnsiString& fallback) {
  const char* value = std::getenv(name);
  AnsiString folder = value && *value ? AnsiString(value) : fallback;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The file a load read, "" for none.
AnsiString LoadedFile(const BookLoad& load, const AnsiString& bookFile, const AnsiString& backupFile) {
  switch (load.Source) {
    case BookLoad::TSource::Book:
      return bookFile;
    case BookLoad::TSource::Backup:
      return backupFile;
    case BookLoad::TSource::None:
      break;
  }
  return {};
}

// Keeps a file the load read only in part aside under a name no save uses, and gives that name.
TResult<AnsiString> KeepReadInPartAside(BookLoad& load, const AnsiString& loaded) {
  const AnsiString kept = FreeName(loaded, ".original", true);
  const TOutcome keeping = KeepFileAs(loaded, kept);
  if (!keeping) return keeping;
  load.ReadInPart = false;
  return kept;
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

std::vector<AnsiString> RescueFolders(const AnsiString& bookFile) {
  const AnsiString home = EnvironmentFolder("HOME", "");
  std::vector<AnsiString> folders{FolderOf(bookFile)};
  const AnsiString data = EnvironmentFolder("XDG_DATA_HOME", home.empty() ? AnsiString() : home + ".local/share");
  if (!data.empty()) folders.push_back(data + AnsiString(kDataFolder));
  if (!home.empty()) folders.push_back(home);
  folders.push_back(EnvironmentFolder("TMPDIR", "/tmp"));
  return folders;
}

TResult<AnsiString> RescueCards(const TStringList& cards, const AnsiString& bookFile) {
  const AnsiString name = FileNameOf(bookFile);
  TOutcome failure = TOutcome::Failure("no folder to keep the cards in");
  for (const AnsiString& folder : RescueFolders(bookFile)) {
    // Only the program's own data folder is made; the others are the user's.
    std::error_code ignored;
    if (folder != FolderOf(bookFile) && folder.ends_with(kDataFolder))
      std::filesystem::create_directories(ResolvePathForWrite(folder), ignored);
    const AnsiString rescue = FreeName(folder + name, "-rescued", false);
    // A name the program makes up is never written through a link (the temporary folder is shared).
    const TOutcome written = ReplaceFileDurably(
        rescue, "", [&cards](TFileSink& file) { WriteBook(cards, file); }, TFileSync::Sync, TFileLink::ReplaceTheLink);
    if (written) return rescue;
    failure = written;
  }
  return failure;
}

std::vector<AnsiString> RescuedCardFiles(const AnsiString& bookFile) {
  namespace fs = std::filesystem;
  std::error_code error;
  const std::optional<fs::path> book = ResolveExistingPath(bookFile);
  // Without a book file every rescue file counts.
  const fs::file_time_type bookTime = book ? fs::last_write_time(*book, error) : fs::file_time_type::min();
  const AnsiString bookName = FileNameOf(bookFile);
  const std::size_t dot = bookName.find_last_of('.');
  const AnsiString stem = dot == AnsiString::npos ? bookName : bookName.substr(0, dot);
  std::vector<AnsiString> found;
  for (const AnsiString& folder : RescueFolders(bookFile)) {
    const std::optional<fs::path> where = ResolveExistingPath(folder);
    if (!where) continue;
    // The names a rescue takes, as it spells them and in the order it takes them, up to the first
    // that is free: the shared folders ($HOME, the temporary folder) may hold far too many files to
    // list at each start.
    for (int n = 1;; ++n) {
      const AnsiString name = stem + "-rescued" + (n == 1 ? AnsiString() : Format("-%d", n)) + ".abk";
      const fs::path native = *where / name;
      if (!fs::exists(native, error)) break;
      if (fs::last_write_time(native, error) < bookTime) continue;
      const AnsiString path = folder + name;
      if (std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    }
  }
  return found;
}

AnsiString SettleLoadedBook(BookLoad& load, const AnsiString& bookFile, const AnsiString& backupFile, int cardCount) {
  std::vector<AnsiString> notices;
  const AnsiString loaded = LoadedFile(load, bookFile, backupFile);
  if (load.BookUnreadable || load.BackupUnreadable) {
    notices.push_back(Format(
        "The address book \"%s\" could not be read (%s), so the program started with an empty book. The file "
        "is left as it is; the cards of this session will be saved in a file of their own when the program ends.",
        loaded.c_str(), load.Failure.c_str()));
  } else if (load.ReadInPart) {
    const AnsiString what = cardCount == 0
                                ? AnsiString("no card was loaded from it")
                                : CardCountText(cardCount) + (cardCount == 1 ? " was" : " were") + " loaded from it";
    const TResult<AnsiString> kept = KeepReadInPartAside(load, loaded);
    AnsiString notice = Format(
        "\"%s\" holds more than address cards (its first line is not an address book's, or it goes on past a "
        "NUL byte): %s. ",
        loaded.c_str(), what.c_str());
    notice +=
        kept ? Format("The file as it was is kept unchanged as \"%s\".", kept.Value().c_str())
             : Format("It could not be kept aside (%s); it will be before the book is saved.", kept.Error().c_str());
    notices.push_back(notice);
  }
  if (const std::vector<AnsiString> rescued = RescuedCardFiles(bookFile); rescued.size() == 1) {
    notices.push_back(
        Format("The cards of an earlier session could not be saved in the address book; they were kept in \"%s\".",
               rescued.front().c_str()));
  } else if (!rescued.empty()) {
    // A box the screen can hold: the first few files by name, the others counted.
    constexpr std::size_t kNamed = 3;
    AnsiString files;
    for (std::size_t i = 0; i < std::min(rescued.size(), kNamed); ++i)
      files += (i == 0 ? "\"" : ", \"") + rescued[i] + "\"";
    if (rescued.size() > kNamed) files += Format(" and %d more like them", static_cast<int>(rescued.size() - kNamed));
    notices.push_back(
        Format("The cards of %d earlier sessions could not be saved in the address book; they were kept in %s.",
               static_cast<int>(rescued.size()), files.c_str()));
  }
  AnsiString text;
  for (const AnsiString& notice : notices) text += (text.empty() ? "" : "\n\n") + notice;
  return text;
}

BookSave SaveBook(const TStringList& cards, const AnsiString& bookFile, const AnsiString& backupFile, BookLoad& load) {
  const auto contents = [&cards](TFileSink& file) { WriteBook(cards, file); };
  BookSave result;
  const bool bookExists = FileExists(bookFile);
  const AnsiString unread = UnreadFile(load, bookExists, bookFile, backupFile);
  if (!unread.empty()) {
    // The start has said that the file is left as it is; what is left to say is where the cards went.
    if (cards.Count() == 0) return result;
    const TResult<AnsiString> rescue = RescueCards(cards, bookFile);
    if (!rescue) {
      result.Outcome = TOutcome::Failure(
          Format("The address book \"%s\" could not be read when the program started, and the cards of this session "
                 "could not be saved in a file of their own either.",
                 unread.c_str()));
      return result;
    }
    result.Notice = Format(
        "The cards of this session were saved in \"%s\", as the address book \"%s\" could not "
        "be read and was left as it was.",
        rescue.Value().c_str(), unread.c_str());
    return result;
  }

  // A file read only in part goes aside, under a name no save uses, before a save replaces it.
  const AnsiString loaded = LoadedFile(load, bookFile, backupFile);
  if (load.ReadInPart && !loaded.empty() && FileExists(loaded)) {
    const TResult<AnsiString> kept = KeepReadInPartAside(load, loaded);
    if (!kept) {
      result.Outcome = TOutcome::Failure(
          Format("The address book could not be saved: \"%s\" holds more than its cards, and it could not be kept "
                 "aside (%s). The file was left as it was.",
                 loaded.c_str(), kept.Error().c_str()));
      return result;
    }
    result.Notice = Format(
        "\"%s\" held more than address cards (its first line was not an address book's, or it went on past "
        "a NUL byte). The file as it was is kept unchanged as \"%s\".",
        loaded.c_str(), kept.Value().c_str());
  }

  const TOutcome written = ReplaceFileDurably(bookFile, bookExists ? backupFile : AnsiString(), contents);
  if (!written) {
    AnsiString error = Format("The address book could not be saved to \"%s\" (%s). The previous book was kept.",
                              bookFile.c_str(), written.Error().c_str());
    if (!result.Notice.empty()) error += " " + result.Notice;
    result.Outcome = TOutcome::Failure(std::move(error));
    return result;
  }
  // The book had been loaded from its backup: the new book replaces both.
  if (!bookExists && FileExists(backupFile)) DeleteFile(backupFile);
  load = BookLoad{BookLoad::TSource::Book, false, false, false, {}};  // the book on disk is now this one
  return result;
}
