#include "Form_Img.h"

#include "ExtCtrls.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Img.h"

TFormImg* FormImg = nullptr;

TFormImg::TFormImg(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormImg>()) {
  FormImg = this;
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsDialog, {biSystemMenu, biMinimize, biMaximize}));
  setFixedSize(500, 360);
  LoadedControls(this);
  ui->DG->SetColCount(6);
  ui->DG->SetDefaultColWidth(75);
  ui->DG->SetDefaultRowHeight(80);
  auto* components = new TComponent();
  components->setParent(this);
  FTimerActivate = new TTimer(components);
  FTimerActivate->SetEnabled(false);
  FTimerActivate->SetInterval(300);
  FTimerActivate->SetOnTimer([this](QObject* sender) { TimerActivateTimer(sender); });
  ui->DG->OnDrawCell = [this](QObject* sender, int col, int row, TRect rect, TGridDrawState state) {
    DGDrawCell(sender, col, row, rect, state);
  };
  ui->DG->OnPrepareCells = [this](QObject* sender, const std::vector<TPoint>& cells) { DGPrepareCells(sender, cells); };
  ui->DG->OnDblClick = [this](QObject* sender) { DGDblClick(sender); };
  ui->VxSpeedButton5->OnClick = [this](QObject* sender) { VxSpeedButton5Click(sender); };
  FormCreate();
}

TFormImg::~TFormImg() {
  if (FormImg == this) FormImg = nullptr;
}

void TFormImg::FormCreate() {
  FFrame = new TSecondaryFrame(this, true, true, true);
  FFrame->SetSchemeImages(ui->Image_Bck, ui->Image_Tp);
  FFrame->RefreshScheme();
  ThumbBitmap.SetSize(ui->DG->DefaultColWidth(), ui->DG->DefaultRowHeight());
  ThumbRect = {0, 0, ThumbBitmap.Width(), ThumbBitmap.Height()};
  MainForm = Form_Main;
  SetRowCount();
}

void TFormImg::SetRowCount() {
  const int count = MainForm ? static_cast<int>(MainForm->ImageFiles.size()) : 0;
  ui->DG->SetRowCount(count / ui->DG->ColCount() + 1);
}

void TFormImg::FormActivate() {
  if (MainForm) {
    const QRect main = MainForm->frameGeometry();
    const QRect own = frameGeometry();
    move(main.left() + (main.width() - own.width()) / 2, main.top() + (main.height() - own.height()) / 2);
  }
  FFrame->RefreshScheme();
  ClearFocus();
  // Pictures added since the last showing get their rows.
  SetRowCount();
  LastIndex = MainForm ? static_cast<int>(MainForm->ImageFiles.size()) - 1 : -1;
  DrawingOn = false;
  FTimerActivate->SetEnabled(true);
  ui->DG->hide();
}

void TFormImg::TimerActivateTimer(QObject*) {
  DrawingOn = true;
  ui->DG->show();
  FTimerActivate->SetEnabled(false);
}

int TFormImg::PictureIndex(int col, int row) const {
  if (!DrawingOn || !MainForm) return -1;
  const int index = col + row * ui->DG->ColCount();
  if (index < 0 || index > LastIndex || index >= static_cast<int>(MainForm->ImageFiles.size())) return -1;
  return index;
}

void TFormImg::DGPrepareCells(QObject*, const std::vector<TPoint>& Cells) {
  FPrepared.clear();
  std::vector<int> indexes;
  std::vector<AnsiString> files;
  for (const TPoint& cell : Cells) {
    const int index = PictureIndex(cell.X, cell.Y);
    if (index < 0) continue;
    indexes.push_back(index);
    files.push_back(MainForm->ImageFiles[static_cast<std::size_t>(index)]);
  }
  if (files.size() < 2) return;  // one picture: no gain in doing it on the side
  std::vector<TScaledDecode> decoded = DecodeScaledFiles(files, ThumbRect.Width(), ThumbRect.Height());
  for (std::size_t i = 0; i < indexes.size(); ++i) FPrepared.emplace(indexes[i], std::move(decoded[i]));
}

void TFormImg::DGDrawCell(QObject*, int ACol, int ARow, TRect Rect, TGridDrawState) {
  const int index = PictureIndex(ACol, ARow);
  if (index < 0) return;
  TCanvas& canvas = ui->DG->Canvas();
  try {
    ++FDecoded;
    QImage picture;
    if (const auto prepared = FPrepared.find(index); prepared != FPrepared.end()) {
      if (prepared->second.Code != 0) throw EJPEG(prepared->second.Code);
      picture = std::move(prepared->second.Image);
      FPrepared.erase(prepared);
    } else {
      Decoder.LoadScaledFromFile(MainForm->ImageFiles[static_cast<std::size_t>(index)], ThumbRect.Width(),
                                 ThumbRect.Height());
      picture = Decoder.Bitmap();
    }
    ThumbBitmap.LoadFromImage(
        picture.scaled(ThumbRect.Width(), ThumbRect.Height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    canvas.Draw(Rect.Left, Rect.Top, ThumbBitmap);
  } catch (const std::exception&) {
    // A picture that cannot be shown, for whatever reason, is a question mark.
    canvas.TextOut(Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2, "?");
  }
}

void TFormImg::DGDblClick(QObject*) {
  // A double-click beside the cells chooses nothing.
  if (ui->DG->PressedCol() < 0) return;
  const int index = ui->DG->Col() + ui->DG->Row() * ui->DG->ColCount();
  if (index > LastIndex) return;
  if (MainForm && MainForm->CurrentImage != -1) MainForm->CurrentImage = index;
  Close();
}

void TFormImg::VxSpeedButton5Click(QObject*) {
  Close();
}
