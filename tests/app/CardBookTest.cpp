#include "CardBook.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <set>

#include "CardFixtures.h"
#include "TestSupport.h"

namespace {

using testing_support::Card;
using testing_support::CardFields;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

std::string Line(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view field : fields) (line += field) += '\xFF';
  return line;
}

TEST(CardLine, BuildsFourteenFieldsInOrder) {
  CardValues values;
  const char* texts[] = {"Doe",  "Jane",  "Acme",  "1 Road",      "Town",          "12345",   "ST",
                         "Land", "555-1", "555-2", "j@x.invalid", "www.x.invalid", "pic.jpg", "note"};
  for (int i = 0; i < kCardFieldCount; ++i) values[static_cast<std::size_t>(i)] = texts[i];
  EXPECT_EQ(BuildCardLine(values), Line({"Doe", "Jane", "Acme", "1 Road", "Town", "12345", "ST", "Land", "555-1",
                                         "555-2", "j@x.invalid", "www.x.invalid", "pic.jpg", "note"}));
}

TEST(CardLine, StoresValuesAsTheLineAllowsThem) {
  struct Case {
    const char* what;
    CardValues values;
    int field;
    std::string stored;
  };
  CardValues company = CardFields("x");
  company[cfCompany] = "  Acme  ";
  CardValues address = CardFields("x");
  address[cfAddress] = "1 Road\r\nTown";
  CardValues separator = CardFields("x");
  separator[cfCity] =
      "M\xFF"
      "nchen";
  const Case cases[] = {
      {"surname trimmed", CardFields("  Doe \t"), cfSurname, "Doe"},
      {"first name trimmed", CardFields("x", "\tJane  "), cfFirstName, "Jane"},
      {"company keeps blanks", company, cfCompany, "  Acme  "},
      {"picture with folder", CardFields("x", "", "C:\\pics\\a.jpg"), cfPicture, "a.jpg"},
      {"picture with drive", CardFields("x", "", "D:b.JPG"), cfPicture, "b.JPG"},
      {"picture with path", CardFields("x", "", "/home/u/c.jpg"), cfPicture, "c.jpg"},
      {"notes of two lines", CardFields("x", "", "", "one\r\ntwo"), cfNotes, "one@!two"},
      {"notes with lone breaks", CardFields("x", "", "", "a\nb\rc\r\n"), cfNotes, "a@!b@!c@!"},
      {"line break outside notes", address, cfAddress, "1 Road Town"},
      {"separator byte dropped", separator, cfCity, "Mnchen"},
      {"NUL dropped", CardFields(std::string_view("D\0oe", 4)), cfSurname, "Doe"},
  };
  for (const Case& c : cases) {
    const std::string line = BuildCardLine(c.values);
    const std::vector<std::string_view> fields = SplitCardLine(line);
    ASSERT_EQ(fields.size(), static_cast<std::size_t>(kCardFieldCount)) << c.what;
    EXPECT_EQ(fields[static_cast<std::size_t>(c.field)], c.stored) << c.what;
    EXPECT_EQ(line.find_first_of(std::string_view("\r\n\0", 3)), std::string::npos) << c.what;
  }
}

TEST(CardLine, SplitsAtEverySeparatorAndIgnoresTheTail) {
  using Fields = std::vector<std::string_view>;
  EXPECT_EQ(SplitCardLine(""), Fields{});
  EXPECT_EQ(SplitCardLine("no separator"), Fields{});
  EXPECT_EQ(SplitCardLine("a\xFF\xFF"
                          "b\xFFtail"),
            (Fields{"a", "", "b"}));
  EXPECT_EQ(SplitCardLine("\xFF"), (Fields{""}));
}

TEST(CardView, PutsFieldsWhereTheyBelong) {
  const std::string full = Line({"Doe", "Jane", "c", "a", "t", "z", "s", "l", "p", "m", "e", "w", "pic.jpg", "1@!2"});
  CardView view = ReadCardView(full + "ignored tail");
  EXPECT_EQ(view.FieldCount, 14);
  EXPECT_EQ(view.Edits[cfSurname], "Doe");
  EXPECT_EQ(view.Edits[cfWebsite], "w");
  EXPECT_EQ(view.Notes, "1\r\n2");
  EXPECT_EQ(view.PictureSlot, "pic.jpg");

  // Fields after the notes go to the picture slot, the last one winning.
  view = ReadCardView(full + Line({"x.jpg", "last.JPG"}));
  EXPECT_EQ(view.PictureSlot, "last.JPG");
  EXPECT_EQ(view.Notes, "1\r\n2");

  // A short line fills only what it has.
  view = ReadCardView(Line({"Doe", "Jane", "Acme"}) + "tail");
  EXPECT_EQ(view.FieldCount, 3);
  EXPECT_TRUE(view.HasField(cfCompany));
  EXPECT_FALSE(view.HasField(cfAddress));
  EXPECT_FALSE(view.HasField(cfNotes));
  EXPECT_EQ(view.PictureSlot, "");
}

