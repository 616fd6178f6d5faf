#include "CardBook.h"

#include <gtest/gtest.h>

#include "CardFixtures.h"
#include "TestSupport.h"

namespace {

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

TEST(BookFiles, BackupReplacesTheLastThreeCharacters) {
  EXPECT_EQ(BackupFileName("/opt/vab/AddressBook.abk"), "/opt/vab/AddressBook.bkp");
  EXPECT_EQ(BackupFileName("/opt/vab/book.txt"), "/opt/vab/book.bkp");
  EXPECT_EQ(BackupFileName("/opt/vab/book"), "/opt/vab/bbkp");
  EXPECT_EQ(BackupFileName("ab"), "bkp");
  EXPECT_EQ(NewBookFileName().substr(NewBookFileName().size() - 4), ".abk");
}

class BookFile : public testing::Test {
 protected:
  std::string Book() const { return Folder.File("book.abk"); }
  std::string Backup() const { return Folder.File("book.bkp"); }
  std::vector<std::string> Load() {
    Loaded = LoadBook(Cards, Book(), Backup());
    return {Cards.begin(), Cards.end()};
  }
  TempProgramFolder Folder;
  TStringList Cards;
  BookLoad Loaded;
};

using CardList = std::vector<std::string>;

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
  }
}

TEST_F(BookFile, AnUnreadableBookGivesAnEmptyBookAndIsNeverReplaced) {
  std::filesystem::create_symlink("book.abk", Book());  // a link to itself cannot be opened
  WriteBytes(Backup(), "ABK10\r\nold backup\xFF\r\n");
  EXPECT_EQ(Load(), CardList{});
  EXPECT_TRUE(Loaded.BookUnreadable);

  Cards.Add("typed this session\xFF");
  const AnsiString message = SaveBook(Cards, Book(), Backup(), Loaded);
  EXPECT_NE(message.find("could not be read"), std::string::npos) << message;
  EXPECT_TRUE(std::filesystem::is_symlink(Book()));
  EXPECT_EQ(ReadBytes(Backup()), "ABK10\r\nold backup\xFF\r\n");
  EXPECT_EQ(ReadBytes(Folder.Path / "book-rescued.abk"), "ABK10\r\ntyped this session\xFF\r\n");
  EXPECT_NE(message.find("book-rescued.abk"), std::string::npos);
}

TEST_F(BookFile, SaveMakesThePreviousBookTheBackup) {
  WriteBytes(Book(), "ABK10\r\nold\xFF\r\n");
  WriteBytes(Backup(), "ABK10\r\nolder\xFF\r\n");
  Load();
  Cards.Add("new\xFF");
  EXPECT_EQ(SaveBook(Cards, Book(), Backup(), Loaded), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\nold\xFF\r\nnew\xFF\r\n");
  EXPECT_EQ(ReadBytes(Backup()), "ABK10\r\nold\xFF\r\n");
}

TEST_F(BookFile, SaveAfterLoadingTheBackupLeavesOnlyTheBook) {
  WriteBytes(Backup(), "ABK10\r\nrescued\xFF\r\n");
  Load();
  EXPECT_EQ(SaveBook(Cards, Book(), Backup(), Loaded), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\nrescued\xFF\r\n");
  EXPECT_FALSE(std::filesystem::exists(Backup()));
}

TEST_F(BookFile, FirstSaveWritesTheBookWithoutBackupAndEmptyBooksKeepTheHeader) {
  Load();
  EXPECT_EQ(SaveBook(Cards, Book(), Backup(), Loaded), "");
  EXPECT_EQ(ReadBytes(Book()), "ABK10\r\n");
  EXPECT_FALSE(std::filesystem::exists(Backup()));
  EXPECT_EQ(Load(), CardList{});
}

TEST_F(BookFile, AFailedSaveIsReportedAndKeepsTheBook) {
  const std::string book = Folder.File("gone/book.abk");
  TStringList cards;
  cards.Add("x\xFF");
  const AnsiString message = SaveBook(cards, book, BackupFileName(book), BookLoad{});
  EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
}

TEST_F(BookFile, CardsRoundTripThroughTheFile) {
  CardValues values = CardFields(" Doe ", "Jane", "C:\\x\\face.jpg", "line one\r\nline two");
  values[cfCountry] = " \xC9ire ";
  values[cfCompany] = "";
  Cards.Add(BuildCardLine(values));
  Cards.Add(BuildCardLine(CardFields("Second")));
  EXPECT_EQ(SaveBook(Cards, Book(), Backup(), BookLoad{}), "");
  ASSERT_EQ(Load().size(), 2u);
  const CardView view = ReadCardView(Cards[0]);
  EXPECT_EQ(view.Edits[cfSurname], "Doe");
  EXPECT_EQ(view.Edits[cfCompany], "");
  EXPECT_EQ(view.Edits[cfCountry], " \xC9ire ");
  EXPECT_EQ(view.Notes, "line one\r\nline two");
  EXPECT_EQ(view.PictureSlot, "face.jpg");
  EXPECT_EQ(ReadCardView(Cards[1]).Edits[cfSurname], "Second");
}

}  // namespace
