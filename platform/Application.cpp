#include "platform/Application.h"

#include <QFileDialog>
#include <QMessageBox>

#include "platform/CodePage.h"
#include "platform/Dialogs.h"

namespace {

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
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDOK;
  }
}

}  // namespace

void InstallWidgetMessageBoxes() {
  SetMessageBoxHandler(ShowWidgetMessageBox);
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InstallWidgetMessageBoxes();
}

TApplication::~TApplication() {
  SetMessageBoxHandler(nullptr);
}

void TApplication::SetTitle(const AnsiString& title) {
  SetApplicationTitle(title);
  setApplicationDisplayName(AnsiToQString(title));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    HandleException(error);
    return true;
  }
}
