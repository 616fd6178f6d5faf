#include "CardListModel.h"

#include <algorithm>
#include <cstring>

#include "CardBook.h"
#include "CodePage.h"

namespace {

std::string_view Trimmed(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The fields of a card line the list reads, as views into the line; missing ones are empty.
std::array<std::string_view, cfWebsite + 1> ListFields(std::string_view line) {
  std::array<std::string_view, cfWebsite + 1> fields{};
  std::size_t start = 0;
  for (std::size_t k = 0; k < fields.size() && start < line.size(); ++k) {
    const void* found = std::memchr(line.data() + start, kFieldSeparator, line.size() - start);
    if (!found) break;
    const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    fields[k] = line.substr(start, end - start);
    start = end + 1;
  }
  return fields;
}

// Appends the parts joined by single blanks, the whole trimmed at both ends, to text.
void AppendJoined(std::string& text, std::initializer_list<std::string_view> parts) {
  const std::size_t begin = text.size();
  bool first = true;
  for (std::string_view part : parts) {
    if (!first) text += ' ';
    text.append(Trimmed(part));
    first = false;
  }
  const std::string_view joined = Trimmed(std::string_view(text).substr(begin));
  const std::size_t lead = static_cast<std::size_t>(joined.data() - text.data()) - begin;
  text.resize(begin + lead + joined.size());
  text.erase(begin, lead);
}

}  // namespace

TListCard ReadListCard(std::string_view line) {
  const auto f = ListFields(line);
  TListCard card;
  AppendJoined(card.Name, {f[cfSurname], f[cfFirstName]});
  AppendJoined(card.Address, {f[cfAddress], f[cfCity], f[cfZip]});
  card.Phone = Trimmed(f[cfPhone]);
  card.Email = Trimmed(f[cfEmail]);
  card.WebSite = Trimmed(f[cfWebsite]);
  return card;
}

int CompareOrdinal(std::string_view a, std::string_view b) {
  const int result = a.compare(b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

TCardListModel::TCardListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TCardListModel::Fill(const TStringList& cards, int sortKey) {
  beginResetModel();
  FText.clear();
  FRows.clear();
  FOrder.clear();
  std::size_t bytes = 0;
  for (std::string_view line : cards) bytes += line.size();
  FText.reserve(bytes);
  FRows.reserve(static_cast<std::size_t>(cards.Count()));
  int index = 0;
  for (std::string_view line : cards) {
    const auto f = ListFields(line);
    TRow row{index++, {}};
    auto mark = [&](int column) {
      row.Offsets[static_cast<std::size_t>(column)] = static_cast<std::uint32_t>(FText.size());
    };
    mark(colName);
    AppendJoined(FText, {f[cfSurname], f[cfFirstName]});
    mark(colAddress);
    AppendJoined(FText, {f[cfAddress], f[cfCity], f[cfZip]});
    mark(colPhone);
    FText.append(Trimmed(f[cfPhone]));
    mark(colEmail);
    FText.append(Trimmed(f[cfEmail]));
    mark(colWebSite);
    FText.append(Trimmed(f[cfWebsite]));
    mark(kColumnCount);
    FRows.push_back(row);
  }
  FOrder.resize(FRows.size());
  for (std::size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = static_cast<std::uint32_t>(i);
  FSortKey = sortKey;
  Order(FOrder, sortKey);
  endResetModel();
}

std::string_view TCardListModel::RowText(const TRow& row, int column) const {
  const auto c = static_cast<std::size_t>(column);
  return std::string_view(FText).substr(row.Offsets[c], row.Offsets[c + 1] - row.Offsets[c]);
}

void TCardListModel::Order(std::vector<std::uint32_t>& order, int sortKey) const {
  const int column = sortKey + 1;
  // Past the bytes that every key shares, sixteen bytes of each key, as two numbers in byte order,
  // decide most comparisons.
  std::size_t common = std::string_view::npos;
  std::string_view first;
  for (std::size_t i = 0; i < order.size() && common > 0; ++i) {
    const std::string_view key = RowText(FRows[order[i]], column);
    if (i == 0) {
      first = key;
      common = key.size();
      continue;
    }
    std::size_t n = 0;
    const std::size_t limit = std::min(common, key.size());
    while (n < limit && key[n] == first[n]) ++n;
    common = n;
  }
  if (common == std::string_view::npos) common = 0;
  struct TEntry {
    std::uint64_t High;
    std::uint64_t Low;
    std::uint32_t Row;
  };
  auto word = [](std::string_view text, std::size_t from) {
    std::uint64_t value = 0;
    for (std::size_t i = from; i < from + 8; ++i)
      value = (value << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
    return value;
  };
  std::vector<TEntry> entries(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string_view key = RowText(FRows[order[i]], column);
    entries[i] = {word(key, common), word(key, common + 8), order[i]};
  }
  std::sort(entries.begin(), entries.end(), [this, column](const TEntry& a, const TEntry& b) {
    if (a.High != b.High) return a.High < b.High;
    if (a.Low != b.Low) return a.Low < b.Low;
    const TRow& ra = FRows[a.Row];
    const TRow& rb = FRows[b.Row];
    const int byKey = RowText(ra, column).compare(RowText(rb, column));
    if (byKey != 0) return byKey < 0;
    if (column != colName) {
      const int byName = RowText(ra, colName).compare(RowText(rb, colName));
      if (byName != 0) return byName < 0;
    }
    return a.Row < b.Row;
  });
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = entries[i].Row;
}

void TCardListModel::SortBy(int sortKey) {
  FSortKey = sortKey;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList persistent = persistentIndexList();
  std::vector<std::uint32_t> entries;
  entries.reserve(static_cast<std::size_t>(persistent.size()));
  for (const QModelIndex& index : persistent) entries.push_back(FOrder[static_cast<std::size_t>(index.row())]);
  Order(FOrder, sortKey);
  // Where each entry of FRows now stands, for the indexes the views hold on to.
  QModelIndexList moved;
  moved.reserve(persistent.size());
  if (!persistent.isEmpty()) {
    std::vector<int> rowOf(FOrder.size());
    for (std::size_t row = 0; row < FOrder.size(); ++row) rowOf[FOrder[row]] = static_cast<int>(row);
    for (qsizetype i = 0; i < persistent.size(); ++i)
      moved.push_back(index(rowOf[entries[static_cast<std::size_t>(i)]], persistent[i].column()));
  }
  changePersistentIndexList(persistent, moved);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::string_view TCardListModel::Text(int row, int column) const {
  return RowText(FRows[FOrder.at(static_cast<std::size_t>(row))], column);
}

int TCardListModel::CardOf(int row) const {
  return FRows[FOrder.at(static_cast<std::size_t>(row))].Card;
}

int TCardListModel::Compare(int row1, int row2, int sortKey) const {
  const int column = sortKey < 0 ? colName : sortKey + 1;
  return CompareOrdinal(Text(row1, column), Text(row2, column));
}

int TCardListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FOrder.size());
}

int TCardListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TCardListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
    return {};
  return AnsiToQString(Text(index.row(), index.column()));
}

QVariant TCardListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kCaptions[kColumnCount] = {"Name", "Address", "Phone", "E-Mail", "Web Site"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
  return QString::fromLatin1(kCaptions[section]);
}

Qt::ItemFlags TCardListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}
