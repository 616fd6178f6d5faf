#include "Shell.h"

#include <QDir>
#include <QProcess>
#include <QString>
#include <map>
#include <string>

#include "CodePage.h"

namespace {

std::map<std::string, ShellVerbHandler, std::less<>>& VerbHandlers() {
  static std::map<std::string, ShellVerbHandler, std::less<>> handlers;
  return handlers;
}

}  // namespace

AnsiString ShellOpenerArgument(std::string_view file) {
  if (file.empty() || file.front() != '-') return AnsiString(file);
  return "./" + AnsiString(file);
}

ShellVerbHandler SetShellVerbHandler(std::string_view verb, ShellVerbHandler handler) {
  auto& handlers = VerbHandlers();
  ShellVerbHandler previous;
  if (const auto found = handlers.find(verb); found != handlers.end()) {
    previous = std::move(found->second);
    handlers.erase(found);
  }
  if (handler) handlers.emplace(std::string(verb), std::move(handler));
  return previous;
}

int ShellExecuteA(HWND window, const char* verb, std::string_view file, const char*, const char*, int showCommand) {
  const std::string_view action = verb ? verb : "";
  if (!action.empty() && action != "open") {
    const auto& handlers = VerbHandlers();
    const auto found = handlers.find(action);
    if (found == handlers.end()) return 31;  // no association for that verb
    if (file.empty()) return 2;
    const ShellVerbHandler handler = found->second;  // the handler may replace itself
    return handler(window, file, showCommand);
  }
  if (file.empty()) return 2;
  const QString argument = AnsiToQString(ShellOpenerArgument(file));
  return QProcess::startDetached(QStringLiteral("xdg-open"), {argument}) ? 42 : 2;
}
