#include "BookTools.h"

#include <gtest/gtest.h>

#include "CardBook.h"
#include "CodePage.h"
#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

std::string Card(std::string_view surname, std::string_view first, std::string_view company = "") {
  std::string line;
  for (std::string_view field : {surname, first, company}) (line += field) += '\xFF';
  for (int i = 3; i < kCardFieldCount; ++i) line += '\xFF';
  return line;
}

TStringList Book(std::initializer_list<std::string> lines) {
  TStringList cards;
  for (const std::string& line : lines) cards.Add(line);
  return cards;
}

std::vector<std::string> Lines(const TStringList& cards) {
  return {cards.begin(), cards.end()};
}

class SortCardsTest : public testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePage(1252); }
};

TEST_F(SortCardsTest, OrdersFieldByFieldWithCaseIgnored) {
  struct Case {
    const char* what;
    std::vector<std::string> given;
    std::vector<std::string> sorted;
  };
  const Case cases[] = {
      {"a surname that begins a longer one comes first",
       {Card("Smithson", "Al"), Card("Smith", "Zoe"), Card("Smit", "Bo")},
       {Card("Smit", "Bo"), Card("Smith", "Zoe"), Card("Smithson", "Al")}},
      {"equal surnames in any case go by first name",
       {Card("SMITH", "zoe"), Card("smith", "Adam"), Card("Smith", "mia")},
       {Card("smith", "Adam"), Card("Smith", "mia"), Card("SMITH", "zoe")}},
      {"equal names go by the remaining fields",
       {Card("Lee", "Ann", "Zeta Ltd"), Card("Lee", "Ann", "acme"), Card("Lee", "Ann", "")},
       {Card("Lee", "Ann", ""), Card("Lee", "Ann", "acme"), Card("Lee", "Ann", "Zeta Ltd")}},
      {"accented letters sort beside their base letters",
       {Card("Fabre", "x"), Card("\xC9mile", "x"), Card("Eddy", "x"), Card("\xF6zil", "x"), Card("Oz", "x")},
       {Card("Eddy", "x"), Card("\xC9mile", "x"), Card("Fabre", "x"), Card("Oz", "x"), Card("\xF6zil", "x")}},
      {"an empty surname comes first", {Card("Abel", "x"), Card("", "x")}, {Card("", "x"), Card("Abel", "x")}},
      {"a single card stays", {Card("b", "a")}, {Card("b", "a")}},
  };
  for (const Case& c : cases) {
    TStringList cards;
    for (const std::string& line : c.given) cards.Add(line);
    SortCards(cards);
    EXPECT_EQ(Lines(cards), c.sorted) << c.what;
  }
}

TEST_F(SortCardsTest, GreekNamesInTheirCodePage) {
  SetAnsiCodePage(1253);
  // Omega, accented alpha, beta, alpha, and a Latin name.
  TStringList cards = Book({Card("\xD9\xEC\xE5\xE3\xE1", "x"), Card("\xDC\xEB\xF6\xE1", "b"),
                            Card("\xC2\xDE\xF4\xE1", "x"), Card("\xE1\xEB\xF6\xE1", "a"), Card("Zeta", "x")});
  SortCards(cards);
  EXPECT_EQ(Lines(cards),
            (std::vector<std::string>{Card("Zeta", "x"), Card("\xE1\xEB\xF6\xE1", "a"), Card("\xDC\xEB\xF6\xE1", "b"),
                                      Card("\xC2\xDE\xF4\xE1", "x"), Card("\xD9\xEC\xE5\xE3\xE1", "x")}));
}

TEST_F(SortCardsTest, KeepsEveryLineWhateverItsShape) {
  // Cards that differ only in case, lines with extra or missing fields, text after the last
  // separator, and an empty line all survive the sort.
  const std::vector<std::string> given = {Card("Doe", "Jo"),
                                          Card("DOE", "JO"),
                                          Card("doe", "jo"),
                                          "Doe\xFFJo\xFF"
                                          "extra\xFF"
                                          "more",
                                          "Doe",
                                          "",
                                          "\xFF\xFF\xFF"};
  TStringList cards;
  for (const std::string& line : given) cards.Add(line);
  SortCards(cards);
  std::vector<std::string> sorted = Lines(cards);
  std::vector<std::string> expected = given;
  std::sort(sorted.begin(), sorted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sorted, expected);
  EXPECT_EQ(Lines(cards).front(), "");
}

