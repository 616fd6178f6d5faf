#pragma once
// The one replaceable handler behind every message box, so that a test can answer them and read
// what was shown. The window side installs a handler that shows a real message box.

#include <exception>
#include <functional>
#include <optional>
#include <string_view>

#include "SysUtils.h"

// Message box flags and results, with the platform's values.
enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

struct MessageBoxRequest {
  HWND Owner = nullptr;
  AnsiString Text;
  AnsiString Caption;
  unsigned Flags = MB_OK;
};
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Installs handler and returns the previous one. Without a handler, a message box writes its text
// to the standard error and answers IDOK.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer of a box that nobody answers: Cancel where there is one, No, or OK.
[[nodiscard]] int UnattendedAnswer(unsigned flags);

// Once the program has been asked to end (TerminationRequested), a box is not shown: its text goes
// to the standard error and it answers UnattendedAnswer; so does a box that the request closed.
int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, unsigned flags);
// A message box with the application's title as caption and an OK button.
void ShowMessage(std::string_view text);

// A file-open dialog: Filter as "Text|*.a|Other|*.b". The handler answers the chosen file, or
// nullopt when the user cancels. Without a handler, or once the program has been asked to end,
// nothing is chosen.
struct OpenDialogRequest {
  AnsiString Title;
  AnsiString Filter;
  AnsiString InitialDir;
  AnsiString FileName;
  bool Save = false;      // a file-save dialog; it asks before replacing a file
  AnsiString DefaultExt;  // added to a name typed without an extension
};
using OpenDialogHandler = std::function<std::optional<AnsiString>(const OpenDialogRequest&)>;
OpenDialogHandler SetOpenDialogHandler(OpenDialogHandler handler);
[[nodiscard]] std::optional<AnsiString> ExecuteOpenDialog(const OpenDialogRequest& request);

// The application's title, used as the caption of ShowMessage and of the default error box.
void SetApplicationTitle(const AnsiString& title);
[[nodiscard]] const AnsiString& ApplicationTitle();

// The application's default handler: shows the exception's text in a message box and goes on.
void HandleException(const std::exception& error);

// Runs call; an exception it throws goes to HandleException.
template <typename Call>
void CallHandlingExceptions(Call&& call) {
  try {
    call();
  } catch (const std::exception& error) {
    HandleException(error);
  }
}
