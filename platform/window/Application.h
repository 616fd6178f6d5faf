#pragma once
// The application object of the window side: the title, the message loop, and the default
// handler that shows a failure escaping an event handler in a message box and goes on.

#include <QApplication>
#include <functional>

#include "SysUtils.h"

class TApplication final : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  void SetTitle(const AnsiString& title);
  [[nodiscard]] int Run() { return exec(); }
  // Closes the main window, as its close box does, when the program is asked to end from outside
  // (SIGTERM, SIGINT, SIGHUP); at the end of the desktop session, which may yet be cancelled, runs
  // OnCommitData.
  void CloseOnTermination(QWidget* mainWindow);
  std::function<void()> OnCommitData;
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows message boxes and file dialogs as real windows; TApplication installs them.
void InstallWidgetMessageBoxes();
