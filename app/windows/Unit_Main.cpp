#include "Unit_Main.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "Application.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Files.h"
#include "FormResources.h"
#include "Form_About.h"
#include "Form_Grid.h"
#include "Form_Img.h"
#include "Form_Navigate.h"
#include "Form_Options.h"
#include "Form_Print.h"
#include "Form_PrintDlg.h"
#include "Form_Search.h"
#include "Jpeg.h"
#include "Menus.h"
#include "Pictures.h"
#include "QMTrayIcon.h"
#include "QMWave.h"
#include "RegLib.h"
#include "StdCtrls.h"
#include "TFlatHintUnit.h"
#include "Termination.h"
#include "Tray.h"
#include "VXCtrls.h"
#include "ui_Unit_Main.h"

namespace {

// Resource colours of the card fields ($BBGGRR): as streamed, with the focus, after the focus.
const QColor kFieldColour(0xDF, 0xDF, 0xFF);
const QColor kFocusedFieldColour(0xFF, 0xFF, 0xFF);
const QColor kLeftFieldColour(0xD7, 0xD7, 0xFF);

AnsiString TextOf(const QLineEdit* edit) {
  return QStringToAnsi(edit->text()).value_or(AnsiString());
}

AnsiString TextOf(const QPlainTextEdit* edit) {
  // The notes keep their line breaks as CR LF, as the platform's multi-line edit does.
  QString text = edit->toPlainText();
  text.replace(u'\n', QStringLiteral("\r\n"));
  return QStringToAnsi(text).value_or(AnsiString());
}

void SetText(TEdit* edit, const AnsiString& text) {
  edit->setText(AnsiToQString(text));
}

void SetText(QPlainTextEdit* edit, const AnsiString& text) {
  // What the book holds always fits the notes.
  QString plain = AnsiToQString(text);
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  edit->setPlainText(plain);
}

void SetFieldColour(QWidget* field, const QColor& colour) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, colour);
  field->setPalette(palette);
  // The notes draw on their viewport, which the style sheet gave a palette of its own.
  if (auto* notes = qobject_cast<QPlainTextEdit*>(field)) {
    QPalette surface = notes->viewport()->palette();
    surface.setColor(QPalette::Base, colour);
    notes->viewport()->setPalette(surface);
  }
}

}  // namespace

TForm_Main::TForm_Main(QWidget* parent) : TForm(parent), ui(std::make_unique<Ui::TForm_Main>()) {
  Form_Main = this;
  SetApplicationMainForm(this);
  ui->setupUi(this);
  setWindowFlags(BorderWindowFlags(Qt::Window, bsSingle, {biSystemMenu, biMinimize}));
  setFixedSize(500, 360);
  setAttribute(Qt::WA_QuitOnClose);
  KeyPreview = true;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  LoadedControls(this);
  for (QWidget* field : CardFields()) {
    field->ensurePolished();  // the style sheet's polish would replace the colour
    SetFieldColour(field, kFieldColour);
    field->installEventFilter(this);
  }
  // The separator of the card line is no character of a field.
  for (TEdit* edit : findChildren<TEdit*>()) edit->SetRefusedChars(AnsiString(1, kFieldSeparator));
  ui->Edit_Comments->SetRefusedChars(AnsiString(1, kFieldSeparator));
  ui->Edit_Comments->setTabChangesFocus(true);
  ui->BitMap_Main->SetCenter(true);
  FPictureLoader = new TJpegLoader(this);
  ui->BitMap_Main->installEventFilter(this);
  ui->LabelName->installEventFilter(this);
  ui->Label8->installEventFilter(this);
  CreateComponents();
  ConnectHandlers();
  FormCreate();
  ApplicationMainFormCreated();
}

TForm_Main* Form_Main = nullptr;

const TStringList& MainWindowCards() {
  static const TStringList noCards;
  return Form_Main ? Form_Main->Cards : noCards;
}

TForm_Main::~TForm_Main() {
  if (!FDestroyed) FormDestroy();
  delete FormNavigate;
  delete FormSearch;
  delete FormPrintDlg;
  delete FormPrint;
  delete FormGrid;
  if (Form_Main == this) Form_Main = nullptr;
}

// ---- creation, activation, destruction ----

