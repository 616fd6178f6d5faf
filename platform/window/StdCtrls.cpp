#include "StdCtrls.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <algorithm>

#include "CodePage.h"
#include "Forms.h"

class TListBox::TItems final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  [[nodiscard]] int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(Items.size());
  }

  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(Items.size())) return {};
    return AnsiToQString(Items[static_cast<std::size_t>(index.row())]);
  }

  void Reset(std::vector<AnsiString> items) {
    beginResetModel();
    Items = std::move(items);
    endResetModel();
  }

  int Insert(int row, AnsiString item) {
    beginInsertRows({}, row, row);
    Items.insert(Items.begin() + row, std::move(item));
    endInsertRows();
    return row;
  }

  std::vector<AnsiString> Items;
};

namespace {

void SortItems(std::vector<AnsiString>& items) {
  const std::vector<std::string_view> views(items.begin(), items.end());
  std::vector<AnsiString> sorted;
  sorted.reserve(items.size());
  for (std::size_t i : CaselessOrder(views)) sorted.push_back(std::move(items[i]));
  items = std::move(sorted);
}

}  // namespace

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
    std::vector<AnsiString> items = std::move(FItems->Items);
    SortItems(items);
    FItems->Reset(std::move(items));
  }
}

int TListBox::Add(std::string_view item) {
  if (FUpdating > 0) {
    FPending.emplace_back(item);
    return Count() + static_cast<int>(FPending.size()) - 1;
  }
  int row = Count();
  if (FSorted) {
    // After every item that does not sort behind the new one.
    const auto& items = FItems->Items;
    row = static_cast<int>(
        std::upper_bound(items.begin(), items.end(), item,
                         [](std::string_view a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; }) -
        items.begin());
  }
  return FItems->Insert(row, AnsiString(item));
}

void TListBox::Clear() {
  FPending.clear();
  FItems->Reset({});
}

void TListBox::BeginUpdate() {
  ++FUpdating;
}

void TListBox::EndUpdate() {
  if (FUpdating == 0 || --FUpdating > 0) return;
  std::vector<AnsiString> items = FItems->Items;
  items.insert(items.end(), std::make_move_iterator(FPending.begin()), std::make_move_iterator(FPending.end()));
  FPending.clear();
  if (FSorted) SortItems(items);
  FItems->Reset(std::move(items));
}

int TListBox::Count() const {
  return static_cast<int>(FItems->Items.size());
}

const AnsiString& TListBox::Items(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems->Items[static_cast<std::size_t>(index)];
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
