#include "Form_Grid.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "ActnList.h"
#include "CardLinks.h"
#include "CardListModel.h"
#include "ComCtrls.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "Menus.h"
#include "RegLib.h"
#include "TapiDial.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Grid.h"

namespace {

const QColor kListColour(0xDF, 0xDF, 0xFF);  // $FFDFDF

TAction* NewAction(TComponent* owner, const AnsiString& caption, const AnsiString& hint = {}) {
  auto* action = new TAction(owner);
  action->SetCaption(caption);
  action->SetHint(hint);
  return action;
}

}  // namespace

TFormGrid::TFormGrid(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormGrid>()) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsDialog, {biSystemMenu, biMinimize, biMaximize}));
  setFixedSize(500, 360);
  LoadedControls(this);
  FModel = new TCardListModel(this);
  TListView* list = ui->LV;
  list->SetModel(FModel);
  list->SetItemImages(QIcon(QStringLiteral(":/icons/velmora-32.png")), QIcon(QStringLiteral(":/icons/velmora-16.png")));
  list->SetGridLines(true);
  list->SetColor(kListColour);
  CreateActions();
  list->PopupMenu = PMLV;
  list->OnColumnClick = [this](QObject* sender, int column) { LVColumnClick(sender, column); };
  list->OnDblClick = [this](QObject* sender) { LVDblClick(sender); };
  for (TVxSpeedButton* button : {ui->Button_1, ui->VxSpeedButton1, ui->VxSpeedButton2})
    button->OnDragOver = [this](QObject* sender, QObject* source, int x, int y, TDragState state, bool& accept) {
      Button_1DragOver(sender, source, x, y, state, accept);
    };
  ui->Button_1->OnDragDrop = [this](QObject* s, QObject* source, int x, int y) { Button_1DragDrop(s, source, x, y); };
  ui->VxSpeedButton1->OnDragDrop = [this](QObject* s, QObject* source, int x, int y) {
    VxSpeedButton1DragDrop(s, source, x, y);
  };
  ui->VxSpeedButton2->OnDragDrop = [this](QObject* s, QObject* source, int x, int y) {
    VxSpeedButton2DragDrop(s, source, x, y);
  };
  ui->VxSpeedButton5->OnClick = [this](QObject* sender) { VxSpeedButton5Click(sender); };
  FormCreate();
}

TFormGrid::~TFormGrid() = default;

