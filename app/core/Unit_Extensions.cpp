#include "Unit_Extensions.h"

#include <cstring>

#include "CardBook.h"
#include "CardLinks.h"
#include "Files.h"
#include "Shell.h"

namespace {

constexpr std::string_view kHeader =
    "<html><body fbcolor=\"#000000\" bgcolor=\"#FFFFFF\"><hr><center><h2>My Velmora Address Book</h2></center><hr>"
    "<br><center><table border=0 cellpadding=2 cellspacing=2>\r\n";
constexpr std::string_view kEmptyRow = "<tr><td align=center>The Address Book is empty</td></tr>\r\n";
constexpr std::string_view kFooter = "</table><center><br><hr></body></html>\r\n";
constexpr std::string_view kPictureFolder = "images/";

// Appends text with & < > " ' written as entities.
void AppendEscaped(TFileSink& page, std::string_view text) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string_view entity;
    switch (text[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '"':
        entity = "&quot;";
        break;
      case '\'':
        entity = "&#39;";
        break;
      default:
        continue;
    }
    page.Append(text.substr(run, i - run));
    page.Append(entity);
    run = i + 1;
  }
  page.Append(text.substr(run));
}

// The display name: surname, one blank, first name, as stored.
void AppendDisplayName(TFileSink& page, const TPageCard& card) {
  AppendEscaped(page, card.SurName);
  page.Append(" ");
  AppendEscaped(page, card.Name);
}

void AppendLink(TFileSink& page, std::string_view href, const TPageCard* nameOf, std::string_view text) {
  page.Append("<a href=\"");
  AppendEscaped(page, href);
  page.Append("\">");
  if (nameOf)
    AppendDisplayName(page, *nameOf);
  else
    AppendEscaped(page, text);
  page.Append("</a>");
}

void AppendRow(TFileSink& page, const TPageCard& card) {
  page.Append("<tr><td align=center><img width=150 height=160 src=\"");
  if (!card.Picture.empty()) {
    // The folder as it is, the name as one path segment.
    page.Append(kPictureFolder);
    AppendEscaped(page, PercentEncode(std::string_view(card.Picture).substr(kPictureFolder.size()), "!$&'()*+,;=:@"));
  }
  page.Append("\" alt=\"");
  AppendDisplayName(page, card);
  page.Append("\"></td><td align=left><strong>");
  if (card.Email.empty())
    AppendDisplayName(page, card);
  else
    AppendLink(page, MailtoUrl(card.Email), &card, {});
  page.Append("</strong><br>");
  AppendEscaped(page, card.Company);
  page.Append("<br>");
  AppendEscaped(page, card.Address);
  page.Append(" ");
  if (!card.Phone.empty()) {
    page.Append(" &nbsp;&nbsp;(phone: ");
    AppendEscaped(page, card.Phone);
    page.Append(")");
  }
  page.Append("<br>");
  AppendEscaped(page, card.City);
  page.Append(" ");
  AppendEscaped(page, card.Zip);
  page.Append(" ");
  AppendEscaped(page, card.State);
  page.Append("<br>");
  if (!card.WebSite.empty()) {
    const AnsiString address = WebsiteUrl(card.WebSite);
    AppendLink(page, EncodeUrl(address), nullptr, address);
  }
  page.Append("</td></tr>\r\n");
}

}  // namespace

void ReadCardForPage(const TStringList& Cards, int Index, TPageCard& Card) {
  AnsiString* const values[] = {&Card.SurName, &Card.Name,     &Card.Company, &Card.Address,
                                &Card.City,    &Card.Zip,      &Card.State,   &Card.Country,
                                &Card.Phone,   &Card.Cellular, &Card.Email,   &Card.WebSite};
  for (AnsiString* value : values) value->clear();
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
    if (k < cfPicture)
      values[k]->assign(field);
    else if (k == cfNotes)
      Card.Notes = StringReplaceAll(field, kNotesLineBreak, "<br>");
    else
      pictureName = field;
    start = end + 1;
  }
  if (!pictureName.empty() && IsJpgPictureName(pictureName)) {
    Card.Picture.assign(kPictureFolder);
    Card.Picture.append(pictureName);
  }
}

void WriteWebPageTo(const TStringList& Cards, TFileSink& Page) {
  Page.Append(kHeader);
  if (Cards.Count() == 0) Page.Append(kEmptyRow);
  TPageCard card;
  for (int i = 0; i < Cards.Count(); ++i) {
    ReadCardForPage(Cards, i, card);
    AppendRow(Page, card);
  }
  Page.Append(kFooter);
}

AnsiString WriteWebPage(const TStringList& Cards, const AnsiString& FileName) {
  try {
    return ReplaceFileDurably(
        FileName, "", [&Cards](TFileSink& page) { WriteWebPageTo(Cards, page); }, TFileSync::NoSync);
  } catch (const std::exception& error) {
    return error.what();
  }
}

AnsiString WebPageFile(bool Print) {
  return ProgramFolder() + (Print ? "indexprn.html" : "index.html");
}

void MakeWebPage(const TStringList& Cards, bool Print, HWND Window) {
  try {
    const AnsiString file = WebPageFile(Print);
    if (!WriteWebPage(Cards, file).empty()) return;
    if (Print)
      ShellExecuteA(Window, "print", file, nullptr, nullptr, SW_SHOWNORMAL);
    else
      ShellExecuteA(Window, "open", file, nullptr, nullptr, SW_SHOWMAXIMIZED);
  } catch (...) {
    // Nothing is reported: the user sees nothing happen.
  }
}
