#pragma once
// The list view control over Qt's item views: one model shown as large icons, small icons, a list
// or a report with columns, all sharing one selection that always holds whole rows. Dragging the
// selected items starts the class library's drag with the list view as its source.

#include <QIcon>
#include <functional>
#include <vector>

#include "Controls.h"

class QAbstractItemModel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QTableView;
class TPopupMenu;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

using TLVColumnClickEvent = std::function<void(QObject* Sender, int Column)>;

class TListView final : public TControl {
 public:
  explicit TListView(QWidget* parent = nullptr);
  ~TListView() override;

  // The items: one per row of the model; column 0 is the caption, the others the report's
  // columns. The model is not owned.
  void SetModel(QAbstractItemModel* model);
  [[nodiscard]] QAbstractItemModel* Model() const { return FModel; }

  [[nodiscard]] TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle style);
  // The picture every item shows: 32 x 32 in the large-icon style, 16 x 16 in the others.
  void SetItemImages(const QIcon& large, const QIcon& small);
  void SetGridLines(bool value);
  void SetColor(const QColor& colour);
  // Sizes every report column to its content (as far as the first thousand rows show it).
  void AutoSizeColumns();

  // The selected rows, in the list's order; -1 from Selected() when there is none.
  [[nodiscard]] std::vector<int> SelectedRows() const;
  [[nodiscard]] int Selected() const;
  [[nodiscard]] int SelCount() const;
  void ClearSelection();
  [[nodiscard]] QItemSelectionModel* Selection() const { return FSelection; }

  // The view that shows the current style, and both views (for tests).
  [[nodiscard]] QAbstractItemView* CurrentView() const;
  [[nodiscard]] QListView* ItemsView() const { return FItemsView; }
  [[nodiscard]] QTableView* ReportView() const { return FReportView; }

  // Pops up at the pointer on a right click (or the menu key); PopupComponent is this list.
  TPopupMenu* PopupMenu = nullptr;
  TLVColumnClickEvent OnColumnClick;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class TItemDelegate;
  template <class TView>
  class TDragView;
  void PopupAt(QAbstractItemView* view, const QPoint& position);

  QAbstractItemModel* FModel = nullptr;
  QItemSelectionModel* FSelection = nullptr;
  QListView* FItemsView;
  QTableView* FReportView;
  TItemDelegate* FItemsDelegate;
  TItemDelegate* FReportDelegate;
  TViewStyle FViewStyle = TViewStyle::vsIcon;
};