TEST(Backup, RoundTripKeepsTheBookByteForByte) {
  TempProgramFolder folder;
  const TStringList cards = Book({Card("Doe", "Jane", "Acme"), Card("M\xFCller", "J\xFCrgen"), "no separators"});
  const std::string file = folder.File("Address Book Backup.bkp");
  WriteBackupFile(cards, file, folder.File("book.abk"), folder.File("book.bkp"));
  EXPECT_EQ(ReadBytes(file), "ABK10\r\n" + Card("Doe", "Jane", "Acme") + "\r\n" + Card("M\xFCller", "J\xFCrgen") +
                                 "\r\nno separators\r\n");
  const TBackupContents read = ReadBackupFile(file);
  EXPECT_TRUE(read.IsBook);
  EXPECT_EQ(Lines(read.Cards), Lines(cards));
}

TEST(Backup, OfAnEmptyBookIsTheHeaderAlone) {
  TempProgramFolder folder;
  WriteBackupFile(TStringList(), folder.File("empty.bkp"), folder.File("book.abk"), folder.File("book.bkp"));
  EXPECT_EQ(ReadBytes(folder.Path / "empty.bkp"), "ABK10\r\n");
}

TEST(Backup, RefusesTheBookAndItsAutomaticBackup) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "book.abk", "ABK10\r\nold\r\n");
  WriteBytes(folder.Path / "book.bkp", "ABK10\r\nolder\r\n");
  std::filesystem::create_hard_link(folder.Path / "book.abk", folder.Path / "link.bkp");
  for (const char* target : {"book.abk", "book.bkp", "BOOK.ABK", "link.bkp", "sub/../book.bkp"}) {
    std::filesystem::create_directories(folder.Path / "sub");
    EXPECT_THROW(WriteBackupFile(Book({"new"}), folder.File(target), folder.File("book.abk"), folder.File("book.bkp")),
                 Exception)
        << target;
  }
  EXPECT_EQ(ReadBytes(folder.Path / "book.abk"), "ABK10\r\nold\r\n");
  EXPECT_EQ(ReadBytes(folder.Path / "book.bkp"), "ABK10\r\nolder\r\n");
}

TEST(Backup, AFailedWriteReportsAndKeepsTheEarlierBackup) {
  TempProgramFolder folder;
  EXPECT_THROW(
      WriteBackupFile(Book({"x"}), folder.File("missing/b.bkp"), folder.File("book.abk"), folder.File("book.bkp")),
      EFCreateError);
  // A folder in the way of the rename: the earlier backup beside it is untouched.
  WriteBytes(folder.Path / "earlier.bkp", "ABK10\r\nkept\r\n");
  std::filesystem::create_directories(folder.Path / "dir.bkp" / "inner");
  EXPECT_THROW(WriteBackupFile(Book({"x"}), folder.File("dir.bkp"), folder.File("book.abk"), folder.File("book.bkp")),
               EFCreateError);
  EXPECT_EQ(ReadBytes(folder.Path / "earlier.bkp"), "ABK10\r\nkept\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path / "dir.bkp" / "inner"));
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(Restore, DropsTheFirstLineAndTellsWhetherItWasTheHeader) {
  TempProgramFolder folder;
  struct Case {
    const char* bytes;
    bool isBook;
    std::vector<std::string> cards;
  };
  const Case cases[] = {
      {"ABK10\r\na\r\nb\r\n", true, {"a", "b"}},
      {"ABK10", true, {}},
      {"Name,Phone\nDoe,555\rRoe,556", false, {"Doe,555", "Roe,556"}},
      {"abk10\r\nx\r\n", false, {"x"}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    WriteBytes(folder.Path / "in.bkp", c.bytes);
    const TBackupContents read = ReadBackupFile(folder.File("in.bkp"));
    EXPECT_EQ(read.IsBook, c.isBook) << c.bytes;
    EXPECT_EQ(Lines(read.Cards), c.cards) << c.bytes;
  }
  EXPECT_THROW((void)ReadBackupFile(folder.File("none.bkp")), EFOpenError);
}

}  // namespace
