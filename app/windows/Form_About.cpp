#include "Form_About.h"

#include <QLinearGradient>
#include <QPainter>

#include "CodePage.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "RegLib.h"
#include "TextLib.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_About.h"

TFormAbout* FormAbout = nullptr;

namespace {

// The maker's website and mail request, stored scrambled (HexXorToText turns them back).
constexpr const char* kWebsite = "VXQcPPPTTaQUPPUXPPPPUYUfPTQcPUPPPQPXQWQWTbTbQdQYPcQdQcPYTaUYQSPYPQPRQdQSTe";
constexpr const char* kMailRequest =
    "VdPcPXPUQXQbUUTcQSPYPQPRQdQSRQSQPTQcPUPPPQPXQWQWTbTbQdQYPcQdQcPYUaTcPVQWPXPfPVQWTYVbSSPYPQPRQdQSTTQWPRWQRUPPQVQWQV"
    "PPUVQWPRWRRdPPPT";

// The decorative strip on the top bar: a gold line fading out to both ends.
QImage BarPicture(int width, int height) {
  QImage picture(width, height, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  QLinearGradient gradient(0, 0, width, 0);
  gradient.setColorAt(0, QColor(255, 210, 83, 0));
  gradient.setColorAt(0.5, QColor(255, 210, 83, 255));
  gradient.setColorAt(1, QColor(255, 210, 83, 0));
  painter.fillRect(0, height / 2 - 1, width, 2, gradient);
  return picture;
}

}  // namespace

TFormAbout::TFormAbout(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormAbout>()) {
  FormAbout = this;
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsSingle, {biSystemMenu, biMinimize, biMaximize}));
  setFixedSize(403, 343);
  KeyPreview = true;
  LoadedControls(this);
  ui->Image_Bar->SetPicture(BarPicture(ui->Image_Bar->width(), ui->Image_Bar->height()));
  ui->VxBtnVisit->OnClick = [this](QObject* sender) { VxBtnVisitClick(sender); };
  ui->VxBtnEmail->OnClick = [this](QObject* sender) { sButtonEmailClick(sender); };
  ui->VxBtnHelp->OnClick = [this](QObject* sender) { sButtonHelpClick(sender); };
  ui->VxBtnClose->OnClick = [this](QObject* sender) { Button_CloseClick(sender); };
  FormCreate();
}

TFormAbout::~TFormAbout() {
  if (FormAbout == this) FormAbout = nullptr;
}

void TFormAbout::FormCreate() {
  FFrame = new TSecondaryFrame(this, true, true, true);
  FFrame->SetSchemeImages(ui->Image_Bck, ui->Image_Tp);
  FFrame->RefreshScheme();
}

void TFormAbout::FormActivate() {
  ClearFocus();
  FFrame->RefreshScheme();
}

void TFormAbout::FormKeyPress(char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    Close();
  }
}

void TFormAbout::VxBtnVisitClick(QObject*) {
  ExecuteFile(this, HexXorToText(kWebsite));
}

void TFormAbout::sButtonEmailClick(QObject*) {
  ExecuteFile(this, HexXorToText(kMailRequest));
}

void TFormAbout::sButtonHelpClick(QObject*) {
  // The help opens as the main window's help command opens it.
  if (Form_Main) Form_Main->SpeedButton1Click(this);
}

void TFormAbout::Button_CloseClick(QObject*) {
  Close();
}