void TForm_Main::CreateComponents() {
  FComponents = new TComponent();
  FComponents->setParent(this);
  auto wave = [this](const char* resource) {
    auto* w = new TQMWave(FComponents);
    LoadWaveResource(*w, resource);
    return w;
  };
  WaveMoveCard = wave(":/sounds/WaveMoveCard.wavedata");
  WaveDelete = wave(":/sounds/WaveDelete.wavedata");
  WaveUndoOk = wave(":/sounds/WaveUndoOk.wavedata");
  WaveUndoFailure = wave(":/sounds/WaveUndoFailure.wavedata");
  WaveDeleteImage = wave(":/sounds/WaveDeleteImage.wavedata");

  FTrayMenu = new TPopupMenu(FComponents);
  FTrayMenu->Add("Open address book ", [this](QObject* s) { CmOpenClick(s); })->SetDefault(true);
  FTrayMenu->AddSeparator();
  FTrayMenu->Add("Minimize to Tray", [this](QObject* s) { MinimizetoTray1Click(s); });
  FTrayMenu->Add("Save and Exit", [this](QObject* s) { CmCloseClick(s); });
  FTrayIcon = new TQMTrayIcon(FComponents);
  TIcon icon;
  icon.SetImage(ProgramIcon());
  FTrayIcon->SetHint("The Velmora Address Book");
  FTrayIcon->SetIcon(&icon);
  FTrayIcon->SetPopupMenu(FTrayMenu);
  FTrayIcon->SetShowApplication(true);
  FTrayIcon->SetVisible(true);
  FTrayIcon->Loaded();

  // Every hint of the program shows in the flat hint window, with these settings.
  FlatHint1 = new TFlatHint(FComponents);
  FlatHint1->MaxHintWidth = 300;
  TFont hintFont;
  hintFont.Handle = QFont(QStringLiteral("MS Sans Serif"));
  hintFont.Handle.setPixelSize(11);
  hintFont.Color = clWindowText;
  FlatHint1->SetFont(hintFont);

  FImageMenu = new TPopupMenu(FComponents);
  FImageMenu->OnPopup = [this](QObject* s) { ImageMenuPopup(s); };
  OptLoadNewImage = FImageMenu->Add("Load new image", [this](QObject* s) { OptLoadNewImageClick(s); });
  OptLoadNewImageFit = FImageMenu->Add("Load image, fit better ", [this](QObject* s) { OptLoadNewImageClick(s); });
  OptLoadNewImageFit->SetDefault(true);
  OptLoadNewImage->SetHint("Load an image stretching it to 150x160");
  OptLoadNewImageFit->SetHint("Load an image trying to fit it without real dirtortion");
  OptDeletecurrentImage =
      FImageMenu->Add("Delete current image", [this](QObject* s) { OptDeletecurrentImageClick(s); });
  OptDeletecurrentImage->SetHint("Delete current image from the list");
  FImageMenu->AddSeparator();
  FImageMenu->Add("Clipart Browser !", [this](QObject* s) { BrowseImagesClick(s); });
  FImageMenu->Add("Next Image", [this](QObject*) { ui->Button_NextImage->Click(); });
  FImageMenu->Add("Previous Image", [this](QObject*) { ui->Button_PrevImage->Click(); });
  CreateDialComponents();
}

void TForm_Main::ConnectHandlers() {
  auto bind = [this](TVxSpeedButton* button, void (TForm_Main::*handler)(QObject*)) {
    button->OnClick = [this, handler](QObject* sender) { (this->*handler)(sender); };
  };
  bind(ui->Button_New, &TForm_Main::Button_NewClick);
  bind(ui->Button_Undo, &TForm_Main::Button_UndoClick);
  bind(ui->Button_List, &TForm_Main::Button_ListClick);
  bind(ui->VxSpeedButton3, &TForm_Main::VxSpeedButton3Click);
  bind(ui->Button_Previous, &TForm_Main::Button_PreviousClick);
  bind(ui->Button_Next, &TForm_Main::Button_NextClick);
  bind(ui->Button_Search, &TForm_Main::Button_SearchClick);
  bind(ui->Button1, &TForm_Main::Button1Click);
  bind(ui->Button_Delete, &TForm_Main::Button_DeleteClick);
  bind(ui->Button_Tools, &TForm_Main::Button_ToolsClick);
  bind(ui->Button_About, &TForm_Main::Button_AboutClick);
  bind(ui->Button_Exit, &TForm_Main::Button_ExitClick);
  bind(ui->Button_NextScheme, &TForm_Main::Button_NextSchemeClick);
  bind(ui->Button_PrevScheme, &TForm_Main::Button_PrevSchemeClick);
  bind(ui->Button_NextImage, &TForm_Main::Button_NextImageClick);
  bind(ui->Button_PrevImage, &TForm_Main::Button_PrevImageClick);
  bind(ui->SButtonDial, &TForm_Main::SButtonDialClick);
  bind(ui->SButtonEmail, &TForm_Main::SButtonEmailClick);
  bind(ui->VxSpeedButton2, &TForm_Main::SButtonVisitClick);
  bind(ui->VxBtnHelp, &TForm_Main::SpeedButton1Click);
}

