#include "StdCtrls.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <algorithm>
#include <limits>

#include "CodePage.h"
#include "Forms.h"

void TEdit::setText(const QString& text) {
  QLineEdit::setText(text);
  setCursorPosition(0);
}

// The items' text lies in one buffer, each row a span of it: a long list is filled, sorted and
// cleared without an allocation per item.
class TListBox::TItems final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  [[nodiscard]] int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
  }

  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(Rows.size())) return {};
    return AnsiToQString(Text(Rows[static_cast<std::size_t>(index.row())]));
  }

  [[nodiscard]] std::string_view Text(TSpan span) const {
    return std::string_view(Bytes).substr(span.Offset, span.Size);
  }

  // Keeps the text of an item that is not a row yet.
  TSpan Keep(std::string_view item, int object) {
    item = item.substr(0, std::numeric_limits<std::uint32_t>::max());
    const TSpan span{Bytes.size(), static_cast<std::uint32_t>(item.size()), object};
    Bytes += item;
    return span;
  }

  void Reset(std::vector<TSpan> rows) {
    beginResetModel();
    Rows = std::move(rows);
    endResetModel();
  }

  void Clear() {
    Reset({});
    Bytes = {};
  }

  int Insert(int row, TSpan span) {
    beginInsertRows({}, row, row);
    Rows.insert(Rows.begin() + row, span);
    endInsertRows();
    return row;
  }

  // The rows in the locale's order, case ignored; equal items keep their order.
  void Sort(std::vector<TSpan>& rows) const {
    std::vector<std::string_view> views;
    views.reserve(rows.size());
    for (TSpan span : rows) views.push_back(Text(span));
    std::vector<TSpan> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : CaselessOrder(views)) sorted.push_back(rows[i]);
    rows = std::move(sorted);
  }

  std::vector<TSpan> Rows;

 private:
  std::string Bytes;
};

TListBox::TListBox(QWidget* parent) : QListView(parent), FItems(new TItems(this)) {
  setModel(FItems);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

TListBox::~TListBox() = default;

void TListBox::SetSorted(bool sorted) {
  FSorted = sorted;
  if (sorted) {
    std::vector<TSpan> rows = FItems->Rows;
    FItems->Sort(rows);
    FItems->Reset(std::move(rows));
  }
}

int TListBox::Add(std::string_view item) {
  return AddObject(item, 0);
}

int TListBox::AddObject(std::string_view item, int object) {
  const TSpan span = FItems->Keep(item, object);
  if (FUpdating > 0) {
    FPending.push_back(span);
    return Count() + static_cast<int>(FPending.size()) - 1;
  }
  int row = Count();
  if (FSorted) {
    // After every item that does not sort behind the new one.
    const auto& rows = FItems->Rows;
    row = static_cast<int>(
        std::upper_bound(rows.begin(), rows.end(), span,
                         [this](TSpan a, TSpan b) { return AnsiCompareText(FItems->Text(a), FItems->Text(b)) < 0; }) -
        rows.begin());
  }
  return FItems->Insert(row, span);
}

void TListBox::Clear() {
  FPending.clear();
  FItems->Clear();
}

void TListBox::BeginUpdate() {
  ++FUpdating;
}

void TListBox::EndUpdate() {
  FinishUpdate(FSorted);
}

void TListBox::EndUpdateInOrder() {
  FinishUpdate(false);
}

void TListBox::FinishUpdate(bool sort) {
  if (FUpdating == 0 || --FUpdating > 0) return;
  std::vector<TSpan> rows = FItems->Rows;
  rows.insert(rows.end(), FPending.begin(), FPending.end());
  FPending.clear();
  if (sort) FItems->Sort(rows);
  FItems->Reset(std::move(rows));
}

int TListBox::Count() const {
  return static_cast<int>(FItems->Rows.size());
}

std::string_view TListBox::Items(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems->Text(FItems->Rows[static_cast<std::size_t>(index)]);
}

int TListBox::Objects(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems->Rows[static_cast<std::size_t>(index)].Object;
}

int TListBox::ItemIndex() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void TListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex item = FItems->index(index);
  selectionModel()->select(item, QItemSelectionModel::ClearAndSelect);
  setCurrentIndex(item);
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick(this);
}

void TListBox::keyPressEvent(QKeyEvent* event) {
  char key = KeyPressCharOf(*event);
  if (key != 0 && OnKeyPress) {
    OnKeyPress(this, key);
    if (key == 0) return;
  }
  QListView::keyPressEvent(event);
}
