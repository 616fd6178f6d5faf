#pragma once
// The four-digit-year flag, taken from the locale's short date format at start.

#include <string_view>

// True when the short date format, upper-cased, contains "YYYY".
[[nodiscard]] bool HasFourDigitYear(std::string_view shortDateFormat);
// Sets the flag from the user's locale; the program calls it once at start.
void InitializeDateUtil();
[[nodiscard]] bool FourDigitYear();