void TForm_Main::FormCreate() {
  SoundsOn = true;
  MuteNewSound = false;
  Settings = std::make_unique<TRegLib>();
  DefaultImage = 0;
  ProgramFolder = ::ProgramFolder();
  SkinsFolder = ProgramFolder + "skins/";
  ImagesFolder = ProgramFolder + "images/";
  Settings->WriteString(kSettingsKey, "InstallPath", ProgramFolder);
  Settings->WriteString(kSettingsKey, "Version", AnsiString(kBookHeader));
  SoundsOn = Settings->ReadInteger(kSettingsKey, "PlaySounds", 1, true) == 1;
  SkinIndex = std::max(0, Settings->ReadInteger(kSettingsKey, "CurrentSkin", 0, true));
  // A name with a folder part could reach any file: it is replaced as a missing one would be.
  const AnsiString setting = Settings->ReadString(kSettingsKey, "AddressBook", NewBookFileName(), true);
  const BookPaths book = BookPathsFor(ProgramFolder, setting);
  if (book.Replaced) Settings->WriteString(kSettingsKey, "AddressBook", book.Name);
  BookFile = book.BookFile;
  BackupFile = book.BackupFile;
  RemoveStaleSaveFiles(BookFile, BackupFile);
  FBookLoad = LoadBook(Cards, BookFile, BackupFile);
  FStartNotice = SettleLoadedBook(FBookLoad, BookFile, BackupFile, Cards.Count());
  if (book.Replaced) {
    const AnsiString loaded = Cards.Count() == 0 ? AnsiString("an empty book") : CardCountText(Cards.Count());
    FStartNotice = Format(
                       "The setting \"AddressBook\" held \"%s\", which is not the name of a file in the program "
                       "folder. The address book \"%s\" is used instead, with %s; the file the setting named was "
                       "not touched.",
                       setting.c_str(), BookFile.c_str(), loaded.c_str()) +
                   (FStartNotice.empty() ? "" : "\n\n" + FStartNotice);
  }
  CollectSchemes();
  CollectPictures();
}

void TForm_Main::FormActivate() {
  ClearFocus();
  UndoIndex = -1;
  ShowCard(this, CurrentCard);
  // What the start found is said once, over the window and its first card.
  if (!FStartNotice.empty()) QTimer::singleShot(0, this, [this] { ShowStartNotice(); });
}

void TForm_Main::ShowStartNotice() {
  const AnsiString notice = std::exchange(FStartNotice, AnsiString());
  if (!notice.empty()) MessageBoxA(nullptr, notice, ApplicationTitle(), MB_OK | MB_ICONWARNING);
}

void TForm_Main::FormClose() {
  // Every way of ending the program keeps the card on view.
  if (Modified) Button_SaveClick(this);
  TerminateApplication();
}

void TForm_Main::SaveForSessionEnd() {
  if (Modified) Button_SaveClick(this);
  const BookSave save = SaveBook(Cards, BookFile, BackupFile, FBookLoad);
  if (!save.Outcome) std::fprintf(stderr, "%s\n", save.Outcome.Error().c_str());
  // No box while the session ends: the user hears of it at exit.
  if (!save.Notice.empty()) FPendingNotice = save.Notice;
}

void TForm_Main::FormDestroy() {
  FDestroyed = true;
  // A request to end from here on is remembered, not obeyed at once: the cards are saved first.
  const TTerminationWatch finishFirst(nullptr);
  if (Settings) Settings->WriteInteger(kSettingsKey, "CurrentSkin", SkinIndex);
  SaveAtExit();
  Settings.reset();
}

void TForm_Main::SaveAtExit() {
  const auto tell = [this](const AnsiString& notice) {
    if (!notice.empty()) FPendingNotice += (FPendingNotice.empty() ? "" : "\n\n") + notice;
  };
  // A start notice that never got its turn still belongs to this run.
  FPendingNotice = std::exchange(FStartNotice, AnsiString()) + (FPendingNotice.empty() ? "" : "\n\n") + FPendingNotice;
  for (;;) {
    const BookSave save = SaveBook(Cards, BookFile, BackupFile, FBookLoad);
    tell(save.Notice);
    if (save.Outcome) break;
    const int answer = MessageBoxA(nullptr,
                                   save.Outcome.Error() +
                                       "\n\nRetry saves again (after you have freed some disk space, for instance); "
                                       "Cancel ends without saving the cards of this session.",
                                   ApplicationTitle(), MB_RETRYCANCEL | MB_ICONERROR);
    // Asked to end, before the box or while it was up: nobody is there to answer, so the cards go
    // wherever a rescue file can be written, and the program ends.
    if (TerminationRequested()) {
      const TResult<AnsiString> rescue = RescueCards(Cards, BookFile);
      std::fprintf(stderr, "%s\n",
                   rescue ? Format("The cards of this session were saved in \"%s\".", rescue.Value().c_str()).c_str()
                          : "The cards of this session could not be saved.");
      return;
    }
    if (answer != IDRETRY) return;
  }
  if (!FPendingNotice.empty()) MessageBoxA(nullptr, FPendingNotice, ApplicationTitle(), MB_OK | MB_ICONINFORMATION);
  FPendingNotice.clear();
}

