#pragma once
// The list view window: every card as an item with its name, address, phone, e-mail and web
// site, in four views, sorted by any of them; dial, mail or visit the selected cards from the
// buttons, the context menu or by dropping items on the buttons; "Go To" hands the card back.

#include <memory>

#include "Controls.h"
#include "Forms.h"
#include "SysUtils.h"

namespace Ui {
class TFormGrid;
}
class TAction;
class TCardListModel;
class TListView;
class TMenuItem;
class TPopupMenu;
class TSecondaryFrame;

struct TListCard;

class TFormGrid final : public TForm {
 public:
  explicit TFormGrid(QWidget* parent = nullptr);
  ~TFormGrid() override;

  // Sort key: -1 the name, 0 to 3 the address, phone, e-mail or web site.
  int SortColumn = -1;
  // The window that opened this one (set before each modal show).
  QWidget* Opener = nullptr;
  // Index into the book of the card chosen with "Go To"; -1 for none.
  int SelectedCard = -1;

  // The five texts the list shows for card index of the book.
  [[nodiscard]] TListCard ReadCard(int index) const;
  // The list's order of two items (rows in the current order) by SortColumn: -1, 0 or 1.
  [[nodiscard]] int LVCompare(int Item1, int Item2) const;

  void ActionDialExecute(QObject* Sender);
  void ActionMailExecute(QObject* Sender);
  void ActionVisitExecute(QObject* Sender);
  void ActionView1Execute(QObject* Sender);
  void ActionView2Execute(QObject* Sender);
  void ActionView3Execute(QObject* Sender);
  void ActionView4Execute(QObject* Sender);
  void ActionSort1Execute(QObject* Sender);
  void ActionSort2Execute(QObject* Sender);
  void ActionSort3Execute(QObject* Sender);
  void ActionSort4Execute(QObject* Sender);
  void ActionSort5Execute(QObject* Sender);
  void PMLVPopup(QObject* Sender);
  void LVColumnClick(QObject* Sender, int Column);
  void LVDblClick(QObject* Sender);
  void GotoOptClick(QObject* Sender);
  void Button_1DragOver(QObject* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept);
  void Button_1DragDrop(QObject* Sender, QObject* Source, int X, int Y);
  void VxSpeedButton1DragDrop(QObject* Sender, QObject* Source, int X, int Y);
  void VxSpeedButton2DragDrop(QObject* Sender, QObject* Source, int X, int Y);
  void VxSpeedButton5Click(QObject* Sender);

  [[nodiscard]] Ui::TFormGrid& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }
  [[nodiscard]] TCardListModel& Model() const { return *FModel; }

  // Actions and menus.
  TAction* ActionDial = nullptr;
  TAction* ActionMail = nullptr;
  TAction* ActionVisit = nullptr;
  TAction* ActionView[4] = {};
  TAction* ActionSort[5] = {};
  TPopupMenu* PMLV = nullptr;
  TPopupMenu* PMSRT = nullptr;
  TPopupMenu* PMView = nullptr;
  TMenuItem* Dial1 = nullptr;
  TMenuItem* Mail1 = nullptr;
  TMenuItem* Visit1 = nullptr;
  TMenuItem* GotoOpt = nullptr;
  TMenuItem* Sep1 = nullptr;

 protected:
  void FormActivate() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormResize();
  void CreateActions();
  void ChooseView(int view);
  void ChooseSort(int sort);
  // Shows each action's check mark on the menu items bound to it.
  void UpdateCheckMarks();
  // The first selected item's row in the list's order, or -1.
  [[nodiscard]] int FirstSelected() const;

  std::unique_ptr<Ui::TFormGrid> ui;
  TSecondaryFrame* FFrame = nullptr;
  TCardListModel* FModel = nullptr;
  struct TCheckItem {
    TAction* Action;
    TMenuItem* Item;
  };
  std::vector<TCheckItem> FCheckItems;
};
