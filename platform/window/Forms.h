#pragma once
// The window base of the program's forms: creation, activation, close and destruction handlers,
// key preview, the modal show with ModalResult, posted messages and the system commands.

#include <QWidget>
#include <initializer_list>

#include "Classes.h"
#include "Controls.h"
#include "Messages.h"
#include "SysUtils.h"
#include "WindowProc.h"

using TModalResult = int;
enum : TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// Virtual-key codes of the keys the forms look at.
enum : unsigned short {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
};

class QKeyEvent;

using TCloseQueryEvent = std::function<void(QObject* Sender, bool& CanClose)>;

// The virtual-key code of a Qt key (letters and digits as their capitals), 0 when there is none.
[[nodiscard]] unsigned short VirtualKeyOf(const QKeyEvent& event);
// The character a key press types, as the platform delivers it: the code-page byte, or the
// control code (Enter 13, Esc 27, Backspace 8, Ctrl+letter 1..26), "?" for a character the code
// page cannot hold; 0 when it types nothing.
[[nodiscard]] char KeyPressCharOf(const QKeyEvent& event);
[[nodiscard]] TShiftState ShiftStateOf(const QKeyEvent& event);

class TForm : public TWindowBase {
 public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

  // Shows the form modally and returns ModalResult once it is set or the form is closed.
  TModalResult ShowModal();
  // Closes the form: a modal form ends its modal show with mrCancel.
  void Close();
  // Moves the focus to the next control in tab order, or to the first when none has it.
  void SelectNext();
  // No control of the form has the focus.
  void ClearFocus();

  TModalResult ModalResult = mrNone;
  // Key preview: the form sees every key press of its controls first. Takes effect when the form
  // is shown; only a visible form with key preview watches the application's keys.
  bool KeyPreview = false;

  // Events a component may take over: OnShow runs as the form is being shown, OnCloseQuery may
  // refuse a close, OnDestroy runs as the form goes.
  TNotifyEvent OnShow;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

 protected:
  // Handlers the windows override; each runs where the platform would run it. FormActivate runs
  // when the form becomes the program's active form: at its first show, and at each modal show
  // (switching to other programs and back, or closing a modal window over it, does not count).
  virtual void FormActivate() {}
  virtual void FormClose() {}
  // Key preview: key may be set to 0 to swallow the key.
  virtual void FormKeyDown(unsigned short& /*key*/, TShiftState /*shift*/) {}
  virtual void FormKeyPress(char& /*key*/) {}
  // The message procedure: posted messages and the system commands arrive here.
  void WndProc(TMessage& message) override;
  // WM_SYSCOMMAND; the default lets the command happen (SC_MINIMIZE minimises).
  virtual void HandleSysCommand(TMessage& message);

  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class TKeyPreviewFilter;
  friend class TKeyPreviewFilter;
  // Key preview: true when the form swallowed the key.
  bool PreviewKey(QObject* watched, QKeyEvent& key);

  void RunPendingActivate();
  void SyncKeyPreview();

  TKeyPreviewFilter* FKeyPreview = nullptr;
  bool FEverShown = false;
  bool FActivatePending = false;
  struct {
    const QKeyEvent* Event = nullptr;
    unsigned long long Timestamp = 0;
    int Key = 0;
  } FPreviewed;
  bool FInModal = false;
  bool FMinimizing = false;
};

// The window flags of a window of the type with the border and the border icons in its caption
// bar. Single, dialog and tool-window borders are fixed (the window keeps its size); minimise and
// maximise boxes exist only beside a system menu, and only on single and sizeable borders.
[[nodiscard]] Qt::WindowFlags BorderWindowFlags(Qt::WindowType type, TBorderStyle style,
                                                std::initializer_list<TBorderIcon> icons);
// The flags without the caption bar: the border icons go with it.
[[nodiscard]] Qt::WindowFlags CaptionStrippedFlags(Qt::WindowFlags flags);

// Ends the program: every modal show ends (with mrCancel), then the main loop.
void TerminateApplication();

// The form a control sits on, or nullptr.
[[nodiscard]] TForm* GetParentForm(QWidget* control);
