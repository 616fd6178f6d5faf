#include "Form_Print.h"

#include <QGuiApplication>
#include <QScreen>

#include "CardBook.h"
#include "Files.h"
#include "Report.h"
#include "Unit_Main.h"

TFormPrint::TFormPrint(QWidget* parent) : TForm(parent) {
  setWindowTitle(QStringLiteral("FormPrint"));
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsSingle, {biSystemMenu, biMinimize, biMaximize}));
  // A4 in two columns of five business cards, 10 mm margins.
  QR = new TQuickRep(this);
  QR->Columns = 2;
  QR->ColumnSpace = 0;
  QR->PrintIfEmpty = true;
  QR->SetBand(94.87, 48.95);
  TQRBand& band = QR->Band();
  QRShape1 = band.AddShape(2.65, 1.32, 82.02, 45.86, TQRShapeType::qrsRectangle, clBlack);
  QRImg = band.AddImage(5.73, 3.97, 24.69, 26.46);
  QRName = band.AddLabel(34.40, 5.10, 10, true);
  QRCompany = band.AddLabel(34.40, 10.39, 10, false);
  QREmail = band.AddLabel(34.40, 15.69, 9, false);
  QRShape2 = band.AddShape(5.73, 30.43, 77.17, 3.53, TQRShapeType::qrsHorLine, clMaroon);
  QRAddress = band.AddLabel(5.29, 33.07, 8, false);
  QRCountry = band.AddLabel(5.29, 37.80, 8, false);
  QRPhone = band.AddLabel(5.29, 42.33, 8, false);
  QRName->Caption = "Name";
  QRCompany->Caption = "Company";
  QREmail->Caption = "E-mail";
  QRAddress->Caption = "Address";
  QRCountry->Caption = "State and Country";
  QRPhone->Caption = "Phone - Cellular";
  QR->OnNeedData = [this](QObject* sender, bool& more) { QRNeedData(sender, more); };
  FormCreate();
}

TFormPrint::~TFormPrint() = default;

void TFormPrint::FormCreate() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    setGeometry(50, 50, area.width() - 100, area.height() - 100);
  }
}

TCardTexts TFormPrint::ReadCard(int Index) const {
  return ReadCardTexts(MainWindowCards(), Index);
}

void TFormPrint::LoadDefaultPicture() {
  if (!Form_Main || Form_Main->DefaultImage < 0 ||
      Form_Main->DefaultImage >= static_cast<int>(Form_Main->ImageFiles.size()))
    throw EStringListError(Format("List index out of bounds (%d)", Form_Main ? Form_Main->DefaultImage : 0));
  QRImg->LoadFromFile(Form_Main->ImageFiles[static_cast<std::size_t>(Form_Main->DefaultImage)]);
}

void TFormPrint::QRNeedData(QObject*, bool& MoreData) {
  const TCardTexts card = ReadCard(PrintCard);
  QRName->Caption = card.Name;
  QRCompany->Caption = card.Company;
  QREmail->Caption = card.Email;
  QRAddress->Caption = card.Address;
  QRCountry->Caption = card.Country;
  QRPhone->Caption = card.Phone;
  if (!card.Picture.empty() && IsJpgPictureName(card.Picture)) {
    bool loaded = false;
    try {
      const AnsiString path = (Form_Main ? Form_Main->ImagesFolder : AnsiString()) + card.Picture;
      if (FileExists(path))
        QRImg->LoadFromFile(path);
      else
        LoadDefaultPicture();
      loaded = true;
    } catch (const std::exception&) {
    }
    if (!loaded) LoadDefaultPicture();  // a failure here fails the print
  } else {
    // No picture of its own: the default picture, or none when the folder has none to give;
    // never the previous card's.
    try {
      LoadDefaultPicture();
    } catch (const std::exception&) {
      QRImg->Clear();
    }
  }
  MoreData = NextBand(*this);
}
