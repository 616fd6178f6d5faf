#include "Unit_Extensions.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <QStandardPaths>
#include <csignal>

#include "CardFixtures.h"
#include "CodePage.h"
#include "FakeOpener.h"
#include "Files.h"
#include "Shell.h"
#include "TestSupport.h"

namespace {

using testing_support::FakeOpener;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

constexpr std::string_view kHeader =
    "<html><meta charset=\"windows-1252\"><body fbcolor=\"#000000\" bgcolor=\"#FFFFFF\"><hr><center><h2>My Velmora "
    "Address Book</h2></center><hr>"
    "<br><center><table border=0 cellpadding=2 cellspacing=2>\r\n";
constexpr std::string_view kFooter = "</table><center><br><hr></body></html>\r\n";

TStringList Book(std::initializer_list<std::string> lines) {
  TStringList cards;
  for (const std::string& line : lines) cards.Add(line);
  return cards;
}

std::string CardLine(std::initializer_list<std::pair<CardField, std::string_view>> fields) {
  CardValues values{};
  for (const auto& [field, value] : fields) values[field] = value;
  return BuildCardLine(values);
}

std::string PageOf(const TStringList& cards, const TempProgramFolder& folder) {
  const AnsiString file = folder.File("page.html");
  EXPECT_EQ(WriteWebPage(cards, file).Error(), "");
  return ReadBytes(file);
}

TEST(WebPage, EmptyBookIsHeaderEmptyRowAndFooter) {
  TempProgramFolder folder;
  EXPECT_EQ(PageOf({}, folder), std::string(kHeader) + "<tr><td align=center>The Address Book is empty</td></tr>\r\n" +
                                    std::string(kFooter));
}

TEST(WebPage, RowsEscapeEveryValueAndEncodeEveryAddress) {
  TempProgramFolder folder;
  const TStringList cards = Book({
      CardLine({{cfSurname, "<b>Lee</b>"},
                {cfFirstName, "Ann & \"Bo\""},
                {cfCompany, "O'Brien & Co"},
                {cfAddress, "1 Main St"},
                {cfCity, "Town"},
                {cfZip, "123"},
                {cfState, "ST"},
                {cfCountry, "Nowhere"},
                {cfPhone, "555 1234"},
                {cfCellular, "999"},
                {cfEmail, "ann@x.org?cc=evil@y.org"},
                {cfWebsite, "example.org/a b\"><script>"},
                {cfPicture, "ann pic.JPG"},
                {cfNotes, "secret\r\nnote"}}),
      CardLine({{cfSurname, "Zed"}, {cfAddress, "2 Side Rd"}, {cfWebsite, "HTTPS://Z.example"}, {cfPicture, "z.jpeg"}}),
      "Solo\xFF",
  });
  const std::string expected =
      std::string(kHeader) +
      "<tr><td align=center><img width=150 height=160 src=\"images/ann%20pic.JPG\" "
      "alt=\"&lt;b&gt;Lee&lt;/b&gt; Ann &amp; &quot;Bo&quot;\"></td><td align=left><strong>"
      "<a href=\"mailto:ann@x.org%3Fcc%3Devil@y.org\">&lt;b&gt;Lee&lt;/b&gt; Ann &amp; &quot;Bo&quot;</a></strong>"
      "<br>O&#39;Brien &amp; Co<br>1 Main St  &nbsp;&nbsp;(phone: 555 1234)<br>Town 123 ST<br>"
      "<a href=\"http://example.org/a%20b%22%3E%3Cscript%3E\">http://example.org/a b&quot;&gt;&lt;script&gt;</a>"
      "</td></tr>\r\n"
      "<tr><td align=center><img width=150 height=160 src=\"\" alt=\"Zed \"></td><td align=left><strong>Zed </strong>"
      "<br><br>2 Side Rd <br>  <br><a href=\"HTTPS://Z.example\">HTTPS://Z.example</a></td></tr>\r\n"
      "<tr><td align=center><img width=150 height=160 src=\"\" alt=\"Solo \"></td><td align=left><strong>Solo "
      "</strong><br><br> <br>  <br></td></tr>\r\n" +
      std::string(kFooter);
  EXPECT_EQ(PageOf(cards, folder), expected);
}

TEST(WebPage, ReadCardForPageTakesTheLastPictureFieldAndTheNotesBreaks) {
  struct Case {
    std::string line;
    std::string surname, name, picture, notes;
  };
  const Case cases[] = {
      {"S\xFF"
       "F\xFF",
       "S", "F", "", ""},
      {"S\xFF"
       "F\xFFtrailing",
       "S", "F", "", ""},
      {std::string("S\xFF"
                   "F\xFF") +
           std::string(10, '\xFF') + "a.jpg\xFFn@!m\xFF",
       "S", "F", "images/a.jpg", "n<br>m"},
      {std::string(12, '\xFF') + "a.jpg\xFFn\xFF"
                                 "b.JPG\xFF",
       "", "", "images/b.JPG", "n"},
      {std::string(12, '\xFF') + "a.jpg\xFFn\xFF"
                                 "b.JPG\xFF"
                                 "c.gif\xFF",
       "", "", "", "n"},
      {std::string(12, '\xFF') + "x.jpeg\xFF\xFF", "", "", "", ""},
  };
  TPageCard card;
  for (const Case& c : cases) {
    const TStringList book = Book({c.line});
    ReadCardForPage(book, 0, card);
    EXPECT_EQ(card.SurName, c.surname) << c.line;
    EXPECT_EQ(card.Name, c.name) << c.line;
    EXPECT_EQ(card.Picture, c.picture) << c.line;
    EXPECT_EQ(card.Notes, c.notes) << c.line;
  }
}

TEST(WebPage, ViewOpensIndexAndPrintHandsIndexprnToThePrintVerb) {
  TempProgramFolder folder;
  FakeOpener opener(folder);
  std::vector<std::pair<std::string, int>> printed;
  const ShellVerbHandler previous = SetShellVerbHandler("print", [&](HWND, std::string_view file, int show) {
    printed.emplace_back(file, show);
    return 42;
  });
  const TStringList cards = Book({testing_support::Card("Lee", "Ann")});
  MakeWebPage(cards, false);
  MakeWebPage(cards, true);
  SetShellVerbHandler("print", previous);

  EXPECT_EQ(opener.Opened(1), folder.File("index.html") + "\n");
  ASSERT_EQ(printed.size(), 1U);
  EXPECT_EQ(printed[0], std::make_pair(folder.File("indexprn.html"), int{SW_SHOWNORMAL}));
  EXPECT_NE(ReadBytes(folder.File("index.html")).find("<strong>Lee Ann</strong>"), std::string::npos);
  EXPECT_EQ(ReadBytes(folder.File("index.html")), ReadBytes(folder.File("indexprn.html")));
}

TEST(WebPage, FailedWriteKeepsThePreviousPageAndAsksNoShell) {
  TempProgramFolder folder;
  WriteBytes(folder.File("indexprn.html"), "previous page");
  int printed = 0;
  const ShellVerbHandler previous = SetShellVerbHandler("print", [&](HWND, std::string_view, int) {
    ++printed;
    return 42;
  });
  TStringList cards;
  for (int i = 0; i < 200; ++i) cards.Add(testing_support::Card("Surname" + std::to_string(i), "First"));

  // Files may grow to 4 KiB only, so the page's writes fail part-way.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  const TOutcome written = WriteWebPage(cards, folder.File("indexprn.html"));
  MakeWebPage(cards, true);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  SetShellVerbHandler("print", previous);

  EXPECT_FALSE(written);
  EXPECT_EQ(printed, 0);
  EXPECT_EQ(ReadBytes(folder.File("indexprn.html")), "previous page");
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path))
    EXPECT_TRUE(entry.is_directory() || entry.path().filename() == "indexprn.html") << entry.path();
}

