#include "Form_Options.h"

#include <QCheckBox>
#include <QIcon>

#include "BookTools.h"
#include "Dialogs.h"
#include "Files.h"
#include "FormFrame.h"
#include "FormResources.h"
#include "Form_Export.h"
#include "Form_Grid.h"
#include "Form_Outlook.h"
#include "Menus.h"
#include "QMWave.h"
#include "RegLib.h"
#include "TextLib.h"
#include "Unit_Extensions.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "ui_Form_Options.h"

namespace {

// The product's web site, scrambled as the program stores it.
constexpr const char* kWebSite = "VXQcPPPTPSTYQUPPUYQSPYPQPRQdQSTfTbQdQYPcQdQcPYTa";

constexpr TColor kSortCaption = static_cast<TColor>(0xE6FFFD);
constexpr TColor kSortedCaption = static_cast<TColor>(0xC0C0C0);

void SetCaptionColour(TVxSpeedButton* button, TColor colour) {
  TFont font = button->Font();
  font.Color = colour;
  button->SetFont(font);
}

// The backup dialogs' common settings.
OpenDialogRequest BackupDialog(bool save) {
  OpenDialogRequest request;
  request.Title = save ? "Backup Address Book" : "Restore Address Book";
  request.Filter = "Address Book Backup|*.bkp";
  request.InitialDir = ProgramFolder();
  request.FileName = "Address Book Backup";
  request.DefaultExt = "bkp";
  request.Save = save;
  return request;
}

}  // namespace

TFormOptions* FormOptions = nullptr;

TFormOptions::TFormOptions(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TFormOptions>()) {
  FormOptions = this;
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Dialog, bsDialog, {}));
  setFixedSize(388, 328);
  KeyPreview = true;
  LoadedControls(this);
  auto* components = new TComponent();
  components->setParent(this);
  WaveSort = new TQMWave(components);
  LoadWaveResource(*WaveSort, ":/sounds/WaveSort.wavedata");
  CreateMenus();
  connect(ui->CheckSound, &QCheckBox::toggled, this, [this] { CheckSoundClick(ui->CheckSound); });
  ui->VxBtnSort->OnClick = [this](QObject* sender) { SButtonShortClick(sender); };
  ui->VxSpeedButton1->OnClick = [this](QObject* sender) { VxSpeedButton1Click(sender); };
  ui->VxBtnVisit->OnClick = [this](QObject* sender) { SButtonVisitClick(sender); };
  ui->VxBtnClose->OnClick = [this](QObject* sender) { Button_CloseClick(sender); };
  FormCreate();
}

TFormOptions::~TFormOptions() {
  delete FFormOutlook;
  delete FFormExport;
  if (FormOptions == this) FormOptions = nullptr;
}

void TFormOptions::CreateMenus() {
  auto* owner = new TComponent();
  owner->setParent(this);
  const char* images[] = {":/glyphs/web-16.png",    ":/glyphs/print-16.png",  ":/glyphs/restore-16.png",
                          ":/glyphs/backup-16.png", ":/glyphs/import-16.png", ":/glyphs/export-16.png"};
  auto item = [&](TPopupMenu* menu, const char* caption, int image, void (TFormOptions::*handler)(QObject*)) {
    TMenuItem* added = menu->Add(caption, [this, handler](QObject* sender) { (this->*handler)(sender); });
    added->Action()->setIcon(QIcon(QString::fromLatin1(images[image])));
  };
  pmImpExp = new TPopupMenu(owner);
  item(pmImpExp, "Import from vCard", 4, &TFormOptions::Import1Click);
  item(pmImpExp, "Export to CSV", 5, &TFormOptions::Export1Click);
  pmBackup = new TPopupMenu(owner);
  item(pmBackup, "Backup Address Book", 3, &TFormOptions::BackupAddressBook1Click);
  item(pmBackup, "Restore Address Book", 2, &TFormOptions::RestoreAddressBook1Click);
  PopupMenuExport = new TPopupMenu(owner);
  item(PopupMenuExport, "Export and view in browser", 0, &TFormOptions::Toprinter1Click);
  item(PopupMenuExport, "Export and send to printer", 1, &TFormOptions::Sendtoprinter1Click);
  ui->VxBtnImpExp->SetDropDownMenu(pmImpExp);
  ui->VxBtnBackup->SetDropDownMenu(pmBackup);
  ui->VxBtnHTML->SetDropDownMenu(PopupMenuExport);
}

