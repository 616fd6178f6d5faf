#include "ComCtrls.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTableView>

#include "Menus.h"

namespace {

// A selection of whole rows, whichever view asks.
class TRowSelectionModel final : public QItemSelectionModel {
 public:
  using QItemSelectionModel::QItemSelectionModel;
  void select(const QModelIndex& index, SelectionFlags command) override {
    QItemSelectionModel::select(index, command == NoUpdate ? command : command | Rows);
  }
  void select(const QItemSelection& selection, SelectionFlags command) override {
    QItemSelectionModel::select(selection, command == NoUpdate ? command : command | Rows);
  }
};

}  // namespace

// Gives every item the list's picture, above its caption in the large-icon style.
class TListView::TItemDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QIcon Large;
  QIcon Small;
  bool IconAbove = true;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0) return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = IconAbove ? Large : Small;
    option->decorationSize = IconAbove ? QSize(32, 32) : QSize(16, 16);
    if (IconAbove) {
      option->decorationPosition = QStyleOptionViewItem::Top;
      option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
      option->features |= QStyleOptionViewItem::WrapText;
    }
  }
};

// An item view whose drag is the list view's class-library drag, and whose double-click reaches
// the list view after the view has handled it (a double-click on no item clears the selection).
template <class TView>
class TListView::TDragView final : public TView {
 public:
  TDragView(TListView* owner) : TView(owner), FOwner(owner) {}

 protected:
  void startDrag(Qt::DropActions) override { FOwner->BeginDrag(true); }
  // A plain click on no item clears the selection.
  void mousePressEvent(QMouseEvent* event) override {
    TView::mousePressEvent(event);
    if (event->modifiers() == Qt::NoModifier && !this->indexAt(event->position().toPoint()).isValid())
      this->clearSelection();
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    TView::mouseDoubleClickEvent(event);
    if (event->modifiers() == Qt::NoModifier && !this->indexAt(event->position().toPoint()).isValid())
      this->clearSelection();
    if (event->button() == Qt::LeftButton && FOwner->OnDblClick) FOwner->OnDblClick(FOwner);
  }

 private:
  TListView* FOwner;
};

TListView::TListView(QWidget* parent)
    : TControl(parent),
      FItemsView(new TDragView<QListView>(this)),
      FReportView(new TDragView<QTableView>(this)),
      FItemsDelegate(new TItemDelegate(this)),
      FReportDelegate(new TItemDelegate(this)) {
  FReportDelegate->IconAbove = false;
  DragMode = TDragMode::dmAutomatic;
  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(FItemsView), static_cast<QAbstractItemView*>(FReportView)}) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& position) { PopupAt(view, position); });
  }
  FItemsView->setItemDelegate(FItemsDelegate);
  FReportView->setItemDelegate(FReportDelegate);
  FItemsView->setUniformItemSizes(true);
  FItemsView->setResizeMode(QListView::Adjust);
  FItemsView->setMovement(QListView::Static);
  FItemsView->setDragEnabled(true);  // a static list turns dragging off
  FReportView->verticalHeader()->hide();
  FReportView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FReportView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  FReportView->setWordWrap(false);
  FReportView->horizontalHeader()->setSectionsClickable(true);
  FReportView->horizontalHeader()->setHighlightSections(false);
  FReportView->horizontalHeader()->setResizeContentsPrecision(1000);
  connect(FReportView->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (OnColumnClick) OnColumnClick(this, column);
  });
  SetViewStyle(TViewStyle::vsIcon);
}

TListView::~TListView() = default;

void TListView::SetModel(QAbstractItemModel* model) {
  FModel = model;
  QItemSelectionModel* old = FSelection;
  FSelection = new TRowSelectionModel(model, this);
  FItemsView->setModel(model);
  FReportView->setModel(model);
  FItemsView->setSelectionModel(FSelection);
  FReportView->setSelectionModel(FSelection);
  delete old;
}

void TListView::SetViewStyle(TViewStyle style) {
  FViewStyle = style;
  const bool report = style == TViewStyle::vsReport;
  FItemsDelegate->IconAbove = style == TViewStyle::vsIcon;
  switch (style) {
    case TViewStyle::vsIcon:
      FItemsView->setFlow(QListView::LeftToRight);
      FItemsView->setWrapping(true);
      FItemsView->setGridSize(QSize(90, 64));
      FItemsView->setIconSize(QSize(32, 32));
      break;
    case TViewStyle::vsSmallIcon:
      FItemsView->setFlow(QListView::LeftToRight);
      FItemsView->setWrapping(true);
      FItemsView->setGridSize(QSize(150, 20));
      FItemsView->setIconSize(QSize(16, 16));
      break;
    case TViewStyle::vsList:
      FItemsView->setFlow(QListView::TopToBottom);
      FItemsView->setWrapping(true);
      FItemsView->setGridSize(QSize(150, 20));
      FItemsView->setIconSize(QSize(16, 16));
      break;
    case TViewStyle::vsReport:
      FReportView->setIconSize(QSize(16, 16));
      AutoSizeColumns();
      break;
  }
  const bool hadFocus = CurrentView() && CurrentView()->hasFocus();
  FItemsView->setVisible(!report);
  FReportView->setVisible(report);
  if (hadFocus) CurrentView()->setFocus();
  FItemsView->doItemsLayout();
}

void TListView::SetItemImages(const QIcon& large, const QIcon& small) {
  for (TItemDelegate* delegate : {FItemsDelegate, FReportDelegate}) {
    delegate->Large = large;
    delegate->Small = small;
  }
}

void TListView::SetGridLines(bool value) {
  FReportView->setShowGrid(value);
}

void TListView::SetColor(const QColor& colour) {
  // A style sheet, since the window's own style sheet would polish a palette colour away.
  const QString sheet = QStringLiteral("QAbstractItemView { background-color: %1; }").arg(colour.name());
  FItemsView->setStyleSheet(sheet);
  FReportView->setStyleSheet(sheet);
}

void TListView::AutoSizeColumns() {
  FReportView->resizeColumnsToContents();
}

std::vector<int> TListView::SelectedRows() const {
  std::vector<int> rows;
  if (!FSelection) return rows;
  for (const QItemSelectionRange& range : FSelection->selection())
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

int TListView::Selected() const {
  if (!FSelection) return -1;
  int first = -1;
  for (const QItemSelectionRange& range : FSelection->selection())
    if (first < 0 || range.top() < first) first = range.top();
  return first;
}

int TListView::SelCount() const {
  return static_cast<int>(SelectedRows().size());
}

void TListView::ClearSelection() {
  if (FSelection) FSelection->clear();
}

QAbstractItemView* TListView::CurrentView() const {
  if (FViewStyle == TViewStyle::vsReport) return FReportView;
  return FItemsView;
}

void TListView::PopupAt(QAbstractItemView* view, const QPoint& position) {
  if (!PopupMenu) return;
  PopupMenu->PopupComponent = this;
  const QPoint global = view->viewport()->mapToGlobal(position);
  PopupMenu->Popup(global.x(), global.y());
}

void TListView::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  FItemsView->setGeometry(rect());
  FReportView->setGeometry(rect());
}
