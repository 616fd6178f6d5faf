#include "Shell.h"

#include <QDir>
#include <QProcess>
#include <QString>

#include "CodePage.h"

AnsiString ShellOpenerArgument(std::string_view file) {
  if (file.empty() || file.front() != '-') return AnsiString(file);
  return "./" + AnsiString(file);
}

int ShellExecuteA(HWND, const char* verb, std::string_view file, const char*, const char*, int) {
  const std::string_view action = verb ? verb : "";
  if (!action.empty() && action != "open") return 31;  // no association for that verb
  if (file.empty()) return 2;
  const QString argument = AnsiToQString(ShellOpenerArgument(file));
  return QProcess::startDetached(QStringLiteral("xdg-open"), {argument}) ? 42 : 2;
}
