#include "CardReport.h"

#include <charconv>
#include <cinttypes>
#include <limits>

#include "CardBook.h"

AnsiString FoldBlanks(std::string_view text) {
  AnsiString folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    folded += text[i];
    if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  return Trim(folded);
}

TCardTexts ReadCardTexts(const TStringList& cards, int index) {
  TCardTexts texts;
  CardView view;
  if (cards.Count() > 0 && index < cards.Count()) view = ReadCardView(cards.Get(index));
  auto field = [&view](int number) { return Trim(view.Edits[static_cast<std::size_t>(number)]); };
  texts.Name = FoldBlanks(field(cfSurname) + " " + field(cfFirstName));
  texts.Company = field(cfCompany);
  texts.Address = FoldBlanks(field(cfAddress) + " " + field(cfCity) + " " + field(cfZip));
  texts.Country = FoldBlanks(field(cfState) + " " + field(cfCountry));
  texts.Phone = FoldBlanks(field(cfPhone) + " - " + field(cfCellular));
  if (!texts.Phone.empty() && texts.Phone.back() == '-') texts.Phone.pop_back();
  texts.Email = field(cfEmail);
  texts.WebSite = field(cfWebsite);
  texts.Picture = view.PictureSlot;
  return texts;
}

bool NextBand(TPrintState& state) {
  if (state.Done) return false;
  const std::int64_t end = std::int64_t{state.LastCard} + 1;
  if (state.Copies == 1) {
    ++state.PrintCard;
    return state.PrintCard <= end;
  }
  if (++state.CopyNo > state.Copies) {
    state.CopyNo = 1;
    ++state.PrintCard;
  }
  if (state.PrintCard < end) return true;
  state.Done = true;
  return true;
}

int ReadCardNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return 1;
  return value;
}

TCardCount CountCards(std::int64_t first, std::int64_t last, std::int64_t copies) {
  TCardCount count;
  if (last < first || copies < 1) return count;
  count.Cards = copies * (last - first + 1);
  count.Pages = count.Cards / kCardsPerPage + (count.Cards % kCardsPerPage > 0 ? 1 : 0);
  return count;
}

AnsiString FormatCardCount(const TCardCount& count) {
  return Format("(%" PRId64 " Cards / %" PRId64 " Pages)", count.Cards, count.Pages);
}
