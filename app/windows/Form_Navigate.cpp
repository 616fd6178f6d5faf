#include "Form_Navigate.h"

#include "Buttons.h"
#include "CardLookup.h"
#include "FormFrame.h"
#include "Unit_Main.h"
#include "ui_Form_Navigate.h"

namespace {

const QColor kChosenCaption(255, 0, 0);
const QColor kCaption(0, 0, 0);

}  // namespace

TFormNavigate::TFormNavigate(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormNavigate>()) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsDialog, {}));
  setFixedSize(211, 226);
  KeyPreview = true;
  ui->LB_Name->SetSorted(true);
  for (QWidget* child : findChildren<QWidget*>()) {
    auto* button = dynamic_cast<TSpeedButton*>(child);
    if (!button) continue;
    button->SetCaptionColor(kCaption);
    button->OnClick = [this](QObject* sender) { SBAClick(sender); };
  }
  ui->SBALL->SetCaptionColor(kChosenCaption);
  ui->LB_Name->OnDblClick = [this](QObject* sender) { LB_NameDblClick(sender); };
  ui->LB_Name->OnKeyPress = [this](QObject* sender, char& key) { LB_NameKeyPress(sender, key); };
  ui->BitBtn2->OnClick = [this](QObject* sender) { BitBtn2Click(sender); };
  FormCreate();
}

TFormNavigate::~TFormNavigate() = default;

void TFormNavigate::FormCreate() {
  FFrame = new TSecondaryFrame(this, true, true, false);
}

char TFormNavigate::LetterOf(QObject* button) const {
  const QString name = button ? button->objectName() : QString();
  if (name.size() == 3 && name.startsWith(u"SB") && name[2] >= u'A' && name[2] <= u'Z')
    return static_cast<char>(name[2].unicode());
  return '?';
}

void TFormNavigate::Fill(char letter) {
  TListBox* list = ui->LB_Name;
  list->Clear();
  if (!Form_Main) return;
  list->BeginUpdate();
  // Each entry keeps the index of its card: equal entries, and entries that begin another
  // card's line, still fetch their own card.
  for (const TLetterListOrder::TEntry& entry : FOrder.Entries(Form_Main->Cards))
    if (letter == '?' || LetterMatches(entry.Initial, letter)) list->AddObject(entry.Text, entry.Card);
  list->EndUpdateInOrder();
}

void TFormNavigate::FormActivate() {
  ui->LB_Name->setFocus(Qt::OtherFocusReason);
  SelectedCard = -1;
  ui->SBALL->SetCaptionColor(kChosenCaption);
  ChosenButton = ui->SBALL;
  Fill('?');
}

void TFormNavigate::SBAClick(QObject* Sender) {
  const char letter = LetterOf(Sender);
  if (ChosenButton) ChosenButton->SetCaptionColor(kCaption);
  auto* clicked = dynamic_cast<TSpeedButton*>(Sender);
  if (clicked) clicked->SetCaptionColor(kChosenCaption);
  ChosenButton = clicked;
  Fill(letter);
}

void TFormNavigate::LB_NameDblClick(QObject*) {
  const int index = ui->LB_Name->ItemIndex();
  if (index < 0 || !Form_Main) return;  // nothing selected: the window stays open
  SelectedCard = ui->LB_Name->Objects(index);
  Close();
}

void TFormNavigate::LB_NameKeyPress(QObject*, char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    Close();
  }
}

void TFormNavigate::FormKeyPress(char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    Close();
  }
}

void TFormNavigate::BitBtn2Click(QObject*) {
  Close();
}

void TFormNavigate::FormClose() {
  if (ChosenButton) ChosenButton->SetCaptionColor(kCaption);
}
