#include "Form_PrintDlg.h"

#include <QApplication>
#include <QPainter>

#include "CodePage.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "Form_Print.h"
#include "QMCoolEdit.h"
#include "Report.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_PrintDlg.h"

namespace {

int NumberIn(const TQMCoolEdit* edit) {
  return ReadCardNumber(QStringToAnsi(edit->text()).value_or(AnsiString()));
}

int CardCount() {
  return MainWindowCards().Count();
}

// The report's band as it stands in the window resource, for the template preview.
QImage TemplatePreview(TFormPrint& report, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  report.QR->Band().Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), report.QR->Band().Contents());
  return image;
}

}  // namespace

TFormPrintDlg::TFormPrintDlg(TFormPrint* report, QWidget* parent)
    : TForm(parent), ui(std::make_unique<Ui::TFormPrintDlg>()), FReport(report) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsSingle, {biSystemMenu}));
  // White captions on the dark panels.
  for (QRadioButton* choice : {ui->RbAll, ui->RbCurrent, ui->RbRange}) {
    choice->ensurePolished();  // the style sheet's polish would replace the colour
    QPalette colours = choice->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    choice->setPalette(colours);
  }
  setFixedSize(595, 270);
  LoadedControls(this);
  ui->Image_Bck->SetStretch(true);
  for (TQMCoolEdit* edit : {ui->cFrom, ui->cTo, ui->EdCopies})
    edit->OnChange = [this](QObject* sender) { cFromChange(sender); };
  if (FReport) ui->ImgPreview->setPixmap(QPixmap::fromImage(TemplatePreview(*FReport, ui->ImgPreview->size())));
  connect(ui->RbAll, &QRadioButton::clicked, this, [this] { RbAllClick(ui->RbAll); });
  connect(ui->RbCurrent, &QRadioButton::clicked, this, [this] { RbCurrentClick(ui->RbCurrent); });
  connect(ui->RbRange, &QRadioButton::clicked, this, [this] { RbRangeClick(ui->RbRange); });
  connect(ui->CBTemplate, &QComboBox::currentIndexChanged, this, [this] { CBTemplateChange(ui->CBTemplate); });
  ui->BtnPrint->OnClick = [this](QObject* sender) { BtnPrintClick(sender); };
  ui->BtnSetup->OnClick = [this](QObject* sender) { BtnSetupClick(sender); };
  ui->BtnExit->OnClick = [this](QObject* sender) { BtnExitClick(sender); };
  FormCreate();
}

TFormPrintDlg::~TFormPrintDlg() = default;

void TFormPrintDlg::FormCreate() {
  // An ordinary caption bar; only the scheme's background, loaded at activation.
  FFrame = new TSecondaryFrame(this, false, false, true);
  FFrame->SetSchemeImages(ui->Image_Bck, nullptr);
  ui->EdCopies->SetText(QStringLiteral("1"));
  ui->CBTemplate->setCurrentIndex(0);
}

void TFormPrintDlg::FormActivate() {
  FFrame->RefreshScheme();
  UpdateTotal();
}

void TFormPrintDlg::RbAllClick(QObject*) {
  ui->cFrom->setEnabled(false);
  ui->cTo->setEnabled(false);
  UpdateTotal();
}

void TFormPrintDlg::RbCurrentClick(QObject*) {
  ui->cFrom->setEnabled(false);
  ui->cTo->setEnabled(false);
  UpdateTotal();
}

void TFormPrintDlg::RbRangeClick(QObject*) {
  ui->cFrom->setEnabled(true);
  ui->cTo->setEnabled(true);
  if (ui->cTo->text().isEmpty()) ui->cTo->SetText(QString::number(CardCount()));
  UpdateTotal();
}

void TFormPrintDlg::cFromChange(QObject*) {
  UpdateTotal();
}

void TFormPrintDlg::CBTemplateChange(QObject*) {
  // "Classic" is the only template.
  ui->CBTemplate->setCurrentIndex(0);
}

TFormPrintDlg::TChoice TFormPrintDlg::ReadChoice() const {
  TChoice choice;
  if (ui->RbRange->isChecked()) {
    choice.First = NumberIn(ui->cFrom);
    choice.Last = NumberIn(ui->cTo);
  } else if (ui->RbCurrent->isChecked()) {
    const int current = Form_Main ? Form_Main->CurrentCard : 0;
    choice.First = choice.Last = current + 1;
  } else {
    choice.First = 1;
    choice.Last = CardCount();
  }
  choice.Copies = NumberIn(ui->EdCopies);
  return choice;
}

void TFormPrintDlg::UpdateTotal() {
  const TChoice choice = ReadChoice();
  ui->LblTotal->setText(AnsiToQString(FormatCardCount(CountCards(choice.First, choice.Last, choice.Copies))));
}

void TFormPrintDlg::PrepareReport() {
  const TChoice choice = ReadChoice();
  FReport->FirstCard = choice.First - 1;
  FReport->LastCard = choice.Last - 1;
  FReport->PrintCard = FReport->FirstCard;
  FReport->Copies = choice.Copies > 0 ? choice.Copies : 1;
  FReport->CopyNo = 1;
  FReport->Done = false;
}

void TFormPrintDlg::BtnPrintClick(QObject*) {
  ui->BtnPrint->setEnabled(false);
  ui->BtnSetup->setEnabled(false);
  ui->BtnExit->setEnabled(false);
  QApplication::processEvents();
  bool printed = false;
  try {
    PrepareReport();
    // A job past the report's page limit is refused before any band is laid out.
    const TChoice choice = ReadChoice();
    if (CountCards(choice.First, choice.Last, FReport->Copies).Pages <= TQuickRep::MaxPages) {
      FReport->QR->Print();
      printed = true;
    }
  } catch (const std::exception&) {
  }
  if (!printed) ShowMessage("An error occurred while printing !");
  ui->BtnPrint->setEnabled(true);
  ui->BtnSetup->setEnabled(true);
  ui->BtnExit->setEnabled(true);
  QApplication::processEvents();
}

void TFormPrintDlg::BtnSetupClick(QObject*) {
  try {
    FReport->QR->PrinterSetup();
  } catch (const std::exception&) {
  }
}

void TFormPrintDlg::BtnExitClick(QObject*) {
  Close();
}