// ---- the card line on view ----

std::vector<QWidget*> TForm_Main::CardFields() const {
  return {ui->Edit_SurName, ui->Edit_Name,    ui->Edit_Address, ui->Edit_City, ui->Edit_Zip,
          ui->Edit_State,   ui->Edit_Country, ui->Edit_Phone,   ui->Edit_Fax,  ui->Edit_Company,
          ui->Edit_Email,   ui->Edit_WebSite, ui->Edit_Comments};
}

void TForm_Main::AddCard(QObject*, int Index, const AnsiString& SurName, const AnsiString& Name,
                         const AnsiString& Company, const AnsiString& Address, const AnsiString& City,
                         const AnsiString& Zip, const AnsiString& State, const AnsiString& Country,
                         const AnsiString& Phone, const AnsiString& Cellular, const AnsiString& Email,
                         const AnsiString& WebSite, const AnsiString& Notes, const AnsiString& Picture) {
  const AnsiString line = BuildCardLine(
      {SurName, Name, Company, Address, City, Zip, State, Country, Phone, Cellular, Email, WebSite, Picture, Notes});
  if (Index > Cards.Count() - 1) {
    Cards.Add(line);
    ++CurrentCard;
    RefreshCounter();
  } else {
    Cards.Put(Index, line);
  }
  Modified = false;
}

void TForm_Main::ShowCard(QObject*, int Index) {
  TEdit* const edits[kEditFieldCount] = {ui->Edit_SurName, ui->Edit_Name, ui->Edit_Company, ui->Edit_Address,
                                         ui->Edit_City,    ui->Edit_Zip,  ui->Edit_State,   ui->Edit_Country,
                                         ui->Edit_Phone,   ui->Edit_Fax,  ui->Edit_Email,   ui->Edit_WebSite};
  CardView view;
  if (Cards.Count() == 0) {
    for (TEdit* edit : edits) edit->clear();
    ui->Edit_Comments->clear();
  } else if (Index >= 0 && Index < Cards.Count()) {
    view = ReadCardView(Cards[Index]);
    for (int i = 0; i < kEditFieldCount; ++i)
      if (view.HasField(i)) SetText(edits[i], view.Edits[static_cast<std::size_t>(i)]);
    if (view.HasField(cfNotes)) SetText(ui->Edit_Comments, view.Notes);
    // A card without a ".JPG" picture of its own shows the default one and keeps its slot.
    CardPicture = view.PictureSlot;
    const AnsiString own = ImagesFolder + CardPicture;
    if (IsJpgPictureName(CardPicture) && FileExists(own))
      LoadCardPicture(own, [this](bool shown) {
        if (!shown) ShowDefaultPicture();
      });
    else
      ShowDefaultPicture();
  }
  Modified = false;
  RefreshCounter();
}

AnsiString TForm_Main::FormatCardNumber() const {
  return ::FormatCardNumber(CurrentCard, Cards.Count());
}

void TForm_Main::RefreshCounter() {
  ui->Label_CardNo->setText(AnsiToQString(FormatCardNumber()));
}

void TForm_Main::SoundPlay(TQMWave* Wave) {
  if (!Wave || !SoundsOn) return;
  try {
    Wave->Play();
  } catch (const std::exception&) {
    // a sound that cannot play is left out
  }
}

void TForm_Main::LoadCardPicture(const AnsiString& fileName, TPictureShown shown) {
  const bool done =
      FPictureLoader->Load(fileName, [this, shown = std::move(shown)](const QImage& picture, bool loaded) {
        if (loaded) ui->BitMap_Main->SetPicture(picture);
        if (shown) shown(loaded);
      });
  // The card on view never shows the picture of the one before while its own decodes.
  if (!done) ui->BitMap_Main->Clear();
}

void TForm_Main::ShowPictureOrDefault(const AnsiString& file, TPictureShown shown) {
  if (FileExists(file))
    LoadCardPicture(file, std::move(shown));
  else
    ShowDefaultPicture(std::move(shown));
}

void TForm_Main::ShowDefaultPicture(TPictureShown shown) {
  if (DefaultImage < static_cast<int>(ImageFiles.size())) {
    LoadCardPicture(ImageFiles[static_cast<std::size_t>(DefaultImage)], std::move(shown));
    return;
  }
  FPictureLoader->Cancel();
  if (ImageFiles.empty()) ui->BitMap_Main->Clear();
  if (shown) shown(false);
}

// ---- card commands ----

