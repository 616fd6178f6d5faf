#pragma once
// Shell execution: hands a file or an address to the desktop's opener (xdg-open), as one
// argument and never through a shell. Verbs the opener has no counterpart for ("print") go to a
// handler that the program registers at start.

#include <functional>
#include <string_view>

#include "SysUtils.h"

enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// Returns a value above 32 when the request was handed on, 2 (file not found) when the opener
// could not be started, and 31 (no association) for a verb without a handler.
int ShellExecuteA(HWND window, const char* verb, std::string_view file, const char* parameters, const char* directory,
                  int showCommand);

// The argument handed to the opener: a text that would read as an option ("-x") becomes a path.
[[nodiscard]] AnsiString ShellOpenerArgument(std::string_view file);

// Carries out a verb on a file; answers as ShellExecuteA does.
using ShellVerbHandler = std::function<int(HWND window, std::string_view file, int showCommand)>;
// Installs the handler of verb (an empty handler removes it) and returns the previous one.
ShellVerbHandler SetShellVerbHandler(std::string_view verb, ShellVerbHandler handler);
