#include "Application.h"

#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QPointer>
#include <QSessionManager>
#include <optional>
#include <vector>

#include "CodePage.h"
#include "Dialogs.h"
#include "Termination.h"

namespace {

struct TApplicationWindow {
  bool Visible = true;
  bool ShowMainForm = true;
  QPointer<QWidget> MainForm;
  bool MainFormCreating = false;
  std::optional<bool> MainFormVisibleWhenCreated;
  std::vector<QPointer<QWidget>> HiddenWindows;
};

TApplicationWindow& AppWindow() {
  static TApplicationWindow state;
  return state;
}

// The windows that carry taskbar entries: not menus, tips or the tray's own icon window.
bool IsApplicationWindow(const QWidget* widget) {
  const Qt::WindowType type = widget->windowType();
  return (type == Qt::Window || type == Qt::Dialog) && !widget->inherits("QSystemTrayIconSys");
}

int ShowWidgetMessageBox(const MessageBoxRequest& request) {
  QMessageBox box;
  box.setWindowTitle(AnsiToQString(request.Caption));
  box.setText(AnsiToQString(request.Text));
  switch (request.Flags & 0xF0u) {
    case MB_ICONERROR:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONWARNING:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (request.Flags & 0xFu) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MB_RETRYCANCEL:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  // A request to end the program closes the box, which then gives the answer of nobody there.
  bool unattended = false;
  const TTerminationWatch closeOnTermination([&box, &unattended] {
    unattended = true;
    box.done(QMessageBox::Cancel);
  });
  const int button = box.exec();
  if (unattended) return UnattendedAnswer(request.Flags);
  switch (button) {
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Retry:
      return IDRETRY;
    default:
      return IDOK;
  }
}

// The windows' fonts, as the program names them, are found under the names of free look-alikes.
// The application's own font is the windows' font too: a control that does not inherit its
// window's font (one with a style sheet of its own) falls back to it.
void SubstituteFonts() {
  const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), QStringLiteral("Arimo"),
                            QStringLiteral("DejaVu Sans")};
  for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Tahoma")})
    QFont::insertSubstitutions(family, sans);
  QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
}

// "Text|*.a;*.b|Other|*.c" as the file dialog's name filters "Text (*.a *.b)".
QStringList NameFilters(const AnsiString& filter) {
  const QStringList parts = AnsiToQString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // The file system tells case apart; offer the upper-case spelling of each pattern too.
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
      patterns << pattern;
      if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
    }
    // The description often repeats its patterns: "JPEG (*.jpg)".
    const QString name = parts[i].section(u'(', 0, 0).trimmed();
    filters << name + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return filters;
}

std::optional<AnsiString> ShowWidgetFileDialog(const OpenDialogRequest& request) {
  QFileDialog dialog(nullptr, AnsiToQString(request.Title), AnsiToQString(request.InitialDir));
  dialog.setNameFilters(NameFilters(request.Filter));
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.DefaultExt.empty()) dialog.setDefaultSuffix(AnsiToQString(request.DefaultExt));
  if (!request.FileName.empty()) dialog.selectFile(AnsiToQString(request.FileName));
  const TTerminationWatch closeOnTermination([&dialog] { dialog.reject(); });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().constFirst();
  std::optional<AnsiString> name = QStringToAnsi(chosen);
  if (!name) {
    QMessageBox::warning(nullptr, dialog.windowTitle(),
                         QStringLiteral("The name of \"%1\" holds characters this program cannot keep.").arg(chosen));
  }
  return name;
}

}  // namespace

void InstallWidgetMessageBoxes() {
  SetMessageBoxHandler(ShowWidgetMessageBox);
  SetOpenDialogHandler(ShowWidgetFileDialog);
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The program ends when its main window closes, not when its last visible window does: it lives
  // on in the tray with every window hidden.
  setQuitOnLastWindowClosed(false);
  InstallWidgetMessageBoxes();
  SubstituteFonts();
}

void TApplication::CloseOnTermination(QWidget* mainWindow) {
  QPointer<QWidget> window(mainWindow);
  // Once the loop has ended the window is closed already; the watch stays, so that a request
  // during the last save is remembered instead of ending the program half-way.
  CloseWatch = std::make_unique<TTerminationWatch>([this, window] {
    if (window && Running) window->close();
  });
  // The session may still be cancelled: keep what is on view, but do not end.
  connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    if (OnCommitData) OnCommitData();
  });
}

TApplication::~TApplication() {
  CloseWatch.reset();
  SetMessageBoxHandler(nullptr);
  SetOpenDialogHandler(nullptr);
}

int TApplication::Run() {
  Running = true;
  const int result = exec();
  Running = false;
  return result;
}

void TApplication::SetTitle(const AnsiString& title) {
  SetApplicationTitle(title);
  setApplicationName(AnsiToQString(title));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    HandleException(error);
    return true;
  }
}

void ShowApplicationWindow(bool show) {
  TApplicationWindow& app = AppWindow();
  app.Visible = show;
  if (!QApplication::instance()) return;
  if (show) {
    for (const QPointer<QWidget>& window : app.HiddenWindows)
      if (window) window->show();
    app.HiddenWindows.clear();
    return;
  }
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && IsApplicationWindow(window)) {
      app.HiddenWindows.emplace_back(window);
      window->hide();
    }
}

bool ApplicationWindowVisible() {
  return AppWindow().Visible;
}

void BringApplicationToFront() {
  if (!QApplication::instance()) return;
  QWidget* front = AppWindow().MainForm;
  if (!front || !front->isVisible()) {
    front = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible() && IsApplicationWindow(window)) {
        front = window;
        break;
      }
  }
  if (!front) return;
  front->raise();
  front->activateWindow();
}

void SetApplicationMainForm(QWidget* form) {
  TApplicationWindow& app = AppWindow();
  app.MainForm = form;
  app.MainFormCreating = form != nullptr;
  app.MainFormVisibleWhenCreated.reset();
}

void ApplicationMainFormCreated() {
  TApplicationWindow& app = AppWindow();
  app.MainFormCreating = false;
  if (app.MainForm && app.MainFormVisibleWhenCreated) app.MainForm->setVisible(*app.MainFormVisibleWhenCreated);
  app.MainFormVisibleWhenCreated.reset();
}

void ShowApplicationMainForm(bool show) {
  TApplicationWindow& app = AppWindow();
  if (!app.MainForm) return;
  if (app.MainFormCreating)
    app.MainFormVisibleWhenCreated = show;
  else
    app.MainForm->setVisible(show);
}

QWidget* ApplicationMainForm() {
  return AppWindow().MainForm;
}

void SetApplicationShowMainForm(bool show) {
  AppWindow().ShowMainForm = show;
}

bool ApplicationShowMainForm() {
  return AppWindow().ShowMainForm;
}