TEST(CardView, PictureNamesEndingInJpgInAnyCase) {
  for (const char* name : {"a.jpg", "a.JPG", "b.JpG", ".jpg"}) EXPECT_TRUE(IsJpgPictureName(name)) << name;
  for (const char* name : {"", "a.jpeg", "a.png", "jpg", "a.jpg.bak", "a.jpg\\"})
    EXPECT_FALSE(IsJpgPictureName(name)) << name;
}

TEST(CardCounter, CountsTheNewCardOnTop) {
  struct Case {
    int current, count;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "Card 1 of 1"},
      {1, 5, "Card 2 of 5"},
      {4, 4, "Card 5 of 5"},
      {5, 5, "Card 6 of 6"},
      {0, 1, "Card 1 of 1"},
      {9, 3, "Card 10 of 4"},
      {65534, 65535, "Card 65535 of 65535"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCardNumber(c.current, c.count), c.text);
}

TEST(BookFiles, OnlyAPlainFileNameNamesTheBookAndItsBackupStaysBeside) {
  struct Case {
    const char* setting;
    const char* book;    // relative to the program folder
    const char* backup;  // likewise
    bool replaced;
  };
  const Case cases[] = {
      {"", "AddressBook.abk", "AddressBook.bkp", true},
      {".", "AddressBook.abk", "AddressBook.bkp", true},
      {"..", "AddressBook.abk", "AddressBook.bkp", true},
      {"../x", "AddressBook.abk", "AddressBook.bkp", true},
      {"/abs", "AddressBook.abk", "AddressBook.bkp", true},
      {"a/b", "AddressBook.abk", "AddressBook.bkp", true},
      {"..\\victim.txt", "AddressBook.abk", "AddressBook.bkp", true},
      {"x", "x", "x.bkp", false},
      {"MyBook", "MyBook", "MyBook.bkp", false},
      {"Book.abk", "Book.abk", "Book.bkp", false},
      {"Book.old.abk", "Book.old.abk", "Book.old.bkp", false},
      {"Book.BKP", "Book.BKP", "Book.BKP.bkp", false},
  };
  for (const Case& c : cases) {
    const BookPaths paths = BookPathsFor("/opt/vab/", c.setting);
    EXPECT_EQ(paths.BookFile, std::string("/opt/vab/") + c.book) << c.setting;
    EXPECT_EQ(paths.BackupFile, std::string("/opt/vab/") + c.backup) << c.setting;
    EXPECT_EQ(paths.Replaced, c.replaced) << c.setting;
    EXPECT_EQ(paths.Name, c.replaced ? NewBookFileName() : c.setting) << c.setting;
  }
  // A folder named like a file does not give the backup an extension.
  EXPECT_EQ(BackupFileName("/opt/v.1/book"), "/opt/v.1/book.bkp");
}

class BookFile : public testing::Test {
 protected:
  std::string Book() const { return Folder.File("book.abk"); }
  std::string Backup() const { return Folder.File("book.bkp"); }
  std::vector<std::string> Load() {
    Loaded = LoadBook(Cards, Book(), Backup());
    return {Cards.begin(), Cards.end()};
  }
  BookSave Save() { return SaveBook(Cards, Book(), Backup(), Loaded); }
  // Names in the folder besides the settings folder.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Path))
      if (entry.path().filename() != "config") names.insert(entry.path().filename().string());
    return names;
  }
  TempProgramFolder Folder;
  TStringList Cards;
  BookLoad Loaded;
};

using CardList = std::vector<std::string>;
using Names = std::set<std::string>;

