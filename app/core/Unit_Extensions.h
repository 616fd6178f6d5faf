#pragma once
// The HTML page of the whole book: written into the program folder, then handed to the shell to
// be viewed ("index.html") or printed ("indexprn.html").

#include <string_view>

#include "Outcome.h"
#include "StringList.h"
#include "SysUtils.h"

class TFileSink;

// One card's values for the page, as views into its card line (valid while the line is).
// Notes have "<br>" for their line breaks; Picture is the reference the page uses: "images/" +
// the picture's name for a JPEG, else empty.
struct TPageCard {
  std::string_view SurName, Name, Company, Address, City, Zip, State, Country, Phone, Cellular, Email, WebSite;
  AnsiString Picture, Notes;
};

// Splits card line Index of Cards into its values for the page; values without a field stay
// empty. Reusing one TPageCard for many cards reuses its buffers.
void ReadCardForPage(const TStringList& Cards, int Index, TPageCard& Card);

// Writes the page's lines, each ended by CR LF: the header (which names the code page's character
// set), one row per card (or the row of an empty book) and the footer. Every value is escaped for
// HTML; link addresses and picture names are percent-encoded.
void WriteWebPageTo(const TStringList& Cards, TFileSink& Page);

// Writes the page into FileName through a temporary file, so that a failure leaves the previous
// page whole. A link of that name is replaced, never written through.
TOutcome WriteWebPage(const TStringList& Cards, const AnsiString& FileName);

// The page's file in the program folder: "indexprn.html" to print, "index.html" to view.
[[nodiscard]] AnsiString WebPageFile(bool Print);

// Writes the page of the book and hands it to the shell: "print", or "open" maximised. Never
// raises and reports nothing; after a failed write the shell is not asked.
void MakeWebPage(const TStringList& Cards, bool Print, HWND Window = nullptr);
