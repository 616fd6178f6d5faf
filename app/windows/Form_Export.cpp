#include "Form_Export.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "BookTools.h"
#include "CardExport.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormResources.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Export.h"

TFormExport* FormExport = nullptr;

namespace {

// The strip at the left: a dark blue fall with a light edge.
QImage StripPicture() {
  QImage picture(61, 247, QImage::Format_RGB32);
  QPainter painter(&picture);
  QLinearGradient fall(0, 0, 0, picture.height());
  fall.setColorAt(0, QColor(0x1c, 0x3d, 0x6e));
  fall.setColorAt(1, QColor(0, 0, 0));
  painter.fillRect(picture.rect(), fall);
  painter.setPen(QColor(0x5a, 0x7d, 0xb4));
  painter.drawLine(picture.width() - 1, 0, picture.width() - 1, picture.height());
  return picture;
}

}  // namespace

TFormExport::TFormExport(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormExport>()) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsSingle, {}));
  setFixedSize(384, 319);
  LoadedControls(this);
  ui->Image1->SetStretch(true);
  ui->Image1->SetPicture(StripPicture());
  ui->edtDelimiter->SetRefusedChars("\"");  // spreadsheets read the double quote as quoting
  connect(ui->BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(ui->BtnExport); });
  connect(ui->BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(ui->BtnCancel); });
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
  }
}

TFormExport::~TFormExport() {
  if (FormExport == this) FormExport = nullptr;
}

void TFormExport::BtnExportClick(QObject*) {
  ExportChoice choice;
  try {
    for (int i = 0; i < kExportColumnCount && i < ui->VxCLB->Items().Count(); ++i)
      choice.Chosen[static_cast<std::size_t>(i)] = ui->VxCLB->IsItemChecked(i);
    choice.Delimiter = ExportDelimiter(QStringToAnsi(ui->edtDelimiter->text()).value_or(AnsiString()));
    choice.Headers = ui->chkHeaders->isChecked();

    OpenDialogRequest request;
    request.Filter = "Comma Separated Values (CSV)|*.csv|All Files (*.*)|*.*";
    request.InitialDir = QStringToAnsi(QDir::homePath()).value_or(AnsiString());
    request.FileName = FFileName;
    request.Save = true;
    request.DefaultExt = "csv";
    const std::optional<AnsiString> chosen = ExecuteOpenDialog(request);
    if (!chosen) return;
    FFileName = *chosen;
    if (Form_Main) RefuseBookFiles(*chosen, Form_Main->BookFile, Form_Main->BackupFile, "export");
    WriteExportFile(MainWindowCards(), choice, *chosen);
  } catch (const Exception& error) {
    HandleException(error);
    return;
  }
  ShowMessage("           Export Successful         ");
  Close();
}

void TFormExport::BtnCancelClick(QObject*) {
  Close();
}
