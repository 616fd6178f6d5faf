#include "ContactImport.h"

#include <gtest/gtest.h>

#include "CodePage.h"
#include "ContactsServer.h"
#include "TestSupport.h"

namespace {

std::string Fixture(const char* name) {
  return testing_support::ReadBytes(std::filesystem::path(VAB_TEST_DATA) / "vcard" / name);
}

// An automation object whose members are the given functions.
class TFake final : public IDispatch {
 public:
  using TMember = std::function<Variant(const std::vector<Variant>&)>;
  explicit TFake(std::map<std::string, TMember> members) : Members(std::move(members)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    const auto found = Members.find(std::string(Name));
    if (found == Members.end()) throw EOleError("Unknown name");
    return found->second(Args);
  }

 private:
  std::map<std::string, TFake::TMember> Members;
};

Variant Fake(std::map<std::string, TFake::TMember> members) {
  return Variant(IDispatchPtr(std::make_shared<TFake>(std::move(members))));
}

// An application whose folder holds `count` items, each answering only "CompanyName" and
// "HomeAddressCity".
Variant SparseApplication(int count) {
  const Variant item = Fake(
      {{"CompanyName", [](auto&) { return Variant("Acme"); }}, {"HomeAddressCity", [](auto&) { return Variant(7); }}});
  const Variant items = Fake({{"Count", [count](auto&) { return Variant(QString::number(count)); }}});
  const Variant folder =
      Fake({{"Items", [=](const std::vector<Variant>& args) { return args.empty() ? items : item; }}});
  const Variant ns = Fake({{"GetDefaultFolder", [=](auto&) { return folder; }}});
  return Fake({{"GetNamespace", [=](auto&) { return ns; }}});
}

class ContactImportTest : public testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePage(1252); }
};

TEST_F(ContactImportTest, CleansAddressesAndPhones) {
  const std::pair<const char*, const char*> addresses[] = {
      {"1 Road\r\nTown", "1 Road Town"},
      {"1 Road\nTown", "1 Road Town"},
      {"1 Road\rTown", "1 Road Town"},
      {"a\r\n\r\nb\n", "a  b "},
      {"plain", "plain"},
  };
  for (const auto& [given, cleaned] : addresses) {
    AnsiString text = given;
    CleanAddress(text);
    EXPECT_EQ(text, cleaned) << given;
  }
  const std::pair<const char*, const char*> phones[] = {
      {"(555) 123,4567", "555 123 4567"}, {"((1)),,2", "1  2"}, {"+30 210", "+30 210"}};
  for (const auto& [given, cleaned] : phones) {
    AnsiString text = given;
    CleanPhone(text);
    EXPECT_EQ(text, cleaned) << given;
  }
}

TEST_F(ContactImportTest, StagesEveryContactAsCardFieldsInFolderOrder) {
  int steps = 0;
  const TStagedContacts staged = StageContacts(Variant(CreateContactsServer(Fixture("v21.vcf"))), [&](int done, int n) {
    EXPECT_EQ(done, steps++);
    EXPECT_EQ(n, 2);
  });
  EXPECT_EQ(steps, 3);
  ASSERT_EQ(staged.Cards.size(), 2u);
  EXPECT_EQ(staged.Cards[0],
            (TCardFields{"M\xFCller", "J\xFCrgen", "Acme", "Line one Line two", "Springfield", "62701", "IL", "USA",
                         "555 123 4567", "555-0100", "j@example.com", "http://example.com/a very/long", "", ""}));
  EXPECT_EQ(staged.Cards[1][cfSurname], "Roe");
  EXPECT_EQ(staged.Cards[1][cfPhone], "555-2000");
  EXPECT_EQ(staged.Changed, 0);
}