TEST_F(BookFile, LoadsTheBookOrItsBackupAndDropsTheHeader) {
  EXPECT_EQ(Load(), CardList{});
  EXPECT_EQ(Loaded.Source, BookLoad::TSource::None);

  WriteBytes(Backup(), "ABK10\r\nfrom backup\xFF\r\n");
  EXPECT_EQ(Load(), CardList{"from backup\xFF"});
  EXPECT_EQ(Loaded.Source, BookLoad::TSource::Backup);

  WriteBytes(Book(), "anything\r\nfirst\xFF\r\nsecond\xFF");  // the header is not examined
  EXPECT_EQ(Load(), (CardList{"first\xFF", "second\xFF"}));
  EXPECT_EQ(Loaded.Source, BookLoad::TSource::Book);
}

TEST_F(BookFile, HeaderOnlyOrZeroBytesIsAnEmptyBookAndTheBackupIsNotTried) {
  WriteBytes(Backup(), "ABK10\r\nbackup card\xFF\r\n");
  for (std::string_view contents : {"ABK10\r\n", "ABK10", ""}) {
    WriteBytes(Book(), contents);
    EXPECT_EQ(Load(), CardList{}) << contents;
    EXPECT_FALSE(Loaded.BookUnreadable);
    EXPECT_FALSE(Loaded.ReadInPart);
  }
}

TEST_F(BookFile, AnUnreadableBookGivesAnEmptyBookAndIsNeverReplaced) {
  std::filesystem::create_symlink("book.abk", Book());  // a link to itself cannot be opened
  WriteBytes(Backup(), "ABK10\r\nold backup\xFF\r\n");
  EXPECT_EQ(Load(), CardList{});
  EXPECT_TRUE(Loaded.BookUnreadable);

  Cards.Add("typed this session\xFF");
  const BookSave save = Save();
  EXPECT_TRUE(save.Outcome.ok());
  EXPECT_NE(save.Notice.find("could not be read"), std::string::npos) << save.Notice;
  EXPECT_TRUE(std::filesystem::is_symlink(Book()));
  EXPECT_EQ(ReadBytes(Backup()), "ABK10\r\nold backup\xFF\r\n");
  EXPECT_EQ(ReadBytes(Folder.Path / "book-rescued.abk"), "ABK10\r\ntyped this session\xFF\r\n");
  EXPECT_NE(save.Notice.find("book-rescued.abk"), std::string::npos);
}

// A FIFO or a device as the book is refused at once, never read: opening a FIFO would wait for a
// writer for ever, and /dev/zero never ends. The save then leaves it as it is.
TEST_F(BookFile, OnlyARegularFileIsReadAsTheBook) {
  for (const bool fifo : {true, false}) {
    std::filesystem::remove(Book());
    if (fifo)
      ASSERT_EQ(mkfifo(Book().c_str(), 0600), 0);
    else
      std::filesystem::create_symlink("/dev/zero", Book());
    EXPECT_EQ(Load(), CardList{});
    EXPECT_TRUE(Loaded.BookUnreadable) << fifo;
    Cards.Add("typed\xFF");
    EXPECT_TRUE(Save().Outcome.ok());
    EXPECT_EQ(fifo, std::filesystem::is_fifo(Book()));
    EXPECT_EQ(!fifo, std::filesystem::is_symlink(Book()));
  }
}

TEST_F(BookFile, AFileLargerThanABookCanBeIsLeftAlone) {
  {
    std::ofstream sparse(Book(), std::ios::binary);
    sparse << "ABK10\r\n";
  }
  std::filesystem::resize_file(Book(), kMaxBookBytes + 1);  // sparse: no disk space used
  EXPECT_EQ(Load(), CardList{});
  EXPECT_TRUE(Loaded.BookUnreadable);
  Cards.Add("typed\xFF");
  EXPECT_TRUE(Save().Outcome.ok());
  EXPECT_EQ(std::filesystem::file_size(Book()), kMaxBookBytes + 1);
}

