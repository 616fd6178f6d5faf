#pragma once
// What the card's mail and web commands hand to the shell, and the encoding of addresses for
// links.

#include <string_view>
#include <vector>

#include "SysUtils.h"

// "mailto:" and the address, percent-encoded as UTF-8 except for the unreserved characters and
// !$'()*+,;:@, so that the field cannot add headers or attachments. A plain address is unchanged.
[[nodiscard]] AnsiString MailtoUrl(std::string_view address);
// One request for several addresses: each encoded as above, separated by commas.
[[nodiscard]] AnsiString MailtoUrl(const std::vector<std::string_view>& addresses);
// The site as typed when it begins with "http://" or "https://" (in any case), else with "http://"
// in front.
[[nodiscard]] AnsiString WebsiteUrl(std::string_view site);

// True when the site begins with "http://" or "https://" in any case (WebsiteUrl leaves it so).
[[nodiscard]] bool HasWebScheme(std::string_view site);

// Percent-encodes text as UTF-8 (its bytes read in the ANSI code page): letters, digits and
// "-._~" stay, and so do the characters of keep; "%" in keep stays only before two hex digits.
[[nodiscard]] AnsiString PercentEncode(std::string_view text, std::string_view keep);
// The same, appended to out.
void AppendPercentEncoded(AnsiString& out, std::string_view text, std::string_view keep);
// The characters an e-mail address keeps after "mailto:", and those an address of a link keeps.
inline constexpr std::string_view kMailtoKept = "!$'()*+,;:@";
inline constexpr std::string_view kUrlKept = ":/?#[]@!$&'()*+,;=%";
// An address made fit for a link: what a URL may not hold (blanks, quotes, "<", ">", non-ASCII
// characters ...) is percent-encoded; its delimiters and existing escapes stay.
[[nodiscard]] AnsiString EncodeUrl(std::string_view url);
