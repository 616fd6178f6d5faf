#pragma once
// A non-visual component that places outgoing telephone calls through the line API: it opens a
// line when it is created, dials TelephonNo on request and offers its own hang-up box, opens the
// modem configuration, and reports every step as a status text in English or Croatian, optionally
// listed in a small always-on-top status window.
//
// The status window, the last status text and the line callback's copies of number and language
// are shared by every dialer of the program. Croatian texts are Windows-1250 bytes.

#include <QString>
#include <string_view>

#include "Classes.h"
#include "Tapi.h"

class QListWidget;
class QWidget;

enum class TCallDialog : unsigned char { None = 0, Win95 = 1 };
enum class TLanguage : unsigned char { english = 0, croatian = 1 };

class TTapiDial final : public TComponent {
 public:
  // Opens the line. Raises when AOwner is not a form or already holds a dialer.
  explicit TTapiDial(QObject* AOwner);
  ~TTapiDial() override;

  [[nodiscard]] const AnsiString& TelephonNo() const { return FTelephonNo; }
  void SetTelephonNo(const AnsiString& Value);
  [[nodiscard]] TCallDialog CallDialog() const { return FCallDialog; }
  // A change reopens the line with the new media mode.
  void SetCallDialog(TCallDialog Value);
  [[nodiscard]] bool StatusWindow() const { return FStatusWindow; }
  void SetStatusWindow(bool Value);
  [[nodiscard]] TLanguage Language() const { return FLanguage; }
  void SetLanguage(TLanguage Value);

  // Calls TelephonNo; with CallDialog None, shows the hang-up box while the call runs. A number
  // longer than 30 characters is refused as a failed call.
  void Dial();
  // Drops the last call placed.
  void HangUp();
  // The configuration of line device 0; returns the line API's result.
  LONG ConfigDialog();
  void InitTapi();
  void ShutdownTapi();

 private:
  // Posts the text of the dialer's language.
  void PostText(const char* english, const char* croatian) const;

  AnsiString FTelephonNo;
  TCallDialog FCallDialog = TCallDialog::None;
  bool FStatusWindow = false;
  TLanguage FLanguage = TLanguage::english;
  HWND FOwnerWindow = nullptr;
  HLINEAPP FLineApp = 0;
  HLINE FLine = 0;
  HCALL FCall = 0;
  LINECALLPARAMS FCallParams{};
};

// The status window: created hidden when none exists; released; and the list every posted text
// reaches, prefixed with "-> ", while the window exists.
void CreateStatusWindow();
void CloseStatusWindow();
void AddStatus(const AnsiString& Text);

void LineCallback(DWORD hDevice, DWORD dwMessage, DWORD dwInstance, DWORD dwParam1, DWORD dwParam2, DWORD dwParam3);

// The last status text posted by any dialer.
[[nodiscard]] const AnsiString& LastStatusText();
// The status window and its list while the window exists, else nullptr.
[[nodiscard]] QWidget* StatusWindowForm();
[[nodiscard]] QListWidget* StatusWindowList();
// A status or box text as the user reads it (Windows-1250).
[[nodiscard]] QString DialerTextToQString(std::string_view text);
