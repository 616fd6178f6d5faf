#include "Dialogs.h"

#include <cstdio>

#include "Termination.h"

namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

OpenDialogHandler& OpenHandler() {
  static OpenDialogHandler handler;
  return handler;
}

AnsiString& Title() {
  static AnsiString title;
  return title;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

int UnattendedAnswer(unsigned flags) {
  switch (flags & 0xFu) {
    case MB_OK:
      return IDOK;
    case MB_YESNO:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, unsigned flags) {
  const MessageBoxRequest request{owner, AnsiString(text), AnsiString(caption), flags};
  // Once the program has been asked to end, nobody is there to answer: the text is kept on the
  // standard error instead.
  if (TerminationRequested() || !Handler()) {
    std::fprintf(stderr, "%s: %s\n", request.Caption.c_str(), request.Text.c_str());
    return TerminationRequested() ? UnattendedAnswer(flags) : IDOK;
  }
  const int answer = Handler()(request);
  return TerminationRequested() ? UnattendedAnswer(flags) : answer;
}

void ShowMessage(std::string_view text) {
  MessageBoxA(nullptr, text, Title(), MB_OK);
}

OpenDialogHandler SetOpenDialogHandler(OpenDialogHandler handler) {
  OpenDialogHandler previous = std::move(OpenHandler());
  OpenHandler() = std::move(handler);
  return previous;
}

std::optional<AnsiString> ExecuteOpenDialog(const OpenDialogRequest& request) {
  if (!OpenHandler() || TerminationRequested()) return std::nullopt;
  std::optional<AnsiString> chosen = OpenHandler()(request);
  if (TerminationRequested()) return std::nullopt;
  return chosen;
}

void SetApplicationTitle(const AnsiString& title) {
  Title() = title;
}

const AnsiString& ApplicationTitle() {
  return Title();
}

void HandleException(const std::exception& error) {
  MessageBoxA(nullptr, error.what(), Title(), MB_OK | MB_ICONERROR);
}
