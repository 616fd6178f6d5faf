#pragma once
// The application object of the window side: the title, the message loop, and the default
// handler that shows a failure escaping an event handler in a message box and goes on.

#include <QApplication>
#include <functional>
#include <memory>

#include "SysUtils.h"

class TTerminationWatch;

class TApplication final : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  void SetTitle(const AnsiString& title);
  [[nodiscard]] int Run();
  // Closes the main window, as its close box does, when the program is asked to end from outside
  // (SIGTERM, SIGINT, SIGHUP); at the end of the desktop session, which may yet be cancelled, runs
  // OnCommitData. From then on the request is remembered to the end (TerminationRequested).
  void CloseOnTermination(QWidget* mainWindow);
  std::function<void()> OnCommitData;
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  std::unique_ptr<TTerminationWatch> CloseWatch;
  bool Running = false;  // inside Run
};

// The application window. On Linux each top-level window carries its own taskbar entry, so
// hiding the application window hides the program's windows, and showing it shows those again.
void ShowApplicationWindow(bool show);
[[nodiscard]] bool ApplicationWindowVisible();
// Raises and activates the main form, or else the first of the program's visible windows.
void BringApplicationToFront();
// The main form. From SetApplicationMainForm until ApplicationMainFormCreated the form is being
// created: a request to show or hide it waits until then, so that it never appears unfilled.
void SetApplicationMainForm(QWidget* form);
void ApplicationMainFormCreated();
[[nodiscard]] QWidget* ApplicationMainForm();
void ShowApplicationMainForm(bool show);
void SetApplicationShowMainForm(bool show);
[[nodiscard]] bool ApplicationShowMainForm();

// Shows message boxes and file dialogs as real windows; TApplication installs them.
void InstallWidgetMessageBoxes();
