#pragma once
// The cards of the book as the list view shows them: one row per card with its name, address,
// phone, e-mail and web site, kept in one buffer and ordered by a row permutation, so that a
// large book costs no object per card and sorts without moving its texts.

#include <QAbstractTableModel>
#include <array>
#include <string_view>
#include <vector>

#include "StringList.h"
#include "SysUtils.h"

// The five texts of a card in the list: name = trim(trim(surname) + " " + trim(first name)),
// address = trim(trim(street) + " " + trim(city) + " " + trim(zip)), and the trimmed phone,
// e-mail and website. Missing fields are empty.
struct TListCard {
  AnsiString Name, Address, Phone, Email, WebSite;
};
[[nodiscard]] TListCard ReadListCard(std::string_view line);

// The list's order of two texts: -1, 0 or 1 by unsigned bytes, a prefix before the longer text.
[[nodiscard]] int CompareOrdinal(std::string_view a, std::string_view b);

class TCardListModel : public QAbstractTableModel {
 public:
  enum TColumn : int { colName, colAddress, colPhone, colEmail, colWebSite, kColumnCount };
  // A sort key: -1 the name (the item's caption), 0 to 3 the address, phone, e-mail or web site.
  static constexpr int kSortByName = -1;

  explicit TCardListModel(QObject* parent = nullptr);

  // Takes every card of the book, in one pass, ordered by sortKey.
  void Fill(const TStringList& cards, int sortKey);
  // Orders the rows by sortKey; rows whose keys are equal keep name order, then book order.
  void SortBy(int sortKey);
  [[nodiscard]] int SortKey() const { return FSortKey; }

  // The text of a row (in the current order) in a column.
  [[nodiscard]] std::string_view Text(int row, int column) const;
  // The book index of the card a row shows.
  [[nodiscard]] int CardOf(int row) const;
  // The list's comparison of two rows by a sort key: -1, 0 or 1.
  [[nodiscard]] int Compare(int row1, int row2, int sortKey) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct TRow {
    int Card;
    // Where each column's text starts in FText; the next entry is where it ends.
    std::array<std::uint32_t, kColumnCount + 1> Offsets;
  };
  [[nodiscard]] std::string_view RowText(const TRow& row, int column) const;
  void Order(std::vector<std::uint32_t>& order, int sortKey) const;

  std::string FText;
  std::vector<TRow> FRows;            // in book order
  std::vector<std::uint32_t> FOrder;  // row of the list -> entry of FRows
  int FSortKey = kSortByName;
};