void TForm_Main::Button_SaveClick(QObject* Sender) {
  if (!Trim(TextOf(ui->Edit_SurName)).empty())
    AddCard(Sender, CurrentCard, TextOf(ui->Edit_SurName), TextOf(ui->Edit_Name), TextOf(ui->Edit_Company),
            TextOf(ui->Edit_Address), TextOf(ui->Edit_City), TextOf(ui->Edit_Zip), TextOf(ui->Edit_State),
            TextOf(ui->Edit_Country), TextOf(ui->Edit_Phone), TextOf(ui->Edit_Fax), TextOf(ui->Edit_Email),
            TextOf(ui->Edit_WebSite), TextOf(ui->Edit_Comments), CardPicture);
  Modified = false;
}

void TForm_Main::LeaveCard() {
  UndoIndex = -1;
  if (Modified) Button_SaveClick(this);
}

void TForm_Main::Button_NewClick(QObject*) {
  UndoIndex = -1;
  if (!MuteNewSound) SoundPlay(WaveMoveCard);
  MuteNewSound = false;
  if (Modified) Button_SaveClick(this);
  for (QWidget* field : CardFields()) {
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->clear();
  }
  ui->Edit_Comments->clear();
  ui->Edit_SurName->setFocus(Qt::OtherFocusReason);
  if (DefaultImage < static_cast<int>(ImageFiles.size())) {
    const AnsiString picture = ImageFiles[static_cast<std::size_t>(DefaultImage)];
    if (FileExists(picture))
      LoadCardPicture(picture, [this, picture](bool shown) {
        if (!shown) return;
        CardPicture = picture;
        CurrentImage = DefaultImage;
      });
  }
  CurrentCard = Cards.Count();
  RefreshCounter();
  Modified = true;
}

void TForm_Main::Button_NextClick(QObject*) {
  SoundPlay(WaveMoveCard);
  LeaveCard();
  ClearFocus();
  if (CurrentCard >= Cards.Count() - 1) CurrentCard = -1;
  if (CurrentCard < Cards.Count() - 1) {
    ++CurrentCard;
    ShowCard(this, CurrentCard);
  }
  if (CurrentCard < 0) CurrentCard = 0;
  Modified = false;
}

void TForm_Main::Button_PreviousClick(QObject*) {
  SoundPlay(WaveMoveCard);
  LeaveCard();
  ClearFocus();
  if (CurrentCard == 0) CurrentCard = Cards.Count();
  if (CurrentCard > 0) {
    --CurrentCard;
    ShowCard(this, CurrentCard);
  }
  Modified = false;
}

void TForm_Main::FirstCard() {
  LeaveCard();
  ClearFocus();
  CurrentCard = 0;
  ShowCard(this, CurrentCard);
  Modified = false;
}

void TForm_Main::LastCard() {
  LeaveCard();
  ClearFocus();
  CurrentCard = std::max(0, Cards.Count() - 1);
  ShowCard(this, CurrentCard);
  Modified = false;
}

void TForm_Main::Button_DeleteClick(QObject*) {
  Modified = false;
  bool startNew = true;
  if (CurrentCard >= 0 && CurrentCard < Cards.Count()) {
    SoundPlay(WaveDelete);
    UndoIndex = CurrentCard;
    UndoList = Cards;
    Cards.Delete(CurrentCard);
    if (CurrentCard > Cards.Count() - 1) --CurrentCard;
    if (CurrentCard >= 0 && Cards.Count() > 0) {
      ShowCard(this, CurrentCard);
      startNew = false;
    } else {
      CurrentCard = 0;
      Cards.Clear();
    }
  }
  if (startNew) {
    MuteNewSound = true;
    Button_NewClick(this);
  }
  Modified = false;
  QCoreApplication::processEvents();
  QThread::msleep(200);
}

void TForm_Main::Button_UndoClick(QObject*) {
  if (UndoIndex != -1) {
    if (UndoList.Count() > 0) {
      CurrentCard = UndoIndex;
      Cards = UndoList;
      ShowCard(this, CurrentCard);
      SoundPlay(WaveUndoOk);
    } else {
      SoundPlay(WaveUndoFailure);
    }
    return;
  }
  if (CurrentCard >= Cards.Count()) {
    Modified = false;
    Button_NewClick(this);
    SoundPlay(WaveUndoFailure);
  } else if (Modified) {
    ShowCard(this, CurrentCard);
    SoundPlay(WaveUndoOk);
  } else {
    SoundPlay(WaveUndoFailure);
  }
}

void TForm_Main::Button_ExitClick(QObject*) {
  if (Modified) Button_SaveClick(this);
  Close();
}

// ---- launchers of the secondary windows ----

void TForm_Main::Button_ToolsClick(QObject*) {
  LeaveCard();
  if (!FormOptions) FOwnedFormOptions = std::make_unique<TFormOptions>();
  const QPoint client = mapToGlobal(QPoint(0, 0));
  const QPoint button = ui->Button_Tools->mapToGlobal(QPoint(0, 0));
  FormOptions->move(client.x() + 48, button.y() + ui->Button_Tools->height() / 4);
  FormOptions->ShowModal();
  ShowCard(this, CurrentCard);
  ClearFocus();
}

