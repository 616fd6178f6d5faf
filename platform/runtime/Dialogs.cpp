#include "Dialogs.h"

#include <cstdio>

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

int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, unsigned flags) {
  const MessageBoxRequest request{owner, AnsiString(text), AnsiString(caption), flags};
  if (Handler()) return Handler()(request);
  std::fprintf(stderr, "%s: %s\n", request.Caption.c_str(), request.Text.c_str());
  return IDOK;
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
  if (OpenHandler()) return OpenHandler()(request);
  return std::nullopt;
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
