#pragma once
// Shell execution: hands a file or an address to the desktop's opener (xdg-open), as one
// argument and never through a shell.

#include <functional>
#include <string_view>

#include "SysUtils.h"

enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// Returns a value above 32 when the request was handed on, and 2 (file not found) when the opener
// could not be started.
int ShellExecuteA(HWND window, const char* verb, std::string_view file, const char* parameters, const char* directory,
                  int showCommand);

// The argument handed to the opener: a text that would read as an option ("-x") becomes a path.
[[nodiscard]] AnsiString ShellOpenerArgument(std::string_view file);
