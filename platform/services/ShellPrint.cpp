#include "ShellPrint.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>
#include <utility>

#include "CodePage.h"
#include "Files.h"
#include "Shell.h"

namespace {

PrintDialogHandler& DialogHandler() {
  static PrintDialogHandler handler;
  return handler;
}

bool AskPrinter(QPrinter& printer) {
  if (DialogHandler()) return DialogHandler()(printer);
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler) {
  return std::exchange(DialogHandler(), std::move(handler));
}

int PrintHtmlFile(HWND, std::string_view file, int) {
  std::size_t size = 0;
  TFileBytes bytes;
  try {
    bytes = ReadWholeFile(AnsiString(file), size);
  } catch (const EStreamError&) {
    return 2;
  }
  const std::optional<std::filesystem::path> path = ResolveExistingPath(AnsiString(file));
  if (!path) return 2;
  QTextDocument document;
  // Relative picture names ("images/x.jpg") are found beside the page.
  document.setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(path->string())));
  document.setHtml(AnsiToQString(std::string_view(bytes.get(), size)));
  bytes.reset();

  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QFileInfo(QString::fromStdString(path->string())).fileName());
  if (!AskPrinter(printer)) return 5;
  document.print(&printer);
  return printer.printerState() == QPrinter::Error ? 5 : 42;
}

void RegisterShellPrint() {
  SetShellVerbHandler("print", PrintHtmlFile);
}