void TFormGrid::CreateActions() {
  auto* components = new TComponent();
  components->setParent(this);
  ActionDial = NewAction(components, "&Dial", "     Dials the selected card\r\n(you can also drop a card here)");
  ActionMail = NewAction(components, "&Mail", "Mails one or more selected cards\r\n  (you can also drop cards here)");
  ActionVisit = NewAction(components, "&Visit",
                          "Visits the web page of the selected card\r\n     (you can also drop a card here)");
  ActionDial->OnExecute = [this](QObject* sender) { ActionDialExecute(sender); };
  ActionMail->OnExecute = [this](QObject* sender) { ActionMailExecute(sender); };
  ActionVisit->OnExecute = [this](QObject* sender) { ActionVisitExecute(sender); };
  using THandler = void (TFormGrid::*)(QObject*);
  const char* const views[] = {"Large Icons", "Small Icons", "List", "Details"};
  const THandler viewHandlers[] = {&TFormGrid::ActionView1Execute, &TFormGrid::ActionView2Execute,
                                   &TFormGrid::ActionView3Execute, &TFormGrid::ActionView4Execute};
  for (int i = 0; i < 4; ++i) {
    ActionView[i] = NewAction(components, views[i]);
    ActionView[i]->OnExecute = [this, handler = viewHandlers[i]](QObject* sender) { (this->*handler)(sender); };
  }
  const char* const sorts[] = {"Name", "Address", "Phone", "EMail", "URL"};
  const THandler sortHandlers[] = {&TFormGrid::ActionSort1Execute, &TFormGrid::ActionSort2Execute,
                                   &TFormGrid::ActionSort3Execute, &TFormGrid::ActionSort4Execute,
                                   &TFormGrid::ActionSort5Execute};
  for (int i = 0; i < 5; ++i) {
    ActionSort[i] = NewAction(components, sorts[i]);
    ActionSort[i]->OnExecute = [this, handler = sortHandlers[i]](QObject* sender) { (this->*handler)(sender); };
  }
  ActionView[0]->SetChecked(true);
  ActionSort[0]->SetChecked(true);

  auto itemFor = [this](TPopupMenu* menu, TAction* action) {
    TMenuItem* item = menu->Add(action->Caption(), [action](QObject*) { action->Execute(); });
    FCheckItems.push_back({action, item});
    return item;
  };
  PMSRT = new TPopupMenu(components);
  for (TAction* action : ActionSort) itemFor(PMSRT, action);
  PMView = new TPopupMenu(components);
  for (TAction* action : ActionView) itemFor(PMView, action);
  PMLV = new TPopupMenu(components);
  Dial1 = PMLV->Add(ActionDial->Caption(), [this](QObject*) { ActionDial->Execute(); });
  Mail1 = PMLV->Add(ActionMail->Caption(), [this](QObject*) { ActionMail->Execute(); });
  Visit1 = PMLV->Add(ActionVisit->Caption(), [this](QObject*) { ActionVisit->Execute(); });
  GotoOpt = PMLV->Add("Go To", [this](QObject* sender) { GotoOptClick(sender); });
  GotoOpt->SetDefault(true);
  Sep1 = PMLV->AddSeparator();
  PMLV->AddSubmenu("Sort by", PMSRT);
  PMLV->AddSubmenu("View", PMView);
  PMLV->OnPopup = [this](QObject* sender) { PMLVPopup(sender); };
  UpdateCheckMarks();

  ui->Button_1->SetAction(ActionDial);
  ui->VxSpeedButton1->SetAction(ActionMail);
  ui->VxSpeedButton2->SetAction(ActionVisit);
  ui->VxSpeedButton3->SetDropDownMenu(PMSRT);
  ui->VxSpeedButton4->SetDropDownMenu(PMView);
}

void TFormGrid::FormCreate() {
  // The frame: no caption bar, dragged by its face except over the speed buttons.
  FFrame = new TSecondaryFrame(this, true, true, true);
  FFrame->SetSchemeImages(ui->Image_Bck, ui->Image_Tp);
  FFrame->RefreshScheme();
  SortColumn = -1;
}

void TFormGrid::FormActivate() {
  if (Opener) {
    const QRect opener = Opener->frameGeometry();
    const QRect own = frameGeometry();
    move(opener.left() + (opener.width() - own.width()) / 2, opener.top() + (opener.height() - own.height()) / 2);
  }
  FFrame->RefreshScheme();
  ClearFocus();
  // The items are made afresh from the book, in the order of the last sort key.
  TListView* list = ui->LV;
  list->hide();
  FModel->Fill(MainWindowCards(), SortColumn);
  list->AutoSizeColumns();
  list->show();
  SelectedCard = -1;
}

void TFormGrid::resizeEvent(QResizeEvent* event) {
  TForm::resizeEvent(event);
  FormResize();
}

void TFormGrid::FormResize() {
  ui->LV->update();
}

TListCard TFormGrid::ReadCard(int index) const {
  return Form_Main ? ReadListCard(Form_Main->Cards[index]) : TListCard{};
}

int TFormGrid::LVCompare(int Item1, int Item2) const {
  return FModel->Compare(Item1, Item2, SortColumn);
}

int TFormGrid::FirstSelected() const {
  return ui->LV->Selected();
}

void TFormGrid::UpdateCheckMarks() {
  for (const TCheckItem& check : FCheckItems) check.Item->SetChecked(check.Action->Checked());
}

void TFormGrid::ChooseView(int view) {
  for (int i = 0; i < 4; ++i) ActionView[i]->SetChecked(i == view);
  UpdateCheckMarks();
  const TViewStyle styles[] = {TViewStyle::vsIcon, TViewStyle::vsSmallIcon, TViewStyle::vsList, TViewStyle::vsReport};
  ui->LV->SetViewStyle(styles[view]);
}

