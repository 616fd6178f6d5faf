#include "Form_Search.h"

#include <QKeyEvent>

#include "CardBook.h"
#include "CardLookup.h"
#include "CodePage.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "QMWave.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Search.h"

TFormSearch::TFormSearch(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormSearch>()) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsDialog, {}));
  setFixedSize(214, 174);
  KeyPreview = true;
  LoadedControls(this);
  for (TEdit* edit : {ui->Edit_Search1, ui->Edit_Search2}) {
    edit->SetRefusedChars(AnsiString(1, kFieldSeparator));
    edit->installEventFilter(this);
  }
  auto* components = new TComponent();
  components->setParent(this);
  WaveSearch = new TQMWave(components);
  LoadWaveResource(*WaveSearch, ":/sounds/WaveSearch.wavedata");
  ui->Search->OnClick = [this](QObject* sender) { SearchClick(sender); };
  ui->BitBtn2->OnClick = [this](QObject* sender) { BitBtn2Click(sender); };
  FormCreate();
}

TFormSearch::~TFormSearch() = default;

void TFormSearch::FormCreate() {
  // The Search button is the window's one speed button, built on the custom control: it must
  // click, not drag.
  FFrame = new TSecondaryFrame(this, true, true, true);
  FFrame->SetSchemeImages(ui->Image_Bck, nullptr);
  FFrame->RefreshScheme();
}

void TFormSearch::FormActivate() {
  ui->Edit_Search1->setFocus(Qt::OtherFocusReason);
  FFrame->RefreshScheme();
  SelectedCard = -1;
}

void TFormSearch::SearchClick(QObject*) {
  if (Form_Main) Form_Main->SoundPlay(WaveSearch);
  const AnsiString first = Trim(QStringToAnsi(ui->Edit_Search1->text()).value_or(AnsiString()));
  const AnsiString second = Trim(QStringToAnsi(ui->Edit_Search2->text()).value_or(AnsiString()));
  SelectedCard = FindCard(MainWindowCards(), first, second);
  Close();
}

void TFormSearch::BitBtn2Click(QObject*) {
  Close();
}

void TFormSearch::FormKeyPress(char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    Close();
  }
}

bool TFormSearch::eventFilter(QObject* watched, QEvent* event) {
  // Edit_Search1KeyDown, shared by both edits: Enter searches, Esc closes.
  if (event->type() == QEvent::KeyPress && (watched == ui->Edit_Search1 || watched == ui->Edit_Search2)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ui->Search->Click();
      return true;
    }
  }
  return TForm::eventFilter(watched, event);
}
