#pragma once
// The ANSI code page of the user's language, and the one place where 8-bit text meets QString.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "SysUtils.h"

// The Windows ANSI code page for a POSIX locale name such as "de_DE.UTF-8" (1252 for "C" and
// unknown languages, as an English Windows has).
[[nodiscard]] unsigned CodePageForLocale(std::string_view localeName);
// The code page of this process, from LC_ALL, LC_CTYPE or LANG; fixed at the first call.
[[nodiscard]] unsigned AnsiCodePage();
// Makes the process use another code page from now on (tests, or a locale change at start-up).
void SetAnsiCodePage(unsigned codePage);
// The name of the code page's character set, as the converters and HTML know it ("windows-1252").
[[nodiscard]] const char* AnsiCodePageCharset();

// 8-bit text in the ANSI code page to QString. Every byte maps to a character.
[[nodiscard]] QString AnsiToQString(std::string_view text);
// QString to the ANSI code page; nullopt when the code page cannot hold some character.
[[nodiscard]] std::optional<AnsiString> QStringToAnsi(const QString& text);
// True when every character of the text has a place in the ANSI code page.
[[nodiscard]] bool FitsAnsiCodePage(const QString& text);

// Locale-aware comparison with case ignored (the order of CompareStringA with NORM_IGNORECASE):
// negative, zero or positive.
[[nodiscard]] int AnsiCompareText(std::string_view a, std::string_view b);
// The stable order of texts by AnsiCompareText: order[k] is the index of the k-th text. Large
// lists compute their sort keys on several threads.
[[nodiscard]] std::vector<std::size_t> CaselessOrder(const std::vector<std::string_view>& texts);
// The place of each text in that order, texts that compare equal sharing one: ranks[i] for
// texts[i], from 0 up without gaps.
[[nodiscard]] std::vector<std::uint32_t> CaselessRanks(const std::vector<std::string_view>& texts);
// The same with case observed.
[[nodiscard]] int AnsiCompareStr(std::string_view a, std::string_view b);
