#pragma once
// The texts the card's links hand to the shell: the web address of a website, and "mailto:"
// requests with their addresses percent-encoded.

#include <string_view>
#include <vector>

#include "SysUtils.h"

// The address a website opens at: unchanged when it begins with "http://" or "https://" in any
// letter case, otherwise with "http://" put in front.
[[nodiscard]] AnsiString WebSiteAddress(std::string_view site);

// Percent-encodes text as UTF-8 (its bytes read in the ANSI code page): letters, digits and
// "-._~" stay, and so do the characters of keep; "%" in keep stays only before two hex digits.
[[nodiscard]] AnsiString PercentEncode(std::string_view text, std::string_view keep);

// An address made fit for a link: what a URL may not hold (blanks, quotes, "<", ">", non-ASCII
// characters ...) is percent-encoded, its delimiters and existing escapes stay.
[[nodiscard]] AnsiString EncodeUrl(std::string_view url);

// An e-mail address as it goes after "mailto:": percent-encoded, keeping "!$'()*+,;:@", so that
// no address can add headers ("?", "&", "=") or other parts to the request.
[[nodiscard]] AnsiString MailtoEncode(std::string_view address);

// "mailto:" followed by the encoded addresses, separated by commas.
[[nodiscard]] AnsiString MailtoRequest(const std::vector<std::string_view>& addresses);
