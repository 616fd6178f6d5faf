#include "Unit_Extensions.h"

#include <array>
#include <cstring>

#include "CardBook.h"
#include "CardLinks.h"
#include "CodePage.h"
#include "Files.h"
#include "Shell.h"

namespace {

// The header line, with the element that names the page's character set after its first tag.
constexpr std::string_view kHeaderStart = "<html>";
constexpr std::string_view kHeaderRest =
    "<body fbcolor=\"#000000\" bgcolor=\"#FFFFFF\"><hr><center><h2>My Velmora Address Book</h2></center><hr>"
    "<br><center><table border=0 cellpadding=2 cellspacing=2>\r\n";
constexpr std::string_view kEmptyRow = "<tr><td align=center>The Address Book is empty</td></tr>\r\n";
constexpr std::string_view kFooter = "</table><center><br><hr></body></html>\r\n";
constexpr std::string_view kPictureFolder = "images/";
// The picture's name is one path segment: "/" and "?" in it are encoded.
constexpr std::string_view kPathSegmentKept = "!$&'()*+,;=:@";

// The entity of each byte that HTML text may not hold as it is; empty for the others.
constexpr std::array<std::string_view, 256> kEntities = [] {
  std::array<std::string_view, 256> entities{};
  entities['&'] = "&amp;";
  entities['<'] = "&lt;";
  entities['>'] = "&gt;";
  entities['"'] = "&quot;";
  entities['\''] = "&#39;";
  return entities;
}();

// The page's text on its way to the file, gathered in pieces of about 1 MiB.
class TPageText {
 public:
  explicit TPageText(TFileSink& sink) : Sink(sink) { Text.reserve(kPiece + 4096); }
  void Put(std::string_view text) {
    Text.append(text);
    if (Text.size() >= kPiece) Flush();
  }
  // Puts text with & < > " ' written as entities.
  void Escaped(std::string_view text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::string_view entity = kEntities[static_cast<unsigned char>(text[i])];
      if (entity.empty()) continue;
      Text.append(text.data() + run, i - run);
      Text.append(entity);
      run = i + 1;
    }
    Text.append(text.data() + run, text.size() - run);
  }
  // Puts text percent-encoded for an attribute, keeping the characters of keep.
  void Encoded(std::string_view text, std::string_view keep) {
    Scratch.clear();
    AppendPercentEncoded(Scratch, text, keep);
    Escaped(Scratch);
  }
  void Flush() {
    Sink.Append(Text);
    Text.clear();
  }

 private:
  static constexpr std::size_t kPiece = 1 << 20;
  TFileSink& Sink;
  std::string Text;
  std::string Scratch;
};

// The display name: surname, one blank, first name, as stored.
void PutDisplayName(TPageText& page, const TPageCard& card) {
  page.Escaped(card.SurName);
  page.Put(" ");
  page.Escaped(card.Name);
}

void PutRow(TPageText& page, const TPageCard& card) {
  page.Put("<tr><td align=center><img width=150 height=160 src=\"");
  if (!card.Picture.empty()) {
    page.Put(kPictureFolder);
    page.Encoded(std::string_view(card.Picture).substr(kPictureFolder.size()), kPathSegmentKept);
  }
  page.Put("\" alt=\"");
  PutDisplayName(page, card);
  page.Put("\"></td><td align=left><strong>");
  if (card.Email.empty()) {
    PutDisplayName(page, card);
  } else {
    page.Put("<a href=\"mailto:");
    page.Encoded(card.Email, kMailtoKept);
    page.Put("\">");
    PutDisplayName(page, card);
    page.Put("</a>");
  }
  page.Put("</strong><br>");
  page.Escaped(card.Company);
  page.Put("<br>");
  page.Escaped(card.Address);
  page.Put(" ");
  if (!card.Phone.empty()) {
    page.Put(" &nbsp;&nbsp;(phone: ");
    page.Escaped(card.Phone);
    page.Put(")");
  }
  page.Put("<br>");
  page.Escaped(card.City);
  page.Put(" ");
  page.Escaped(card.Zip);
  page.Put(" ");
  page.Escaped(card.State);
  page.Put("<br>");
  if (!card.WebSite.empty()) {
    // The address the main window's website button opens.
    const std::string_view scheme = HasWebScheme(card.WebSite) ? "" : "http://";
    page.Put("<a href=\"");
    page.Put(scheme);
    page.Encoded(card.WebSite, kUrlKept);
    page.Put("\">");
    page.Put(scheme);
    page.Escaped(card.WebSite);
    page.Put("</a>");
  }
  page.Put("</td></tr>\r\n");
}

}  // namespace

void ReadCardForPage(const TStringList& Cards, int Index, TPageCard& Card) {
  std::string_view* const values[] = {&Card.SurName, &Card.Name,     &Card.Company, &Card.Address,
                                      &Card.City,    &Card.Zip,      &Card.State,   &Card.Country,
                                      &Card.Phone,   &Card.Cellular, &Card.Email,   &Card.WebSite};
  for (std::string_view* value : values) *value = {};
  Card.Picture.clear();
  Card.Notes.clear();
  std::string_view pictureName;
  const std::string_view line = Cards.Get(Index);
  std::size_t start = 0;
  for (int k = 0;; ++k) {
    const void* found =
        line.size() > start ? std::memchr(line.data() + start, kFieldSeparator, line.size() - start) : nullptr;
    if (!found) break;
    const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    const std::string_view field = line.substr(start, end - start);
    if (k < cfPicture) {
      *values[k] = field;
    } else if (k == cfNotes) {
      if (field.find(kNotesLineBreak) == std::string_view::npos)
        Card.Notes.assign(field);
      else
        Card.Notes = StringReplaceAll(field, kNotesLineBreak, "<br>");
    } else {
      pictureName = field;
    }
    start = end + 1;
  }
  if (!pictureName.empty() && IsJpgPictureName(pictureName)) {
    Card.Picture.assign(kPictureFolder);
    Card.Picture.append(pictureName);
  }
}

void WriteWebPageTo(const TStringList& Cards, TFileSink& Page) {
  TPageText page(Page);
  page.Put(kHeaderStart);
  page.Put("<meta charset=\"");
  page.Put(AnsiCodePageCharset());
  page.Put("\">");
  page.Put(kHeaderRest);
  if (Cards.Count() == 0) page.Put(kEmptyRow);
  TPageCard card;
  for (int i = 0; i < Cards.Count(); ++i) {
    ReadCardForPage(Cards, i, card);
    PutRow(page, card);
  }
  page.Put(kFooter);
  page.Flush();
}

TOutcome WriteWebPage(const TStringList& Cards, const AnsiString& FileName) {
  try {
    return ReplaceFileDurably(
        FileName, "", [&Cards](TFileSink& page) { WriteWebPageTo(Cards, page); }, TFileSync::NoSync,
        TFileLink::ReplaceTheLink);
  } catch (const std::exception& error) {
    return TOutcome::Failure(error.what());
  }
}

AnsiString WebPageFile(bool Print) {
  return ProgramFolder() + (Print ? "indexprn.html" : "index.html");
}

void MakeWebPage(const TStringList& Cards, bool Print, HWND Window) {
  try {
    const AnsiString file = WebPageFile(Print);
    if (!WriteWebPage(Cards, file)) return;
    if (Print)
      ShellExecuteA(Window, "print", file, nullptr, nullptr, SW_SHOWNORMAL);
    else
      ShellExecuteA(Window, "open", file, nullptr, nullptr, SW_SHOWMAXIMIZED);
  } catch (...) {
    // Nothing is reported: the user sees nothing happen.
  }
}