void TFormOptions::FormCreate() {
  FFrame = new TSecondaryFrame(this, true, true, true);
  FFrame->SetSchemeImages(ui->Image_Bck, ui->Image_Tp);
  FFrame->RefreshScheme();
}

void TFormOptions::FormActivate() {
  FFrame->RefreshScheme();
  ClearFocus();
  SetCaptionColour(ui->VxBtnSort, kSortCaption);
  {
    TRegLib settings;
    ui->CheckSound->setChecked(settings.ReadInteger(kSettingsKey, "PlaySounds", 1, true) != 1);
  }
  ClearFocus();
}

void TFormOptions::CheckSoundClick(QObject*) {
  if (Form_Main) Form_Main->SoundsOn = !ui->CheckSound->isChecked();
}

void TFormOptions::FormClose() {
  TRegLib settings;
  const bool on = !ui->CheckSound->isChecked();
  settings.WriteInteger(kSettingsKey, "PlaySounds", on ? 1 : 0);
  if (Form_Main) Form_Main->SoundsOn = on;
}

void TFormOptions::FormKeyPress(char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    Close();
  }
}

void TFormOptions::SButtonShortClick(QObject*) {
  if (!Form_Main) return;
  SortCards(Form_Main->Cards);
  Form_Main->SoundPlay(WaveSort);
  SetCaptionColour(ui->VxBtnSort, kSortedCaption);
}

void TFormOptions::BackupAddressBook1Click(QObject*) {
  if (!Form_Main) return;
  if (std::optional<AnsiString> file = ExecuteOpenDialog(BackupDialog(true))) {
    try {
      WriteBackupFile(Form_Main->Cards, *file, Form_Main->BookFile, Form_Main->BackupFile);
    } catch (const std::exception& error) {
      HandleException(error);
    }
  }
  ClearFocus();
}

void TFormOptions::RestoreAddressBook1Click(QObject*) {
  if (!Form_Main) return;
  if (const std::optional<AnsiString> file = ExecuteOpenDialog(BackupDialog(false))) {
    try {
      TBackupContents contents = ReadBackupFile(*file);
      const bool restore =
          contents.IsBook ||
          MessageBoxA(nullptr,
                      Format("\"%s\" is not an address book backup: its first line is not \"%.*s\".\r\n"
                             "Restore it all the same? Your address book is then replaced by every further line "
                             "of the file.",
                             ExtractFileName(*file).c_str(), static_cast<int>(kBookHeader.size()), kBookHeader.data()),
                      ApplicationTitle(), MB_YESNO | MB_ICONWARNING) == IDYES;
      if (restore) Form_Main->Cards = std::move(contents.Cards);
    } catch (const std::exception& error) {
      HandleException(error);
    }
  }
  ClearFocus();
}

void TFormOptions::VxSpeedButton1Click(QObject*) {
  if (!Form_Main) return;
  if (Form_Main->SayIfBookEmpty()) return;
  TFormGrid& grid = Form_Main->ListView();
  grid.Opener = this;
  grid.ShowModal();  // it centres itself on its opener; a card chosen there is not taken
  ClearFocus();
}

void TFormOptions::Export1Click(QObject*) {
  if (!FFormExport) FFormExport = new TFormExport;
  FFormExport->ShowModal();
  ClearFocus();
}

void TFormOptions::Import1Click(QObject*) {
  if (!FFormOutlook) FFormOutlook = new TFormOutlook;
  FFormOutlook->ShowModal();
  ClearFocus();
}

void TFormOptions::Toprinter1Click(QObject*) {
  if (Form_Main) MakeWebPage(Form_Main->Cards, false, this);
}

void TFormOptions::Sendtoprinter1Click(QObject*) {
  if (Form_Main) MakeWebPage(Form_Main->Cards, true, this);
}

void TFormOptions::SButtonVisitClick(QObject*) {
  ExecuteFile(this, HexXorToText(kWebSite));
}

void TFormOptions::Button_CloseClick(QObject*) {
  Close();
}