void TForm_Main::Button_AboutClick(QObject*) {
  if (!FormAbout) FOwnedFormAbout = std::make_unique<TFormAbout>();
  const QPoint client = mapToGlobal(QPoint(0, 0));
  const QPoint tools = ui->Button_Tools->mapToGlobal(QPoint(0, 0));
  FormAbout->move(client.x() + 50, tools.y() + ui->Button_Tools->height() / 4);
  FormAbout->ShowModal();
  ClearFocus();
}

void TForm_Main::TakeBackCard(int selected) {
  if (selected >= 0 && selected < Cards.Count()) {
    CurrentCard = selected;
    ShowCard(this, CurrentCard);
  }
}

void TForm_Main::Button_ListClick(QObject*) {
  UndoIndex = -1;
  if (!FormNavigate) FormNavigate = new TFormNavigate;
  if (Modified) Button_SaveClick(this);
  if (Cards.Count() == 0) return;
  const QPoint client = mapToGlobal(QPoint(0, 0));
  const QPoint button = ui->Button_List->mapToGlobal(QPoint(0, 0));
  FormNavigate->move(client.x() + 80, button.y() + ui->Button_List->height() / 4);
  FormNavigate->ShowModal();
  TakeBackCard(FormNavigate->SelectedCard);
}

void TForm_Main::Button_SearchClick(QObject*) {
  if (!FormSearch) FormSearch = new TFormSearch;
  UndoIndex = -1;
  if (Modified) Button_SaveClick(this);
  if (Cards.Count() == 0) return;
  const QPoint client = mapToGlobal(QPoint(0, 0));
  const QPoint button = ui->Button_Search->mapToGlobal(QPoint(0, 0));
  FormSearch->move(client.x() + 110, button.y() + ui->Button_Search->height() / 2 - 6);
  FormSearch->ShowModal();
  TakeBackCard(FormSearch->SelectedCard);
}

TFormGrid& TForm_Main::ListView() {
  if (!FormGrid) FormGrid = new TFormGrid;
  return *FormGrid;
}

bool TForm_Main::SayIfBookEmpty() const {
  if (Cards.Count() > 0) return false;
  MessageBoxA(nullptr, "Your Address Book is Empty - ZuruVavad is not available", ApplicationTitle(), MB_OK);
  return true;
}

void TForm_Main::VxSpeedButton3Click(QObject*) {
  LeaveCard();
  if (SayIfBookEmpty()) return;
  if (!FormGrid) FormGrid = new TFormGrid;
  FormGrid->Opener = this;
  FormGrid->ShowModal();  // it centres itself on its opener
  ClearFocus();
  TakeBackCard(FormGrid->SelectedCard);
}

void TForm_Main::Button1Click(QObject*) {
  LeaveCard();
  if (SayIfBookEmpty()) return;
  if (!FormPrint) FormPrint = new TFormPrint;
  if (!FormPrintDlg) FormPrintDlg = new TFormPrintDlg(FormPrint);
  FormPrintDlg->move(frameGeometry().center() - FormPrintDlg->rect().center());
  FormPrintDlg->ShowModal();
}

// ---- keys ----

bool TForm_Main::NotesHaveFocus() const {
  return QApplication::focusWidget() == ui->Edit_Comments;
}

bool TForm_Main::NoControlHasFocus() const {
  const QWidget* focused = QApplication::focusWidget();
  return !focused || focused == this || !isAncestorOf(focused);
}

void TForm_Main::FormKeyDown(unsigned short& Key, TShiftState Shift) {
  if (NotesHaveFocus()) return;
  const bool ctrlAlone = Shift == ssCtrl;
  bool acted = true;
  switch (Key) {
    case VK_PRIOR:
      ui->Button_Previous->Click();
      break;
    case VK_NEXT:
      ui->Button_Next->Click();
      break;
    case VK_HOME:
      acted = NoControlHasFocus();
      if (acted) FirstCard();
      break;
    case VK_END:
      acted = NoControlHasFocus();
      if (acted) LastCard();
      break;
    case 'N':
      acted = ctrlAlone;
      if (acted) ui->Button_New->Click();
      break;
    case 'Z':
      acted = ctrlAlone;
      if (acted) ui->Button_Undo->Click();
      break;
    case VK_F1:
      ui->VxBtnHelp->Click();
      break;
    default:
      acted = false;
      break;
  }
  // A key the window acted on does nothing more: Ctrl+Z must not also undo in the field.
  if (acted) Key = 0;
}

void TForm_Main::FormKeyPress(char& Key) {
  if (Key == '\r' && !NotesHaveFocus()) {
    Key = 0;
    PostMessage(WM_NEXTDLGCTL, 0, 0);
  }
}

