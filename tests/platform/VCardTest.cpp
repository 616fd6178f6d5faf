#include "VCard.h"

#include <gtest/gtest.h>

#include <map>

#include "ContactsServer.h"
#include "Dialogs.h"
#include "TestSupport.h"

namespace {

using namespace Qt::StringLiterals;
using testing_support::ReadBytes;

const char* const kProperties[] = {"LastName",
                                   "FirstName",
                                   "CompanyName",
                                   "HomeAddressStreet",
                                   "HomeAddressCity",
                                   "HomeAddressPostalCode",
                                   "HomeAddressState",
                                   "HomeAddressCountry",
                                   "HomeTelephoneNumber",
                                   "MobileTelephoneNumber",
                                   "Email1Address",
                                   "WebPage"};

std::string Fixture(const char* name) {
  return ReadBytes(std::filesystem::path(VAB_TEST_DATA) / "vcard" / name);
}

// The twelve properties of every contact the server holds, as UTF-8, in kProperties' order.
std::vector<std::vector<std::string>> Contacts(std::string_view data) {
  const Variant application(CreateContactsServer(data));
  const Variant folder = application.Invoke("GetNamespace", {Variant("MAPI")}).Invoke("GetDefaultFolder", {10});
  std::vector<std::vector<std::string>> contacts;
  const int count = folder.Invoke("Items").Invoke("Count").ToInteger();
  for (int i = 1; i <= count; ++i) {
    std::vector<std::string>& contact = contacts.emplace_back();
    for (const char* property : kProperties)
      contact.push_back(folder.Invoke("Items", {i}).Invoke(property).ToText().toStdString());
  }
  return contacts;
}

using Contact = std::vector<std::string>;

TEST(ContactsServer, ReadsVersion21WithQuotedPrintableCharsetsFoldingAndPhotos) {
  EXPECT_EQ(
      Contacts(Fixture("v21.vcf")),
      (std::vector<Contact>{{"M\u00fcller", "J\u00fcrgen", "Acme", "Line one\r\nLine two", "Springfield", "62701", "IL",
                             "USA", "(555) 123,4567", "555-0100", "j@example.com", "http://example.com/a very/long"},
                            {"Roe", "Rick", "", "", "", "", "", "", "555-2000", "", "", ""}}));
}

TEST(ContactsServer, ReadsVersion30WithEscapesTypesAndPreference) {
  EXPECT_EQ(Contacts(Fixture("v30.vcf")),
            (std::vector<Contact>{{"Doe, Jr.", "John", "Big; Co", "12 Home St\nFlat 3", "Hometown", "90210", "CA", "US",
                                   "+1 555 1", "+1 555 2", "pref@x.org", "http://doe.example"}}));
}

TEST(ContactsServer, ReadsVersion40WithUriNumbersAndNoEnd) {
  EXPECT_EQ(
      Contacts(Fixture("v40.vcf")),
      (std::vector<Contact>{{"\u03a0\u03b1\u03c0\u03b1\u03b4\u03cc\u03c0\u03bf\u03c5\u03bb\u03bf\u03c2",
                             "\u0393\u03b9\u03ce\u03c1\u03b3\u03bf\u03c2", "", "\u039f\u03b4\u03cc\u03c2 1",
                             "\u0391\u03b8\u03ae\u03bd\u03b1", "10558", "", "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1",
                             "+30-210-1234567", "+30 69", "a@x.gr", "https://x.gr"}}));
}

TEST(VCard, ReadsTheFormsWritersUse) {
  struct Case {
    const char* what;
    std::string data;
    std::vector<std::string> names;  // the N value of each card, as UTF-8
  };
  const Case cases[] = {
      {"several cards, one without END",
       "BEGIN:VCARD\nN:A;1\nBEGIN:VCARD\nN:B;2\nEND:VCARD\nBEGIN:VCARD\nN:C;3\nEND:VCARD\n",
       {"A;1", "B;2", "C;3"}},
      {"lines outside cards and lines without a value",
       "N:Out;side\nBEGIN:VCARD\nnonsense\nN:In;side\nEND:VCARD\nN:After;wards\n",
       {"In;side"}},
      {"lower-case keywords and lone CR line ends", "begin:vcard\rn:Low;er\rend:vcard\r", {"Low;er"}},
      {"Latin-1 bytes without a character set",
       "BEGIN:VCARD\nN:M\xFCller;J\xFCrgen\nEND:VCARD\n",
       {"M\u00fcller;J\u00fcrgen"}},
      {"a named character set with quoted-printable",
       "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=WINDOWS-1253;QUOTED-PRINTABLE:=C1=EB=DD=EE=E7=F2;\nEND:VCARD\n",
       {"\u0391\u03bb\u03ad\u03be\u03b7\u03c2;"}},
      {"an encoded semicolon stays in its component",
       "BEGIN:VCARD\nVERSION:2.1\nN;ENCODING=QUOTED-PRINTABLE:A=3BB;C\nEND:VCARD\n",
       {"A;B;C"}},
      {"version 2.1 keeps backslashes but for the escaped semicolon",
       "BEGIN:VCARD\nVERSION:2.1\nN:C:\\new\\;x;y\nEND:VCARD\n",
       {"C:\\new;x;y"}},
      {"version 2.1 keeps a backslash before a colon",
       "BEGIN:VCARD\nVERSION:2.1\nN:http\\://x;y\nEND:VCARD\n",
       {"http\\://x;y"}},
      {"versions 3.0 and 4.0 unescape the colon of a web address",
       "BEGIN:VCARD\nVERSION:3.0\nN:http\\://x;y\nEND:VCARD\nBEGIN:VCARD\nVERSION:4.0\nN:a\\:b\\:;\nEND:VCARD\n",
       {"http://x;y", "a:b:;"}},
      {"version 3.0 turns \\n into a line break",
       "BEGIN:VCARD\nVERSION:3.0\nN:a\\nb\\\\c\\,d;e\nEND:VCARD\n",
       {"a\nb\\c,d;e"}},
      {"version 3.0 unfolds without the blank, tabs too",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lo\r\n ng;Fir\r\n\tst\r\nEND:VCARD\r\n",
       {"Long;First"}},
      {"an unknown character set falls back to UTF-8",
       "BEGIN:VCARD\nN;CHARSET=X-NONE:\xC3\xA9;\nEND:VCARD\n",
       {"\u00e9;"}},
      {"nothing that is a vCard", std::string("\x00\xFF garbage\n:\n;;:\n", 17), {}},
      {"an empty file", "", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (const TVCard& card : ParseVCards(c.data))
      for (const TVCardProperty& property : card.Properties)
        if (property.Name == u"N") names.push_back(property.Value().toStdString());
    EXPECT_EQ(names, c.names) << c.what;
  }
}

TEST(VCard, OnlyVersions30And40SplitAComponentAtItsUnescapedCommas) {
  const std::vector<TVCard> cards = ParseVCards(
      "BEGIN:VCARD\nVERSION:3.0\nN:Smith,Jones;Mary\\,Ann;;;\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:4.0\nN:,Smith,;Mary;;;\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:2.1\nN:Smith,Jones;Mary\nEND:VCARD\n");
  ASSERT_EQ(cards.size(), 3u);
  const auto components = [&](std::size_t card) {
    const TVCardProperty& n = cards[card].Properties.at(0);
    return std::vector<QStringList>{n.ComponentValues(0), n.ComponentValues(1)};
  };
  EXPECT_EQ(components(0), (std::vector<QStringList>{{u"Smith"_s, u"Jones"_s}, {u"Mary,Ann"_s}}));
  EXPECT_EQ(components(1), (std::vector<QStringList>{{u""_s, u"Smith"_s, u""_s}, {u"Mary"_s}}));
  EXPECT_EQ(components(2), (std::vector<QStringList>{{u"Smith,Jones"_s}, {u"Mary"_s}}));
  EXPECT_EQ(cards[1].Properties.at(0).Value(), u",Smith,;Mary;;;"_s);  // as written
}

TEST(VCard, InlineDataIsMarkedAndNotKept) {
  const std::vector<TVCard> cards = ParseVCards(
      "BEGIN:VCARD\nVERSION:3.0\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:4.0\nPHOTO:data:image/jpeg;base64,/9j/4AAQ\nURL:https://x.example/data:\nEND:VCARD\n");
  ASSERT_EQ(cards.size(), 2u);
  std::vector<std::pair<std::string, bool>> seen;
  for (const TVCard& card : cards)
    for (const TVCardProperty& property : card.Properties) {
      seen.emplace_back(property.Name.toStdString(), property.Binary);
      if (property.Binary) {
        EXPECT_TRUE(property.Components.isEmpty()) << property.Name.toStdString();
      }
    }
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"PHOTO", true}, {"PHOTO", true}, {"URL", false}}));
}