// A file the reading rule does not read whole is read as the rule says, and kept aside once.
TEST_F(BookFile, AFileReadInPartIsKeptAsideByTheFirstSaveOnly) {
  struct Case {
    const char* what;
    std::string contents;
    CardList cards;
  };
  const std::string nulInCard2 = std::string("ABK10\r\none\xFF\r\ntw") + '\0' + "o\xFF\r\nthree\xFF\r\n";
  const Case cases[] = {
      {"a document", "Dear Sir,\r\nthank you\r\n", {"thank you"}},
      {"one long line", std::string(100000, 'x'), {}},
      {"a NUL in card 2", nulInCard2, {"one\xFF", "tw"}},
  };
  for (const bool fromBackup : {false, true}) {
    for (const Case& c : cases) {
      for (const auto& name : Files()) std::filesystem::remove(Folder.Path / name);
      const std::string loaded = fromBackup ? Backup() : Book();
      WriteBytes(loaded, c.contents);
      EXPECT_EQ(Load(), c.cards) << c.what;
      EXPECT_TRUE(Loaded.ReadInPart) << c.what;

      const std::string kept = loaded + ".original";
      const BookSave first = Save();
      EXPECT_TRUE(first.Outcome.ok()) << c.what;
      EXPECT_NE(first.Notice.find(kept), std::string::npos) << c.what << first.Notice;
      EXPECT_EQ(ReadBytes(kept), c.contents) << c.what;
      const BookSave second = Save();
      EXPECT_EQ(second.Notice, "") << c.what;
      EXPECT_TRUE(Save().Outcome.ok());
      EXPECT_EQ(ReadBytes(kept), c.contents) << c.what;
      const Names expected = fromBackup ? Names{"book.abk", "book.bkp", "book.bkp.original"}
                                        : Names{"book.abk", "book.bkp", "book.abk.original"};
      EXPECT_EQ(Files(), expected) << c.what;
    }
  }
  // A second such file goes beside the first rather than over it.
  for (const char* contents : {"not a book\r\n", "not one either\r\n"}) {
    WriteBytes(Book(), contents);
    Load();
    EXPECT_TRUE(Save().Outcome.ok());
  }
  EXPECT_EQ(ReadBytes(Folder.Path / "book.abk.original"), "not a book\r\n");
  EXPECT_EQ(ReadBytes(Folder.Path / "book.abk.original-2"), "not one either\r\n");
}

TEST_F(BookFile, ABookAsTheProgramWritesItIsReadWhole) {
  for (std::string_view contents : {"ABK10\r\na\xFF\r\n", "ABK10\na\xFF", "ABK10\r\n"}) {
    WriteBytes(Book(), contents);
    Load();
    EXPECT_FALSE(Loaded.ReadInPart) << contents;
  }
}