TEST_F(ContactImportTest, CountsTheContactsWhoseCharactersTheCodePageCannotHold) {
  const std::string data = Fixture("v40.vcf") + Fixture("v21.vcf") +
                           "BEGIN:VCARD\nN:Ma\xC3\xBF"
                           "er;Y\nEND:VCARD\n";  // the separator byte in Windows-1252
  TStagedContacts staged = StageContacts(Variant(CreateContactsServer(data)));
  ASSERT_EQ(staged.Cards.size(), 4u);
  EXPECT_EQ(staged.Cards[0][cfSurname], "????????????");
  EXPECT_EQ(staged.Cards[0][cfAddress], "???? 1");
  EXPECT_EQ(staged.Cards[3][cfSurname], "Ma?er");
  EXPECT_EQ(staged.Changed, 2);

  SetAnsiCodePage(1253);
  staged = StageContacts(Variant(CreateContactsServer(Fixture("v40.vcf"))));
  EXPECT_EQ(staged.Cards[0][cfSurname], "\xD0\xE1\xF0\xE1\xE4\xFC\xF0\xEF\xF5\xEB\xEF\xF2");
  EXPECT_EQ(staged.Changed, 0);
}

// The names and streets of the exporters' files as the book stores them, in the code pages of a
// Western (C.UTF-8) and a Greek (el_GR.UTF-8) user.
TEST_F(ContactImportTest, StagesTheExportersNamesAndStreetsInTheCodePage) {
  struct Case {
    unsigned codePage;
    const char* file;
    std::size_t card;
    AnsiString surname, firstName, street;
  };
  const Case cases[] = {
      {1252, "google.vcf", 0, "Smith", "Mary", "1 Main St, Building B Suite 5"},
      {1252, "apple.vcf", 0, "Jones", "Anna", "12 Elm St Apt 3"},
      {1252, "apple.vcf", 1, "Blue Harbor Ltd", "", ""},
      {1252, "outlook.vcf", 0, "M\xFCller", "J\xFCrgen", "12 Oak Rd Flat 2"},
      {1252, "thunderbird.vcf", 1, "Nordmann", "Kari Anne", ""},
      {1252, "thunderbird.vcf", 2, "?????????", "?????", ""},
      {1252, "evolution.vcf", 0, "Picard", "Jean-Luc", "5 Rue de la Paix Appartement 12"},
      {1252, "kaddressbook.vcf", 0, "Smith Jones", "Mary Ann",
       "Hauptstra\xDF"
       "e 5"},
      {1253, "thunderbird.vcf", 2, "\xD0\xE1\xF0\xE1\xE4\xDC\xEA\xE7\xF2", "\xCD\xDF\xEA\xEF\xF2", ""},
      {1253, "kaddressbook.vcf", 0, "Smith Jones", "Mary Ann", "Hauptstra?e 5"},
  };
  for (const Case& c : cases) {
    SetAnsiCodePage(c.codePage);
    const TStagedContacts staged = StageContacts(Variant(CreateContactsServer(Fixture(c.file))));
    ASSERT_LT(c.card, staged.Cards.size()) << c.file;
    const TCardFields& card = staged.Cards[c.card];
    EXPECT_EQ(card[cfSurname], c.surname) << c.codePage << " " << c.file << " " << c.card;
    EXPECT_EQ(card[cfFirstName], c.firstName) << c.codePage << " " << c.file << " " << c.card;
    EXPECT_EQ(card[cfAddress], c.street) << c.codePage << " " << c.file << " " << c.card;
  }
}

TEST_F(ContactImportTest, APropertyThatCannotBeReadGivesItsStandIn) {
  const TStagedContacts staged = StageContacts(SparseApplication(1));
  ASSERT_EQ(staged.Cards.size(), 1u);
  EXPECT_EQ(staged.Cards[0], (TCardFields{"?", "?", "Acme", "", "7", "", "", "", "", "", "?", "?", "", ""}));
  EXPECT_EQ(CountContacts(SparseApplication(3)), 3);
}

TEST_F(ContactImportTest, FailuresOutsideThePropertiesEndTheReading) {
  const Variant noNamespace = Fake({});
  const Variant badCount = SparseApplication(0).Invoke("GetNamespace", {"MAPI"});  // no GetNamespace of its own
  EXPECT_EQ(CountContacts(Variant()), 0);
  EXPECT_EQ(CountContacts(noNamespace), 0);
  EXPECT_EQ(CountContacts(badCount), 0);
  EXPECT_THROW((void)StageContacts(noNamespace), EOleError);
  EXPECT_TRUE(StageContacts(Variant()).Cards.empty());
  EXPECT_TRUE(StageContacts(SparseApplication(-2)).Cards.empty());
}

}  // namespace