TEST(VCard, ReadsUtf16WithItsByteOrderMark) {
  const QString text = QStringLiteral("BEGIN:VCARD\r\nN:\u00c5ngstr\u00f6m;\u00c9va\r\nEND:VCARD\r\n");
  std::string data = "\xFF\xFE";
  data.append(reinterpret_cast<const char*>(text.utf16()), static_cast<std::size_t>(text.size()) * 2);
  const std::vector<TVCard> cards = ParseVCards(data);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].Properties.at(0).Value(), QStringLiteral("\u00c5ngstr\u00f6m;\u00c9va"));
}

// Each exporter's file, in its own style: escapes, lists in a name, extended addresses, display
// names alone and companies.
TEST(ContactsServer, ReadsTheContactsEachExporterWrites) {
  const std::pair<const char*, std::vector<Contact>> exports[] = {
      {"google.vcf",
       {{"Smith", "Mary", "Example One Ltd.", "1 Main St, Building B Suite 5", "Springfield", "62701", "IL",
         "United States", "(555) 010-0102", "+1 555-0101", "mary.smith@example.com", "http://www.example1.com"},
        {"Baker", "Tom", "", "", "", "", "", "", "", "", "tom@example.com", "https://tom.example.com/about"}}},
      {"apple.vcf",
       {{"Jones", "Anna", "Jones & Co, Ltd.", "12 Elm St\nApt 3", "Portland", "97201", "OR", "United States",
         "555 010 2001", "(555) 010-2000", "anna@example.com", "http://www.example2.com"},
        {"Blue Harbor Ltd", "", "Blue Harbor Ltd", "", "", "", "", "", "", "", "", "http://blueharbor.example"}}},
      {"outlook.vcf",
       {{"M\u00fcller", "J\u00fcrgen", "Brown, Smith & Co", "12 Oak Rd\r\nFlat 2", "Leeds", "LS1 4AB", "",
         "United Kingdom", "(555) 123,4567", "555 765 4321", "juergen@example.com",
         "file://\\\\fileserver\\new\\juergen"}}},
      {"thunderbird.vcf",
       {{"Nordmann", "Ola", "", "Storgata 1 Suite 5", "Oslo", "0155", "", "Norway", "22 12 34 56", "", "ola@example.no",
         "https://www.example4.no"},
        {"Nordmann", "Kari Anne", "", "", "", "", "", "", "", "", "kari@example.no", ""},
        {"\u03a0\u03b1\u03c0\u03b1\u03b4\u03ac\u03ba\u03b7\u03c2", "\u039d\u03af\u03ba\u03bf\u03c2", "", "", "", "", "",
         "", "", "", "nikos@example.gr", ""},
        {"Fjord Tours AS", "", "Fjord Tours AS", "", "", "", "", "", "", "", "post@example.no", ""}}},
      {"evolution.vcf",
       {{"Picard", "Jean-Luc", "Picard, Fils & Cie", "5 Rue de la Paix Appartement 12", "Paris", "75002", "", "France",
         "01 23 45 67 89", "06 12 34 56 78", "jl@example.fr", "https://example5.fr"}}},
      {"kaddressbook.vcf",
       {{"Smith Jones", "Mary Ann", "Beispiel GmbH", "Hauptstra\u00dfe 5", "M\u00fcnchen", "80331", "Bayern", "Germany",
         "+49 89 123456", "+49 171 1234567", "mary.ann@example.de", "https://www.example6.de"}}},
  };
  for (const auto& [file, contacts] : exports) EXPECT_EQ(Contacts(Fixture(file)), contacts) << file;
}

