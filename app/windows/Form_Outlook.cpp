#include "Form_Outlook.h"

#include <QApplication>
#include <QScreen>
#include <QSignalBlocker>

#include "CodePage.h"
#include "ContactImport.h"
#include "ContactsServer.h"
#include "Dialogs.h"
#include "Unit_Main.h"
#include "ui_Form_Outlook.h"

namespace {

// The contacts server's application object; empty when not connected. It outlives the window and
// is released when emptied or at the program's end.
Variant OutlookApp;

}  // namespace

TFormOutlook::TFormOutlook(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormOutlook>()) {
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsSingle, {biSystemMenu, biMinimize}));
  setFixedSize(425, 269);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  connect(ui->BtnPrev, &QPushButton::clicked, this, [this] { BtnPrevClick(); });
  connect(ui->BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(); });
  connect(ui->BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(ui->PGCtrl, &QStackedWidget::currentChanged, this, [this] { PGCtrlChange(); });
  connect(ui->rbOverride, &QRadioButton::clicked, this, [this] { rbOverrideClick(); });
  FormCreate();
}

TFormOutlook::~TFormOutlook() = default;

bool TFormOutlook::Connected() {
  return !OutlookApp.IsEmpty();
}

void TFormOutlook::FormCreate() {
  OutlookApp.Clear();
  ContactCount = 0;
  ui->PBar->hide();
  ui->lblWarn->hide();
}

void TFormOutlook::FormActivate() {
  {
    const QSignalBlocker quiet(ui->PGCtrl);
    ui->PGCtrl->setCurrentIndex(0);
  }
  ui->BtnNext->setEnabled(true);
  ui->BtnPrev->setEnabled(false);
  ui->PBar->hide();
  ui->rbAppend->setChecked(true);
}

void TFormOutlook::BtnPrevClick() {
  if (FImporting) return;
  if (ui->PGCtrl->currentIndex() > 0) ui->PGCtrl->setCurrentIndex(ui->PGCtrl->currentIndex() - 1);
}

void TFormOutlook::BtnNextClick() {
  if (FImporting) return;
  if (ui->PGCtrl->currentIndex() < ui->PGCtrl->count() - 1)
    ui->PGCtrl->setCurrentIndex(ui->PGCtrl->currentIndex() + 1);
  else
    Finish();
}

void TFormOutlook::BtnCancelClick() {
  if (FImporting) return;
  OutlookApp.Clear();
  ContactCount = 0;
  Close();
}

void TFormOutlook::PGCtrlChange() {
  const int page = ui->PGCtrl->currentIndex();
  ui->BtnPrev->setEnabled(page != 0);
  ui->BtnNext->setText(page == ui->PGCtrl->count() - 1 ? QStringLiteral("Finish") : QStringLiteral("Next >"));
  if (page == 1) {
    try {
      ui->BtnNext->setEnabled(false);
      if (Connect()) {
        ui->lblOutlookVersion->setText(QStringLiteral("vCard not available"));
        ui->lblOutlookContacts->setText(QStringLiteral("0"));
        ui->lblFinish->setText(QStringLiteral("vCard Import is not available. Click [Finish] to end."));
      } else if (ContactCount <= 0) {
        ui->lblOutlookVersion->setText(QStringLiteral("none"));
        ui->lblOutlookContacts->setText(QStringLiteral("0"));
        ui->lblFinish->setText(QStringLiteral("The file holds no contacts. Click [Finish] to end."));
      } else {
        ui->lblOutlookVersion->setText(OutlookVersion);
        ui->lblOutlookContacts->setText(QString::number(ContactCount));
        ui->lblWarn->show();
        ui->lblFinish->setText(QStringLiteral("Click [Finish] to import your vCard Contacts"));
      }
    } catch (const std::exception&) {
      // the page shows what it had
    }
  }
  ui->BtnNext->setEnabled(true);
}

