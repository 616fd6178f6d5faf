#include "CardExport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "CardFixtures.h"
#include "TestSupport.h"

namespace {

using testing_support::Card;
using testing_support::CardFields;

// A card line with every field given, in card field order.
std::string FullCard(std::array<std::string_view, kCardFieldCount> values) {
  return BuildCardLine(values);
}

ExportChoice Choose(std::initializer_list<int> columns, char delimiter = ',', bool headers = false) {
  ExportChoice choice;
  for (int c : columns) choice.Chosen[static_cast<std::size_t>(c)] = true;
  choice.Delimiter = delimiter;
  choice.Headers = headers;
  return choice;
}

ExportChoice Defaults(char delimiter = ',', bool headers = false) {
  ExportChoice choice;
  for (std::size_t i = 0; i < kExportColumns.size(); ++i) choice.Chosen[i] = kExportColumns[i].CheckedAtStart;
  choice.Delimiter = delimiter;
  choice.Headers = headers;
  return choice;
}

TStringList Book(std::initializer_list<std::string> lines) {
  TStringList cards;
  for (const std::string& line : lines) cards.Add(line);
  return cards;
}

TEST(CardExport, ExactBytes) {
  CardValues city = CardFields("Smith", "Ann");
  city[cfCity] = "Leeds";
  const std::string full = FullCard({" Doe ", "John", " ACME ", "1 Road", "York", "Y01", "North", "UK", "123", "456",
                                     "j@d.uk", "www.d.uk", "p.jpg", "notes"});
  struct Case {
    const char* Name;
    TStringList Cards;
    ExportChoice Choice;
    std::string Bytes;
  };
  const Case cases[] = {
      {"default columns, only name and city", Book({BuildCardLine(city)}), Defaults(), "Smith Ann,,Leeds,,,,,\r\n"},
      {"headers with the default columns", Book({}), Defaults(',', true),
       "Name,Address,City,Zip,Phone,Cellular,Company,eMail\r\n"},
      {"every column of a full card, trimmed", Book({full}), Choose({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, ';', true),
       "Name;Address;City;Zip;State;Country;Phone;Cellular;Company;eMail;Website\r\n"
       "Doe John;1 Road;York;Y01;North;UK;123;456;ACME;j@d.uk;www.d.uk\r\n"},
      {"every column of an empty card", Book({Card("")}), Choose({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), ",,,,,,,,,,\r\n"},
      {"one column, empty values", Book({Card("A"), Card("B")}), Choose({6}), "\r\n\r\n"},
      {"nothing chosen", Book({Card("A")}), Choose({}, ',', true), ""},
      {"a value with the delimiter or a quote", Book({Card("Smith, Jr.", "Al \"Bo\"")}), Choose({0, 2}),
       "\"Smith, Jr. Al \"\"Bo\"\"\",\r\n"},
      {"quoting found anywhere in a long value",
       Book({FullCard({"abcdefghijklmno\"p", "", "", "", "abcdefgh,i", "", "", "", "", "", "", "", "", ""})}),
       Choose({0, 2}), "\"abcdefghijklmno\"\"p\",\"abcdefgh,i\"\r\n"},
      {"the delimiter a letter of a header", Book({}), Choose({0, 8}, 'N', true), "\"Name\"NCompany\r\n"},
      {"a line cut short: missing fields are empty",
       Book({"Short\xFF"
             "First\xFF"
             "Co"}),
       Choose({0, 8, 10}), "Short First,,\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExportText(c.Cards, c.Choice), c.Bytes);
  }
}

TEST(CardExport, NamesFoldPairsOfBlanksOnce) {
  struct Case {
    const char* Surname;
    const char* First;
    const char* Name;
  };
  const Case cases[] = {
      {"van  Dyke", "Ann", "van Dyke Ann"},    // two blanks become one
      {"van   Dyke", "Ann", "van  Dyke Ann"},  // three become two
      {"  Lone ", "", "Lone"},                 // no trailing blank
      {"", "  Only", "Only"},                  // no leading blank
      {"a\t", "b", "a b"},                     // trimmed of control characters too
  };
  for (const Case& c : cases) EXPECT_EQ(ExportName(c.Surname, c.First), c.Name) << c.Surname;
}

TEST(CardExport, Delimiter) {
  EXPECT_EQ(ExportDelimiter(""), ' ');
  EXPECT_EQ(ExportDelimiter(";"), ';');
  EXPECT_EQ(ExportDelimiter("\t"), '\t');
  EXPECT_THROW((void)ExportDelimiter("\""), EConvertError);
}

TEST(CardExport, FileIsReplacedWholeOrNotAtAll) {
  testing_support::TempProgramFolder folder;
  const std::string file = folder.File("out.csv");
  WriteExportFile(Book({Card("Doe", "J")}), Choose({0}, ',', true), file);
  EXPECT_EQ(testing_support::ReadBytes(file), "Name\r\nDoe J\r\n");
  WriteExportFile(Book({Card("Doe", "J")}), Choose({}), file);  // nothing chosen: an empty file
  EXPECT_EQ(testing_support::ReadBytes(file), "");

  testing_support::WriteBytes(file, "kept");
  std::filesystem::permissions(folder.Path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  try {
    WriteExportFile(Book({Card("Doe", "J")}), Choose({0}), file);
    if (::geteuid() != 0) ADD_FAILURE() << "a folder without write permission took the file";
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message.find("out.csv"), std::string::npos) << e.Message;
  }
  std::filesystem::permissions(folder.Path, std::filesystem::perms::owner_all);
  if (::geteuid() != 0) {
    EXPECT_EQ(testing_support::ReadBytes(file), "kept");
  }
  EXPECT_THROW(WriteExportFile(Book({}), Choose({0}), folder.File("no/such/folder/out.csv")), EFCreateError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path), {}), 2);  // config and out.csv
}

}  // namespace