TEST(ContactsServer, TakesTheNameFromTheDisplayNameOnlyWhenTheNameIsEmpty) {
  struct Case {
    const char* card;  // the lines between VERSION and END
    const char* lastName;
    const char* firstName;
  };
  const Case cases[] = {
      {"FN:  Cher  \n", "Cher", ""},
      {"FN:Anna  Maria\tLopez\nN:;;;;\n", "Lopez", "Anna Maria"},
      {"FN:Lopez\nN:;Anna;;;\n", "", "Anna"},
      {"FN:Acme Corp\nORG:Acme;\n", "Corp", "Acme"},  // not the company's name
      {"FN:Acme Corp\nORG:Acme Corp;\n", "Acme Corp", ""},
      {"ORG:Acme Corp\n", "", ""},
  };
  for (const Case& c : cases) {
    const std::vector<Contact> contacts = Contacts(std::string("BEGIN:VCARD\nVERSION:4.0\n") + c.card + "END:VCARD\n");
    ASSERT_EQ(contacts.size(), 1u) << c.card;
    EXPECT_EQ(contacts[0][0], c.lastName) << c.card;
    EXPECT_EQ(contacts[0][1], c.firstName) << c.card;
  }
}

TEST(ContactsServer, AnswersOnlyItsMembersAndArguments) {
  const Variant application(CreateContactsServer(Fixture("v21.vcf") + Fixture("v30.vcf") + Fixture("v40.vcf")));
  EXPECT_EQ(application.Invoke("version").ToText(), QStringLiteral("2.1, 3.0, 4.0"));
  const Variant folder = application.Invoke("GetNamespace", {"MAPI"}).Invoke("GetDefaultFolder", {10});
  EXPECT_EQ(folder.Invoke("Items").Invoke("Count").ToInteger(), 4);
  EXPECT_EQ(folder.Invoke("Items").Invoke("Item", {4}).Invoke("HomeAddressPostalCode").ToText(), u"10558");
  const std::vector<std::function<void()>> failures = {
      [&] { (void)application.Invoke("Quit"); },
      [&] { (void)application.Invoke("GetNamespace", {"OTHER"}); },
      [&] { (void)application.Invoke("GetNamespace"); },
      [&] { (void)application.Invoke("GetNamespace", {"MAPI"}).Invoke("GetDefaultFolder", {6}); },
      [&] { (void)folder.Invoke("Items", {0}); },
      [&] { (void)folder.Invoke("Items", {5}); },
      [&] { (void)folder.Invoke("Items", {1}).Invoke("Birthday"); },
      [&] { (void)folder.Invoke("Items", {1}).ToText(); },
  };
  for (std::size_t k = 0; k < failures.size(); ++k) EXPECT_THROW(failures[k](), EOleError) << k;
}