namespace {

bool IsLeftClick(const QEvent* event, const QWidget* widget) {
  if (event->type() != QEvent::MouseButtonRelease) return false;
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  return mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint());
}

// Focus moving with the window's activation or a pop-up menu is no focus change of the form's.
bool IsFormFocusChange(const QEvent* event) {
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->BitMap_Main) {
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
      BrowseImagesClick(watched);
    if (event->type() == QEvent::ContextMenu) {
      const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
      FImageMenu->Popup(menuEvent->globalPos().x(), menuEvent->globalPos().y());
      return true;
    }
  } else if (watched == ui->LabelName) {
    if (IsLeftClick(event, ui->LabelName)) LabelNameClick(watched);
  } else if (watched == ui->Label8) {
    if (IsLeftClick(event, ui->Label8)) Button_NextSchemeClick(watched);
  } else if (event->type() == QEvent::FocusIn && IsFormFocusChange(event)) {
    SetFieldColour(static_cast<QWidget*>(watched), kFocusedFieldColour);
  } else if (event->type() == QEvent::FocusOut && IsFormFocusChange(event)) {
    SetFieldColour(static_cast<QWidget*>(watched), kLeftFieldColour);
  } else if (event->type() == QEvent::KeyPress) {
    // Edit_KeyPress: every character that reaches a field marks the card.
    if (KeyPressCharOf(*static_cast<QKeyEvent*>(event)) != 0) Modified = true;
  }
  return TForm::eventFilter(watched, event);
}

// ---- tray and minimising ----

void TForm_Main::HandleSysCommand(TMessage& Message) {
  // Without a notification area nothing could bring a hidden window back: it is minimised instead.
  if (Message.WParam == SC_MINIMIZE && QSystemTrayIcon::isSystemTrayAvailable()) {
    ShowApplicationWindow(false);
    hide();
    return;
  }
  TForm::HandleSysCommand(Message);
}