TEST(WebPage, APageNamedAsALinkReplacesTheLinkAndNeverWritesThroughIt) {
  TempProgramFolder folder;
  const auto program = folder.Path / "program";
  std::filesystem::create_directory(program);
  SetProgramFolder(program.string() + "/");
  WriteBytes(folder.Path / "victim.txt", "someone else's file");
  for (const char* page : {"index.html", "indexprn.html"})
    std::filesystem::create_symlink(folder.Path / "victim.txt", program / page);
  FakeOpener opener(folder);
  std::vector<std::string> printed;
  const ShellVerbHandler previous = SetShellVerbHandler("print", [&](HWND, std::string_view file, int) {
    printed.emplace_back(file);
    return 42;
  });
  const TStringList cards = Book({testing_support::Card("Lee", "Ann")});
  MakeWebPage(cards, false);
  MakeWebPage(cards, true);
  SetShellVerbHandler("print", previous);

  EXPECT_EQ(ReadBytes(folder.Path / "victim.txt"), "someone else's file");
  for (const char* page : {"index.html", "indexprn.html"}) {
    EXPECT_FALSE(std::filesystem::is_symlink(program / page)) << page;
    EXPECT_NE(ReadBytes(program / page).find("<strong>Lee Ann</strong>"), std::string::npos) << page;
  }
  EXPECT_EQ(opener.Opened(1), (program / "index.html").string() + "\n");
  EXPECT_EQ(printed, std::vector<std::string>{(program / "indexprn.html").string()});
}