TEST(ContactsServer, StartsWithTheFileTheUserChoosesAndRunsWhileHeld) {
  testing_support::TempProgramFolder folder;
  testing_support::WriteBytes(folder.Path / "contacts.vcf", Fixture("v30.vcf"));
  RegisterContactsServer();
  std::optional<AnsiString> answer;
  int asked = 0;
  SetOpenDialogHandler([&](const OpenDialogRequest& request) {
    ++asked;
    EXPECT_NE(request.Filter.find("*.vcf"), AnsiString::npos);
    return answer;
  });
  EXPECT_THROW((void)GetActiveOleObject(kMailClientProgID), EOleError);
  EXPECT_THROW((void)CreateOleObject(kMailClientProgID), EOleError);  // cancelled
  answer = folder.File("missing.vcf");
  EXPECT_THROW((void)CreateOleObject(kMailClientProgID), std::exception);
  answer = folder.File("contacts.vcf");
  {
    const Variant application = CreateOleObject(kMailClientProgID);
    EXPECT_EQ(application.Invoke("Version").ToText(), u"3.0");
    EXPECT_EQ(GetActiveOleObject(kMailClientProgID).ToDispatch(), application.ToDispatch());
  }
  EXPECT_THROW((void)GetActiveOleObject(kMailClientProgID), EOleError);
  EXPECT_EQ(asked, 3);
  SetOpenDialogHandler(nullptr);
  UnregisterOleClass(kMailClientProgID);
  EXPECT_THROW((void)CreateOleObject(kMailClientProgID), EOleError);
}

}  // namespace
