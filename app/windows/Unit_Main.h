#pragma once
// The main window: the card book on view, the card commands, the colour schemes and card
// pictures, the tray icon and the sounds.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "CardBook.h"
#include "Forms.h"
#include "StringList.h"

namespace Ui {
class TForm_Main;
}
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class TComponent;
class TFlatHint;
class TJpegLoader;
class TMenuItem;
class TPopupMenu;
class TQMTrayIcon;
class TQMWave;
class TRegLib;
class TTapiDial;
class TVxSpeedButton;

class TFormGrid;
class TFormNavigate;
class TFormSearch;
class TFormAbout;
class TFormImg;
class TFormOptions;
class TFormPrint;
class TFormPrintDlg;

class TForm_Main final : public TForm {
 public:
  explicit TForm_Main(QWidget* parent = nullptr);
  ~TForm_Main() override;

  // The card book (read by the secondary windows).
  TStringList Cards;
  int CurrentCard = 0;
  bool Modified = false;
  AnsiString CardPicture;
  AnsiString BookFile;
  AnsiString BackupFile;

  AnsiString ProgramFolder;
  AnsiString SkinsFolder;
  AnsiString ImagesFolder;
  std::unique_ptr<TRegLib> Settings;
  bool SoundsOn = true;
  bool MuteNewSound = false;
  TStringList UndoList;
  int UndoIndex = -1;

  // Colour schemes: entry 2i is the background of scheme i, 2i+1 its top bar.
  std::vector<AnsiString> SkinFiles;
  int SchemeCount = 0;
  int SkinIndex = -1;
  // Card pictures.
  std::vector<AnsiString> ImageFiles;
  int ImageCount = 0;
  int CurrentImage = -1;
  int DefaultImage = 0;

  void AddCard(QObject* Sender, int Index, const AnsiString& SurName, const AnsiString& Name, const AnsiString& Company,
               const AnsiString& Address, const AnsiString& City, const AnsiString& Zip, const AnsiString& State,
               const AnsiString& Country, const AnsiString& Phone, const AnsiString& Cellular, const AnsiString& Email,
               const AnsiString& WebSite, const AnsiString& Notes, const AnsiString& Picture);
  void ShowCard(QObject* Sender, int Index);
  [[nodiscard]] AnsiString FormatCardNumber() const;
  void SoundPlay(TQMWave* Wave);
  // The list view, made on first use by either of its launchers and kept.
  [[nodiscard]] TFormGrid& ListView();
  // True when the book holds no card, after a message box has said that the command needs cards.
  [[nodiscard]] bool SayIfBookEmpty() const;
  // The desktop session is ending: stores the card on view and writes the book now, since the
  // session may end the program without a close.
  void SaveForSessionEnd();

  // Card commands.
  void Button_SaveClick(QObject* Sender);
  void Button_NewClick(QObject* Sender);
  void Button_NextClick(QObject* Sender);
  void Button_PreviousClick(QObject* Sender);
  void Button_DeleteClick(QObject* Sender);
  void Button_UndoClick(QObject* Sender);
  void Button_ExitClick(QObject* Sender);
  void Button_ToolsClick(QObject* Sender);
  void Button_AboutClick(QObject* Sender);
  void Button_ListClick(QObject* Sender);
  void Button_SearchClick(QObject* Sender);
  void VxSpeedButton3Click(QObject* Sender);
  void Button1Click(QObject* Sender);
  void FirstCard();
  void LastCard();

  // Tray menu.
  void CmOpenClick(QObject* Sender);
  void MinimizetoTray1Click(QObject* Sender);
  void CmCloseClick(QObject* Sender);

  // Colour schemes and card pictures.
  void Button_NextSchemeClick(QObject* Sender);
  void Button_PrevSchemeClick(QObject* Sender);
  void Button_NextImageClick(QObject* Sender);
  void Button_PrevImageClick(QObject* Sender);
  void ImageMenuPopup(QObject* Sender);
  void LabelNameClick(QObject* Sender);
  void OptDeletecurrentImageClick(QObject* Sender);
  void OptLoadNewImageClick(QObject* Sender);
  void BrowseImagesClick(QObject* Sender);
  void StretchImage(const AnsiString& FileName, int Width, int Height);
  void FitImage(const AnsiString& FileName, int Width, int Height);

