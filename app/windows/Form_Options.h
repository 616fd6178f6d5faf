#pragma once
// The options window: the sound switch, the alphabetical sort, backup and restore, and the
// launchers of the list view, the export, the contacts import, the web page and the web site.

#include <memory>

#include "Forms.h"

namespace Ui {
class TFormOptions;
}
class TFormOutlook;
class TPopupMenu;
class TMenuItem;
class TQMWave;
class TSecondaryFrame;

class TFormOptions final : public TForm {
 public:
  explicit TFormOptions(QWidget* parent = nullptr);
  ~TFormOptions() override;

  void CheckSoundClick(QObject* Sender);
  void SButtonShortClick(QObject* Sender);
  void BackupAddressBook1Click(QObject* Sender);
  void RestoreAddressBook1Click(QObject* Sender);
  void VxSpeedButton1Click(QObject* Sender);
  void Export1Click(QObject* Sender);
  void Import1Click(QObject* Sender);
  void Toprinter1Click(QObject* Sender);
  void Sendtoprinter1Click(QObject* Sender);
  void SButtonVisitClick(QObject* Sender);
  void Button_CloseClick(QObject* Sender);

  [[nodiscard]] Ui::TFormOptions& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }
  [[nodiscard]] TFormOutlook* FormOutlook() const { return FFormOutlook; }
  TQMWave* WaveSort = nullptr;
  TPopupMenu* pmImpExp = nullptr;
  TPopupMenu* pmBackup = nullptr;
  TPopupMenu* PopupMenuExport = nullptr;

 protected:
  void FormActivate() override;
  void FormClose() override;
  void FormKeyPress(char& Key) override;

 private:
  void FormCreate();
  void CreateMenus();

  std::unique_ptr<Ui::TFormOptions> ui;
  TSecondaryFrame* FFrame = nullptr;
  TFormOutlook* FFormOutlook = nullptr;
};

// The options window while it exists.
extern TFormOptions* FormOptions;