void TForm_Main::CmOpenClick(QObject*) {
  ShowApplicationWindow(true);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void TForm_Main::MinimizetoTray1Click(QObject*) {
  PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TForm_Main::CmCloseClick(QObject*) {
  Close();
}

// ---- colour schemes ----

void TForm_Main::CollectSchemes() {
  try {
    SkinFiles = CollectSchemeFiles(SkinsFolder);
    SchemeCount = static_cast<int>(SkinFiles.size()) / 2;
    SkinIndex = StartSchemeIndex(SkinIndex, SchemeCount);
  } catch (const std::exception&) {
    SkinIndex = -1;
  }
  if (SkinIndex != -1) ShowScheme();
}

void TForm_Main::ShowScheme() {
  auto load = [](TImage* image, const AnsiString& file) {
    try {
      TJPEGImage jpeg;
      jpeg.LoadFromFile(file);
      image->SetPicture(jpeg.Bitmap());
    } catch (const std::exception&) {
      // the previous picture stays
    }
  };
  load(ui->Image_Back, SkinFiles[static_cast<std::size_t>(2 * SkinIndex)]);
  load(ui->Image_Top, SkinFiles[static_cast<std::size_t>(2 * SkinIndex + 1)]);
}

void TForm_Main::Button_NextSchemeClick(QObject*) {
  if (SkinIndex == -1) return;
  SkinIndex = NextSchemeIndex(SkinIndex, SchemeCount);
  ShowScheme();
}

void TForm_Main::Button_PrevSchemeClick(QObject*) {
  if (SkinIndex == -1) return;
  SkinIndex = PreviousSchemeIndex(SkinIndex, SchemeCount);
  ShowScheme();
}

// ---- card pictures ----

void TForm_Main::CollectPictures() {
  ImageFiles = CollectPictureFiles(ImagesFolder);
  DefaultImage = FindDefaultPicture(ImageFiles);
  ImageCount = static_cast<int>(ImageFiles.size());
  CurrentImage = ImageFiles.empty() ? -1 : 0;
}

void TForm_Main::StepImage(int index) {
  CurrentImage = index;
  CardPicture = ImageFiles[static_cast<std::size_t>(CurrentImage)];
  LoadCardPicture(CardPicture, [this](bool shown) {
    if (!shown) CardPicture.clear();
  });
}

void TForm_Main::Button_NextImageClick(QObject*) {
  SoundPlay(WaveMoveCard);
  Modified = true;
  if (CurrentImage == -1) return;
  StepImage(NextPictureIndex(CurrentImage, ImageCount));
}

void TForm_Main::Button_PrevImageClick(QObject*) {
  SoundPlay(WaveMoveCard);
  Modified = true;
  if (CurrentImage == -1) return;
  StepImage(PreviousPictureIndex(CurrentImage, ImageCount));
}

void TForm_Main::ImageMenuPopup(QObject*) {
  switch (PictureDeleteState(ExtractFileName(CardPicture))) {
    case TDeleteState::Enable:
      OptDeletecurrentImage->SetEnabled(true);
      break;
    case TDeleteState::Disable:
      OptDeletecurrentImage->SetEnabled(false);
      break;
    case TDeleteState::Unchanged:
      break;
  }
}

void TForm_Main::LabelNameClick(QObject*) {
  const QPoint corner = ui->LabelName->mapToGlobal(QPoint(0, 0));
  FImageMenu->Popup(corner.x(), corner.y());
}

void TForm_Main::OptDeletecurrentImageClick(QObject*) {
  const AnsiString path = LowerCase(ImagesFolder + ExtractFileName(CardPicture));
  if (!DeleteFile(path)) return;
  SoundPlay(WaveDeleteImage);
  const auto found = std::find_if(ImageFiles.begin(), ImageFiles.end(),
                                  [&](const AnsiString& file) { return LowerCase(file) == path; });
  if (found == ImageFiles.end()) return;
  ImageFiles.erase(found);
  --ImageCount;
  if (CurrentImage >= ImageCount) CurrentImage = ImageCount - 1;
  if (CurrentImage < 0) return;  // the only picture is gone: nothing to show instead
  CardPicture = ImageFiles[static_cast<std::size_t>(CurrentImage)];
  ShowPictureOrDefault(CardPicture, [this](bool shown) {
    if (shown) Button_SaveClick(this);
  });
}

void TForm_Main::OptLoadNewImageClick(QObject* Sender) {
  OpenDialogRequest request;
  request.Title = " Select a new picture to add to clipart";
  request.Filter = "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg";
  request.InitialDir = FLastPictureFolder;
  const std::optional<AnsiString> chosen = ExecuteOpenDialog(request);
  if (!chosen) return;
  try {
    const AnsiString& source = *chosen;
    FLastPictureFolder = source.substr(0, source.find_last_of('/') + 1);
    const AnsiString target = ImagesFolder + ExtractFileName(source);
    const bool existed = FileExists(target);
    if (!FileExists(target) || !std::filesystem::equivalent(ResolvePathForWrite(source), ResolvePathForWrite(target)))
      CopyFile(source, target, false);
    if (!FileExists(target)) return;  // nothing arrived in the picture folder
    if (Sender == OptLoadNewImage)
      StretchImage(target, 150, 160);
    else
      FitImage(target, 150, 160);
    if (existed) {
      const auto found = std::find_if(ImageFiles.begin(), ImageFiles.end(),
                                      [&](const AnsiString& file) { return LowerCase(file) == LowerCase(target); });
      if (found != ImageFiles.end()) {
        CurrentImage = static_cast<int>(found - ImageFiles.begin());
        CardPicture = *found;
      }
    } else {
      ImageFiles.push_back(target);
      ++ImageCount;
      CurrentImage = ImageCount - 1;
      CardPicture = target;
    }
    if (CurrentImage < 0) return;
    ShowPictureOrDefault(ImageFiles[static_cast<std::size_t>(CurrentImage)], [this](bool shown) {
      if (shown) Modified = true;
    });
  } catch (const std::exception&) {
    // the command stops silently
  }
}

void TForm_Main::BrowseImagesClick(QObject*) {
  if (!FormImg) FOwnedFormImg = std::make_unique<TFormImg>();
  FormImg->MainForm = this;
  FormImg->ShowModal();
  SoundPlay(WaveMoveCard);
  Modified = true;
  if (CurrentImage != -1) {
    if (CurrentImage >= ImageCount) CurrentImage = 0;
    if (CurrentImage < ImageCount) StepImage(CurrentImage);
  }
}

void TForm_Main::StretchImage(const AnsiString& FileName, int Width, int Height) {
  try {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(FileName);
    TJPEGImage scaled;
    scaled.Assign(jpeg.Bitmap().scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled.SaveToFile(FileName);
  } catch (const std::exception&) {
    // the copied file stays as it was
  }
}

void TForm_Main::FitImage(const AnsiString& FileName, int Width, int Height) {
  try {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(FileName);
    const TFitPlan plan = FitImagePlan(jpeg.Width(), jpeg.Height(), Width, Height);
    if (plan.Kind == TFitPlan::TKind::Leave) return;
    QImage target(Width, Height, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
      QPainter painter(&target);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      if (plan.Kind == TFitPlan::TKind::Stretch)
        painter.drawImage(QRect(0, 0, Width, Height), jpeg.Bitmap());
      else
        painter.drawImage(QRect(0, 0, plan.DrawWidth, plan.DrawHeight), jpeg.Bitmap());
    }
    TJPEGImage fitted;
    fitted.Assign(target);
    fitted.SaveToFile(FileName);
  } catch (const std::exception&) {
    // the copied file stays as it was
  }
}