  // Dial, mail, web and help commands. SpeedButton1Click opens the help page.
  void SButtonDialClick(QObject* Sender);
  void Phone1Click(QObject* Sender);
  void Phone2Click(QObject* Sender);
  void SetupTAPIClick(QObject* Sender);
  void SButtonEmailClick(QObject* Sender);
  void SButtonVisitClick(QObject* Sender);
  void SpeedButton1Click(QObject* Sender);
  // The dialer, also used by the list view.
  TTapiDial* TapiDialer = nullptr;
  TPopupMenu* DialMenu = nullptr;
  TMenuItem* Phone1 = nullptr;
  TMenuItem* Phone2 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* SetupTAPI = nullptr;

  // Controls and components, for the secondary windows and the tests.
  [[nodiscard]] Ui::TForm_Main& Controls() const { return *ui; }
  [[nodiscard]] TPopupMenu* ImageMenu() const { return FImageMenu; }
  [[nodiscard]] TPopupMenu* TrayMenu() const { return FTrayMenu; }
  [[nodiscard]] TQMTrayIcon* TrayIcon1() const { return FTrayIcon; }
  TQMWave* WaveMoveCard = nullptr;
  TQMWave* WaveDelete = nullptr;
  TQMWave* WaveUndoOk = nullptr;
  TQMWave* WaveUndoFailure = nullptr;
  TQMWave* WaveDeleteImage = nullptr;
  TMenuItem* OptLoadNewImage = nullptr;
  TMenuItem* OptLoadNewImageFit = nullptr;
  TMenuItem* OptDeletecurrentImage = nullptr;
  TFlatHint* FlatHint1 = nullptr;

 protected:
  void FormActivate() override;
  void FormClose() override;
  void FormKeyDown(unsigned short& Key, TShiftState Shift) override;
  void FormKeyPress(char& Key) override;
  void HandleSysCommand(TMessage& Message) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  // Saves the book; a failure offers Retry and Cancel.
  void SaveAtExit();
  // Says once what the start found about the book (FStartNotice).
  void ShowStartNotice();
  void CreateComponents();
  void CreateDialComponents();
  void ConnectHandlers();
  void CollectSchemes();
  void CollectPictures();
  void ShowScheme();
  // Learns whether a card picture could be shown.
  using TPictureShown = std::function<void(bool shown)>;
  // Shows a JPEG file as the card picture: at once when it decodes quickly, else the panel stays
  // empty until its decode is done. shown, when given, learns whether it could be shown; a later
  // picture drops an earlier one that is still decoding.
  void LoadCardPicture(const AnsiString& fileName, TPictureShown shown = {});
  // Shows the file when it exists, else the default picture.
  void ShowPictureOrDefault(const AnsiString& file, TPictureShown shown = {});
  // The picture at DefaultImage; not shown when there is none or it cannot be shown.
  void ShowDefaultPicture(TPictureShown shown = {});
  void StepImage(int index);
  void LeaveCard();
  // Shows the card a secondary window chose, when it lies within the book.
  void TakeBackCard(int selected);
  [[nodiscard]] std::vector<QWidget*> CardFields() const;
  [[nodiscard]] bool NotesHaveFocus() const;
  [[nodiscard]] bool NoControlHasFocus() const;
  void RefreshCounter();

  std::unique_ptr<Ui::TForm_Main> ui;
  TComponent* FComponents = nullptr;  // owner of the non-visual components
  TPopupMenu* FImageMenu = nullptr;
  TJpegLoader* FPictureLoader = nullptr;
  TPopupMenu* FTrayMenu = nullptr;
  TQMTrayIcon* FTrayIcon = nullptr;
  BookLoad FBookLoad;
  AnsiString FStartNotice;    // what the start found about the book, shown once the window is up
  AnsiString FPendingNotice;  // what a save had to tell the user, shown once at exit
  AnsiString FLastPictureFolder;
  bool FDestroyed = false;
  TFormNavigate* FormNavigate = nullptr;
  TFormSearch* FormSearch = nullptr;
  TFormGrid* FormGrid = nullptr;
  // The about window and the browser, when the main window had to make them itself.
  std::unique_ptr<TFormAbout> FOwnedFormAbout;
  std::unique_ptr<TFormImg> FOwnedFormImg;
  std::unique_ptr<TFormOptions> FOwnedFormOptions;
  TFormPrint* FormPrint = nullptr;
  TFormPrintDlg* FormPrintDlg = nullptr;
};

// The program's main window while it exists; the secondary windows read the book through it.
extern TForm_Main* Form_Main;
// The main window's cards, or an empty book while there is no main window.
[[nodiscard]] const TStringList& MainWindowCards();