// The header names the character set of the code page that the page's bytes are in.
TEST(WebPage, TheHeaderNamesTheCodePagesCharacterSet) {
  const std::pair<unsigned, std::string_view> charsets[] = {
      {1252, "windows-1252"}, {1253, "windows-1253"}, {1251, "windows-1251"}, {932, "windows-31j"}};
  TempProgramFolder folder;
  for (const auto& [codePage, charset] : charsets) {
    SetAnsiCodePage(codePage);
    std::string header(kHeader);
    header.replace(header.find("windows-1252"), 12, charset);
    EXPECT_EQ(PageOf({}, folder).substr(0, header.size()), header) << codePage;
  }
  SetAnsiCodePage(1252);
}

// The browser found first on PATH, or "" when none is installed.
QString Browser() {
  for (const char* name : {"chromium", "chromium-browser"})
    if (QString path = QStandardPaths::findExecutable(QString::fromLatin1(name)); !path.isEmpty()) return path;
  return {};
}

// The page's document as a headless browser has read it, in UTF-8; the browser runs in locale.
std::string RenderedDom(const QString& browser, const std::string& file, const char* locale) {
  const TempProgramFolder profile;
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
  environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(browser, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                          QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
                          QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                          QStringLiteral("--user-data-dir=") + QString::fromStdString(profile.Path.string()),
                          QStringLiteral("--dump-dom"), QStringLiteral("file://") + QString::fromStdString(file)});
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    ADD_FAILURE() << "the browser did not finish";
  }
  return process.readAllStandardOutput().toStdString();
}

// A Western and a Greek user's pages, each shown by a browser in either locale, read as the cards
// hold them: few non-ASCII letters leave a browser nothing to guess the code page from.
TEST(WebPage, ABrowserShowsTheCardsTextInEitherCodePage) {
  const QString browser = Browser();
  if (browser.isEmpty()) GTEST_SKIP() << "no chromium installed";
  struct Book {
    unsigned codePage;
    std::vector<std::array<const char*, 4>> cards;  // surname, first name, company, city in UTF-8
  };
  const Book books[] = {
      {1252, {{"Smith", "John", "Acme", "London"}, {"Zo\u00eb", "Ann", "", ""}}},
      {1253, {{"Smith", "John", "Acme", "London"}, {"\u03a9\u03bc\u03ad\u03b3\u03b1", "Ann", "", ""}}},
  };
  TempProgramFolder folder;
  for (const Book& book : books) {
    SetAnsiCodePage(book.codePage);
    TStringList cards;
    for (const auto& card : book.cards) {
      std::array<AnsiString, 4> bytes;
      for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = QStringToAnsi(QString::fromUtf8(card[k])).value();
      cards.Add(CardLine({{cfSurname, bytes[0]}, {cfFirstName, bytes[1]}, {cfCompany, bytes[2]}, {cfCity, bytes[3]}}));
    }
    const std::string file = folder.File("page" + std::to_string(book.codePage) + ".html");
    ASSERT_EQ(WriteWebPage(cards, file).Error(), "");
    for (const char* locale : {"C.UTF-8", "el_GR.UTF-8"}) {
      const std::string dom = RenderedDom(browser, file, locale);
      for (const auto& [surname, first, company, city] : book.cards) {
        const std::string row =
            std::string("<strong>") + surname + " " + first + "</strong><br>" + company + "<br> <br>" + city + "  <br>";
        EXPECT_NE(dom.find(row), std::string::npos) << book.codePage << " in " << locale << ": " << row << "\n" << dom;
      }
    }
  }
  SetAnsiCodePage(1252);
}

}  // namespace
