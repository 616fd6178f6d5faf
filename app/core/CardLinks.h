#pragma once
// What the card's mail and web commands hand to the shell.

#include <string_view>

#include "SysUtils.h"

// "mailto:" and the address, percent-encoded as UTF-8 except for the unreserved characters and
// !$'()*+,;:@, so that the field cannot add headers or attachments. A plain address is unchanged.
[[nodiscard]] AnsiString MailtoUrl(std::string_view address);
// The site as typed when it begins with "http://" or "https://" (in any case), else with "http://"
// in front.
[[nodiscard]] AnsiString WebsiteUrl(std::string_view site);