TEST_F(BookFile, SaveMakesThePreviousBookTheBackup) {
  WriteBytes(Book(), "ABK10\r\nold\xFF\r\n");
  WriteBytes(Backup(), "ABK10\r\nolder\xFF\r\n");
  Load();
  Cards.Add("new\xFF");
  EXPECT_EQ(Save().Outcome.Error(), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\nold\xFF\r\nnew\xFF\r\n");
  EXPECT_EQ(ReadBytes(Backup()), "ABK10\r\nold\xFF\r\n");
}

TEST_F(BookFile, SaveAfterLoadingTheBackupLeavesOnlyTheBook) {
  WriteBytes(Backup(), "ABK10\r\nrescued\xFF\r\n");
  Load();
  EXPECT_EQ(Save().Outcome.Error(), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\nrescued\xFF\r\n");
  EXPECT_FALSE(std::filesystem::exists(Backup()));
}

TEST_F(BookFile, FirstSaveWritesTheBookWithoutBackupAndEmptyBooksKeepTheHeader) {
  Load();
  EXPECT_EQ(Save().Outcome.Error(), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\n");
  EXPECT_FALSE(std::filesystem::exists(Backup()));
  EXPECT_EQ(Load(), CardList{});
}

TEST_F(BookFile, AFailedSaveIsReportedAndKeepsTheBook) {
  const std::string book = Folder.File("gone/book.abk");
  TStringList cards;
  cards.Add("x\xFF");
  BookLoad load;
  const BookSave save = SaveBook(cards, book, BackupFileName(book), load);
  EXPECT_NE(save.Outcome.Error().find("could not be saved"), std::string::npos) << save.Outcome.Error();
}

TEST_F(BookFile, CardsRoundTripThroughTheFile) {
  CardValues values = CardFields(" Doe ", "Jane", "C:\\x\\face.jpg", "line one\r\nline two");
  values[cfCountry] = " \xC9ire ";
  values[cfCompany] = "";
  Cards.Add(BuildCardLine(values));
  Cards.Add(BuildCardLine(CardFields("Second")));
  EXPECT_EQ(Save().Outcome.Error(), "");
  ASSERT_EQ(Load().size(), 2u);
  const CardView view = ReadCardView(Cards[0]);
  EXPECT_EQ(view.Edits[cfSurname], "Doe");
  EXPECT_EQ(view.Edits[cfCompany], "");
  EXPECT_EQ(view.Edits[cfCountry], " \xC9ire ");
  EXPECT_EQ(view.Notes, "line one\r\nline two");
  EXPECT_EQ(view.PictureSlot, "face.jpg");
  EXPECT_EQ(ReadCardView(Cards[1]).Edits[cfSurname], "Second");
}

// Sets environment variables for its life; nullptr unsets one.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name);
      Saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      value ? setenv(name, value, 1) : unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : Saved) value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> Saved;
};

// The cards go to a fresh file in the first folder that takes it: the book's, the program's data
// folder, the home folder, the temporary folder.
TEST_F(BookFile, RescueGoesToTheFirstFolderThatTakesIt) {
  Cards.Add("kept\xFF");
  EXPECT_EQ(RescueCards(Cards, Book()).Value(), Folder.File("book-rescued.abk"));
  EXPECT_EQ(RescueCards(Cards, Book()).Value(), Folder.File("book-rescued-2.abk"));
  EXPECT_EQ(ReadBytes(Folder.Path / "book-rescued-2.abk"), "ABK10\r\nkept\xFF\r\n");

  WriteBytes(Folder.Path / "a file", "");
  const std::string blocked = Folder.File("a file/under a file");  // no folder can be made there
  const std::string data = Folder.File("data"), home = Folder.File("home"), tmp = Folder.File("tmp");
  for (const std::string& folder : {home, tmp}) std::filesystem::create_directories(folder);
  struct Case {
    const char* what;
    const char* data;
    const char* home;
    const char* tmp;
    std::string rescue;
  };
  const Case cases[] = {
      {"data folder, made", data.c_str(), home.c_str(), tmp.c_str(), data + "/velmora-address-book/book-rescued.abk"},
      {"data folder under home", nullptr, home.c_str(), tmp.c_str(),
       home + "/.local/share/velmora-address-book/book-rescued.abk"},
      {"home", blocked.c_str(), home.c_str(), tmp.c_str(), home + "/book-rescued.abk"},
      {"temporary folder", blocked.c_str(), blocked.c_str(), tmp.c_str(), tmp + "/book-rescued.abk"},
      {"nowhere", blocked.c_str(), blocked.c_str(), blocked.c_str(), ""},
  };
  const std::string unwritable = Folder.File("gone/book.abk");
  for (const Case& c : cases) {
    const ScopedEnvironment environment{{"XDG_DATA_HOME", c.data}, {"HOME", c.home}, {"TMPDIR", c.tmp}};
    const TResult<AnsiString> result = RescueCards(Cards, unwritable);
    EXPECT_EQ(result.ok(), !c.rescue.empty()) << c.what << ": " << result.Error();
    if (!result) continue;
    const AnsiString& rescue = result.Value();
    EXPECT_EQ(rescue, c.rescue) << c.what;
    EXPECT_EQ(ReadBytes(rescue), "ABK10\r\nkept\xFF\r\n") << c.what;
    EXPECT_EQ(RescuedCardFiles(unwritable), std::vector<AnsiString>{rescue}) << c.what;
    std::filesystem::remove(rescue);
  }
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "gone"));  // the book's folder is not the program's to make

  // A shared temporary folder: a link planted under the rescue name is not written through.
  const ScopedEnvironment environment{
      {"XDG_DATA_HOME", blocked.c_str()}, {"HOME", blocked.c_str()}, {"TMPDIR", tmp.c_str()}};
  std::filesystem::create_symlink(Folder.Path / "planted", tmp + "/book-rescued.abk");
  EXPECT_EQ(RescueCards(Cards, unwritable).Value(), tmp + "/book-rescued-2.abk");
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "planted"));
}

// The next start names the rescue files the book does not hold: those not older than the book.
TEST_F(BookFile, RescuedCardsAreThoseNotOlderThanTheBook) {
  Cards.Add("kept\xFF");
  const AnsiString older = RescueCards(Cards, Book()).Value();
  const AnsiString newer = RescueCards(Cards, Book()).Value();
  const std::vector<AnsiString> both = RescuedCardFiles(Book());  // no book yet
  EXPECT_EQ(std::set<AnsiString>(both.begin(), both.end()), (std::set<AnsiString>{older, newer}));
  WriteBytes(Book(), "ABK10\r\n");
  const auto now = std::filesystem::last_write_time(Book());
  std::filesystem::last_write_time(older, now - std::chrono::seconds(10));
  std::filesystem::last_write_time(newer, now + std::chrono::seconds(10));
  EXPECT_EQ(RescuedCardFiles(Book()), std::vector<AnsiString>{newer});
  const std::string notice = SettleLoadedBook(Loaded, Book(), Backup(), 0);
  EXPECT_NE(notice.find(newer), std::string::npos) << notice;
  EXPECT_EQ(notice.find(older), std::string::npos) << notice;
}