void TFormGrid::ChooseSort(int sort) {
  for (int i = 0; i < 5; ++i) ActionSort[i]->SetChecked(i == sort);
  UpdateCheckMarks();
  SortColumn = sort - 1;
  FModel->SortBy(SortColumn);
}

void TFormGrid::ActionView1Execute(QObject*) {
  ChooseView(0);
}
void TFormGrid::ActionView2Execute(QObject*) {
  ChooseView(1);
}
void TFormGrid::ActionView3Execute(QObject*) {
  ChooseView(2);
}
void TFormGrid::ActionView4Execute(QObject*) {
  ChooseView(3);
}
void TFormGrid::ActionSort1Execute(QObject*) {
  ChooseSort(0);
}
void TFormGrid::ActionSort2Execute(QObject*) {
  ChooseSort(1);
}
void TFormGrid::ActionSort3Execute(QObject*) {
  ChooseSort(2);
}
void TFormGrid::ActionSort4Execute(QObject*) {
  ChooseSort(3);
}
void TFormGrid::ActionSort5Execute(QObject*) {
  ChooseSort(4);
}

void TFormGrid::LVColumnClick(QObject*, int Column) {
  SortColumn = Column == 0 ? -1 : Column - 1;
  FModel->SortBy(SortColumn);
}

void TFormGrid::PMLVPopup(QObject*) {
  const int row = FirstSelected();
  const bool selected = row >= 0;
  for (TMenuItem* item : {Dial1, Mail1, Visit1, Sep1, GotoOpt}) item->SetVisible(selected);
  if (!selected) return;
  Dial1->SetEnabled(!FModel->Text(row, TCardListModel::colPhone).empty());
  Mail1->SetEnabled(!FModel->Text(row, TCardListModel::colEmail).empty());
  Visit1->SetEnabled(!FModel->Text(row, TCardListModel::colWebSite).empty());
}

void TFormGrid::ActionDialExecute(QObject*) {
  const int row = FirstSelected();
  if (row < 0) return;
  const AnsiString phone = Trim(FModel->Text(row, TCardListModel::colPhone));
  if (phone.empty() || !Form_Main || !Form_Main->TapiDialer) return;
  Form_Main->TapiDialer->SetTelephonNo(phone);
  Form_Main->TapiDialer->Dial();
}

void TFormGrid::ActionMailExecute(QObject*) {
  std::vector<std::string_view> addresses;
  for (int row : ui->LV->SelectedRows()) {
    const std::string_view email = FModel->Text(row, TCardListModel::colEmail);
    if (!email.empty()) addresses.push_back(email);
  }
  if (addresses.empty()) return;
  ExecuteFile(this, MailtoUrl(addresses));
}

void TFormGrid::ActionVisitExecute(QObject*) {
  const int row = FirstSelected();
  if (row < 0) return;
  const AnsiString site = Trim(FModel->Text(row, TCardListModel::colWebSite));
  if (site.empty()) return;
  ExecuteFile(this, WebsiteUrl(site));
}

void TFormGrid::Button_1DragOver(QObject*, QObject* Source, int, int, TDragState, bool& Accept) {
  Accept = dynamic_cast<TListView*>(Source) != nullptr;
}

void TFormGrid::Button_1DragDrop(QObject* Sender, QObject*, int, int) {
  ActionDialExecute(Sender);
}

void TFormGrid::VxSpeedButton1DragDrop(QObject* Sender, QObject*, int, int) {
  ActionMailExecute(Sender);
}

void TFormGrid::VxSpeedButton2DragDrop(QObject* Sender, QObject*, int, int) {
  ActionVisitExecute(Sender);
}

void TFormGrid::LVDblClick(QObject*) {
  // The item clicked (the current one, when it is selected), else the first selected.
  int row = FirstSelected();
  const QModelIndex current = ui->LV->CurrentView()->currentIndex();
  if (row >= 0 && current.isValid() && ui->LV->Selection()->isRowSelected(current.row())) row = current.row();
  if (row >= 0 && Form_Main && Opener == Form_Main) SelectedCard = FModel->CardOf(row);
  Close();
}

void TFormGrid::GotoOptClick(QObject* Sender) {
  LVDblClick(Sender);
}

void TFormGrid::VxSpeedButton5Click(QObject*) {
  Close();
}
