#include "Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "CodePage.h"
#include "Placement.h"
#include "WindowProc.h"

namespace {

bool IsInside(const QObject* object, const QWidget* form) {
  for (const QObject* o = object; o; o = o->parent())
    if (o == form) return true;
  return false;
}

}  // namespace

unsigned short VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned short>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<unsigned short>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<unsigned short>(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      return 0;
  }
}

TShiftState ShiftStateOf(const QKeyEvent& event) {
  TShiftState shift = 0;
  if (event.modifiers() & Qt::ShiftModifier) shift |= ssShift;
  if (event.modifiers() & Qt::AltModifier) shift |= ssAlt;
  if (event.modifiers() & Qt::ControlModifier) shift |= ssCtrl;
  return shift;
}

char KeyPressCharOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return '\r';
    case Qt::Key_Escape:
      return '\x1B';
    case Qt::Key_Backspace:
      return '\b';
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0;  // moves the focus, types nothing
    default:
      break;
  }
  if ((event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
    return static_cast<char>(1 + (event.key() - Qt::Key_A));
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return 0;
  const QString text = event.text();
  const bool oneCharacter = text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate());
  if (!oneCharacter || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) return 0;
  const std::optional<AnsiString> byte = QStringToAnsi(text);
  if (!byte) return '?';  // a character the code page cannot hold types the default character
  return byte->size() == 1 ? (*byte)[0] : 0;
}

// Sees every key press of the application before the focused control does.
class TForm::TKeyPreviewFilter final : public QObject {
 public:
  explicit TKeyPreviewFilter(TForm* form) : QObject(form), Form(form) { qApp->installEventFilter(this); }
  ~TKeyPreviewFilter() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease) Form->FPreviewed = {};
    return event->type() == QEvent::KeyPress && Form->PreviewKey(watched, *static_cast<QKeyEvent*>(event));
  }

 private:
  TForm* Form;
};

TForm::TForm(QWidget* parent) : TWindowBase(parent) {}

TForm::~TForm() {
  if (const TNotifyEvent handler = OnDestroy) handler(this);
  setProperty("vabFormGoing", true);  // for the components that go with the form
}

TModalResult TForm::ShowModal() {
  // The window that was active gets the activation back, with its focused control.
  const QPointer<QWidget> previous = QApplication::activeWindow();
  ModalResult = mrNone;
  setWindowModality(Qt::ApplicationModal);
  FInModal = true;
  show();
  activateWindow();
  raise();
  QEventLoop loop;
  while (ModalResult == mrNone && isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
  FInModal = false;
  hide();
  if (previous && previous != this && previous->isVisible()) previous->activateWindow();
  if (ModalResult == mrNone) ModalResult = mrCancel;
  return ModalResult;
}

void TForm::Close() {
  if (FInModal && ModalResult == mrNone) ModalResult = mrCancel;
  close();
}

void TForm::SelectNext() {
  QWidget* focused = QApplication::focusWidget();
  if (focused && IsInside(focused, this))
    focusNextChild();
  else {
    // The first control in tab order that takes the focus.
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
        w->setFocus(Qt::TabFocusReason);
        return;
      }
  }
}

void TForm::ClearFocus() {
  if (QWidget* focused = QApplication::focusWidget(); focused && IsInside(focused, this)) focused->clearFocus();
  setFocus(Qt::OtherFocusReason);
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SYSCOMMAND:
      HandleSysCommand(message);
      break;
    case WM_NEXTDLGCTL:
      SelectNext();
      break;
    case WM_CLOSE:
      Close();
      break;
    default:
      break;
  }
}

void TForm::HandleSysCommand(TMessage& message) {
  if ((message.WParam & 0xFFF0u) == SC_MINIMIZE && !isMinimized()) {
    FMinimizing = true;
    showMinimized();
    FMinimizing = false;
  }
}

bool TForm::PreviewKey(QObject* watched, QKeyEvent& key) {
  if (!KeyPreview || !watched->isWidgetType() || !IsInside(watched, this)) return false;
  // A key the focused control ignores travels on to its parents: the form sees it once.
  if (&key == FPreviewed.Event && key.timestamp() == FPreviewed.Timestamp && key.key() == FPreviewed.Key) return false;
  FPreviewed = {&key, key.timestamp(), key.key()};
  unsigned short code = VirtualKeyOf(key);
  if (code != 0) {
    FormKeyDown(code, ShiftStateOf(key));
    if (code == 0) return true;
  }
  char c = KeyPressCharOf(key);
  if (c != 0) {
    FormKeyPress(c);
    if (c == 0) return true;
  }
  return false;
}

void TForm::SyncKeyPreview() {
  const bool wanted = KeyPreview && isVisible();
  if (wanted && !FKeyPreview)
    FKeyPreview = new TKeyPreviewFilter(this);
  else if (!wanted && FKeyPreview) {
    delete FKeyPreview;
    FKeyPreview = nullptr;
  }
}

void TForm::showEvent(QShowEvent* event) {
  if (const TNotifyEvent handler = OnShow) handler(this);
  QueryWindowLimits(this);
  SyncKeyPreview();
  if (!FEverShown || FInModal) {
    FActivatePending = true;
    // A window system that does not activate the new window still gets its first card shown.
    QTimer::singleShot(0, this, [this] { RunPendingActivate(); });
  }
  FEverShown = true;
  QWidget::showEvent(event);
}

void TForm::RunPendingActivate() {
  if (!FActivatePending || !isVisible()) return;
  FActivatePending = false;
  FormActivate();
}

void TForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RunPendingActivate();
  if (event->type() == QEvent::WindowStateChange && isMinimized() && !FMinimizing) {
    // The title bar's minimise box: the platform sends it as a system command first.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    TMessage message{WM_SYSCOMMAND, SC_MINIMIZE, 0, 0};
    HandleSysCommand(message);
  }
  QWidget::changeEvent(event);
}

void TForm::hideEvent(QHideEvent* event) {
  SyncKeyPreview();
  QWidget::hideEvent(event);
}

void TForm::closeEvent(QCloseEvent* event) {
  bool canClose = true;
  if (const TCloseQueryEvent handler = OnCloseQuery) handler(this, canClose);
  if (!canClose) {
    event->ignore();
    return;
  }
  FormClose();
  if (FInModal && ModalResult == mrNone) ModalResult = mrCancel;
  event->accept();
}

Qt::WindowFlags BorderWindowFlags(Qt::WindowType type, TBorderStyle style, std::initializer_list<TBorderIcon> icons) {
  Qt::WindowFlags flags = type;
  if (style == bsNone) return flags | Qt::FramelessWindowHint;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style != bsSizeable && style != bsSizeToolWin) flags |= Qt::MSWindowsFixedSizeDialogHint;
  const auto has = [&](TBorderIcon icon) { return std::find(icons.begin(), icons.end(), icon) != icons.end(); };
  if (!has(biSystemMenu)) return flags;
  flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style != bsSingle && style != bsSizeable) return flags;
  if (has(biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
  if (has(biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

Qt::WindowFlags CaptionStrippedFlags(Qt::WindowFlags flags) {
  flags &= ~(Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  return flags | Qt::CustomizeWindowHint | Qt::FramelessWindowHint;
}

void TerminateApplication() {
  // Modal forms end their shows first, so that the main loop is reached and ends.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* form = dynamic_cast<TForm*>(window); form && form->isVisible() && form->windowModality() != Qt::NonModal)
      form->Close();
  QCoreApplication::quit();
}

TForm* GetParentForm(QWidget* control) {
  for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* form = dynamic_cast<TForm*>(w)) return form;
  return nullptr;
}