bool TFormOutlook::Connect() {
  if (!OutlookApp.IsEmpty()) return false;
  const auto attempt = [this](Variant (*obtain)(const AnsiString&)) {
    try {
      OutlookApp = obtain(kMailClientProgID);
      OutlookVersion = OutlookApp.Invoke("Version").ToText();
      ContactCount = CountContacts();
      return true;
    } catch (const std::exception&) {
      return false;
    }
  };
  if (attempt(GetActiveOleObject)) return false;
  if (attempt(CreateOleObject)) return false;
  return true;
}

int TFormOutlook::CountContacts() {
  return ::CountContacts(OutlookApp);
}

void TFormOutlook::CleanAddress(AnsiString& Text) {
  ::CleanAddress(Text);
}

void TFormOutlook::CleanPhone(AnsiString& Text) {
  ::CleanPhone(Text);
}

bool TFormOutlook::ConfirmOverride() {
  return MessageBoxA(nullptr, "This will override your address book\r\nAre you sure ?", "Warning",
                     MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

void TFormOutlook::Finish() {
  if (!OutlookApp.IsEmpty() && ContactCount > 0) {
    if (ui->rbAppend->isChecked())
      ImportContacts();
    else if (ConfirmOverride())
      ImportContacts();
  } else {
    // A file without contacts is let go, so that the next import asks for a file again.
    OutlookApp.Clear();
    ContactCount = 0;
  }
  Close();
}

void TFormOutlook::ImportContacts() {
  if (OutlookApp.IsEmpty() || !Form_Main || FImporting) return;
  const bool replace = ui->rbOverride->isChecked();
  FImporting = true;
  for (QWidget* button :
       {static_cast<QWidget*>(ui->BtnPrev), static_cast<QWidget*>(ui->BtnNext), static_cast<QWidget*>(ui->BtnCancel)})
    button->setEnabled(false);
  TStagedContacts staged;
  AnsiString failure;
  try {
    ui->PBar->show();
    QCoreApplication::processEvents();
    staged = StageContacts(OutlookApp, [this](int done, int count) {
      if (done == 0) {
        ui->PBar->setRange(1, std::max(1, count));
        ui->PBar->setValue(1);
      } else {
        ui->PBar->setValue(std::min(done + 1, ui->PBar->maximum()));
      }
      QCoreApplication::processEvents();
    });
  } catch (const std::exception& error) {
    failure = error.what();
  }
  for (QWidget* button :
       {static_cast<QWidget*>(ui->BtnPrev), static_cast<QWidget*>(ui->BtnNext), static_cast<QWidget*>(ui->BtnCancel)})
    button->setEnabled(true);
  FImporting = false;

  // The book changes only once every contact has been read, and in one step.
  if (!failure.empty()) {
    MessageBoxA(nullptr,
                Format("The contacts could not be read (%s). Your address book was not changed.", failure.c_str()),
                ApplicationTitle(), MB_OK | MB_ICONERROR);
    return;
  }
  if (staged.Cards.empty()) {
    MessageBoxA(nullptr, "No contacts were found. Your address book was not changed.", ApplicationTitle(),
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  TForm_Main& main = *Form_Main;
  if (replace) main.Cards.Clear();
  main.Cards.Reserve(main.Cards.Count() + static_cast<int>(staged.Cards.size()));
  for (const TCardFields& card : staged.Cards)
    main.AddCard(this, main.Cards.Count(), card[cfSurname], card[cfFirstName], card[cfCompany], card[cfAddress],
                 card[cfCity], card[cfZip], card[cfState], card[cfCountry], card[cfPhone], card[cfCellular],
                 card[cfEmail], card[cfWebsite], card[cfNotes], card[cfPicture]);
  if (replace) main.CurrentCard = 0;
  if (staged.Changed > 0)
    MessageBoxA(nullptr,
                Format("%zu contacts were imported. %d of them held characters that your address book cannot keep; "
                       "each such character became \"?\".",
                       staged.Cards.size(), staged.Changed),
                ApplicationTitle(), MB_OK | MB_ICONINFORMATION);
}

void TFormOutlook::rbOverrideClick() {
  // The two buttons exclude each other: choosing append clears the replace choice.
  if (ui->rbOverride->isChecked() && !ConfirmOverride()) ui->rbAppend->setChecked(true);
}