// However many rescue files there are, the start's notice names a few and counts the others, so
// that its box fits the screen.
TEST_F(BookFile, ManyRescueFilesAreNamedAFewAndCounted) {
  Cards.Add("kept\xFF");
  std::vector<AnsiString> rescues;
  for (int i = 0; i < 40; ++i) rescues.push_back(RescueCards(Cards, Book()).Value());
  const std::string notice = SettleLoadedBook(Loaded, Book(), Backup(), 0);
  EXPECT_NE(notice.find("The cards of 40 earlier sessions"), std::string::npos) << notice;
  for (std::size_t i = 0; i < 3; ++i) EXPECT_NE(notice.find(rescues[i]), std::string::npos) << notice;
  EXPECT_EQ(notice.find(rescues[3]), std::string::npos) << notice;
  EXPECT_NE(notice.find(" and 37 more like them."), std::string::npos) << notice;
  EXPECT_LT(notice.size(), 600U) << notice;
}

// A save killed at any moment leaves the old book or the new one complete, and no temporary file
// once the program has started again.
TEST_F(BookFile, ASaveKilledAtAnyPointLeavesNoTemporaryFileBehind) {
  TStringList old;
  for (int i = 0; i < 1000; ++i) old.Add(Card(Format("Old %d", i)));
  for (int i = 0; i < 150000; ++i) Cards.Add(Card(Format("New %d", i), "Jane", "face.jpg"));
  const std::string oldBytes = "ABK10\r\n" + old.Text();
  const std::string newBytes = "ABK10\r\n" + Cards.Text();
  for (const bool named : {false, true}) {
    for (const int delayUs : {0, 2000, 5000, 10000, 20000, 40000, 80000}) {
      for (const auto& name : Files()) std::filesystem::remove(Folder.Path / name);
      WriteBytes(Book(), oldBytes);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        SetNamedTemporaryFiles(named);
        BookLoad load{BookLoad::TSource::Book, false, false, false, {}};
        const BookSave save = SaveBook(Cards, Book(), Backup(), load);
        _exit(save.Outcome.ok() ? 0 : 1);
      }
      usleep(static_cast<useconds_t>(delayUs));
      kill(child, SIGKILL);
      int status = 0;
      waitpid(child, &status, 0);
      const std::string book = ReadBytes(Book());
      EXPECT_TRUE(book == oldBytes || book == newBytes) << named << " " << delayUs;
      const auto onlyTheBook = [this] {
        const Names files = Files();
        return std::all_of(files.begin(), files.end(),
                           [](const std::string& n) { return n == "book.abk" || n == "book.bkp"; });
      };
      RemoveStaleSaveFiles(Book(), Backup());  // as the next start does
      EXPECT_TRUE(onlyTheBook()) << named << " " << delayUs;
    }
  }
}

TEST(BookFiles, StaleTemporaryFilesOfThisBookAloneAreRemoved) {
  TempProgramFolder folder;
  const char* stale[] = {"book.abk.0123456789abcdef.tmp", "book.bkp.fedcba9876543210.tmp"};
  const char* others[] = {"book.abk",          "other.abk.0123456789abcdef.tmp",  "book.abk.0123456789ABCDEF.tmp",
                          "book.abk.0123.tmp", "book.abk.0123456789abcdef.tmp.x", "notes.txt"};
  for (const char* name : stale) WriteBytes(folder.Path / name, "partial");
  for (const char* name : others) WriteBytes(folder.Path / name, "keep");
  std::filesystem::create_directory(folder.Path / "book.abk.aaaaaaaaaaaaaaaa.tmp");
  RemoveStaleSaveFiles(folder.File("book.abk"), folder.File("book.bkp"));
  for (const char* name : stale) EXPECT_FALSE(std::filesystem::exists(folder.Path / name)) << name;
  for (const char* name : others) EXPECT_TRUE(std::filesystem::exists(folder.Path / name)) << name;
  EXPECT_TRUE(std::filesystem::exists(folder.Path / "book.abk.aaaaaaaaaaaaaaaa.tmp"));
}

}  // namespace
