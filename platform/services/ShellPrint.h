#pragma once
// The shell's "print" verb. The desktop has no print action for a file, so an HTML page is
// rendered as a document and printed through the print dialog, where the user chooses a printer
// or a PDF file.

#include <functional>
#include <string_view>

#include "SysUtils.h"

class QPrinter;

// Asks the user for the printer set-up of printer; false when the user cancels. The default shows
// the platform's print dialog over the active window; tests install their own answer.
using PrintDialogHandler = std::function<bool(QPrinter& printer)>;
PrintDialogHandler SetPrintDialogHandler(PrintDialogHandler handler);

// Prints an HTML page file: 8-bit text in the ANSI code page, its pictures named relative to its
// folder. Answers as the shell does: 42 when printed, 2 when the file cannot be read, 5 when the
// user cancels or the printer fails.
int PrintHtmlFile(HWND window, std::string_view file, int showCommand);

// Makes PrintHtmlFile the shell's "print" verb (program start).
void RegisterShellPrint();
