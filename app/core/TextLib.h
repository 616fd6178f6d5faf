#pragma once
// Unscrambling of the texts the windows store for their links.

#include <string_view>

#include "SysUtils.h"

// Decodes hexadecimal pairs, each character shifted up by 32, into text: every output byte is the
// XOR of the pair values since the start or since the last pair that is not a hexadecimal number.
[[nodiscard]] AnsiString HexXorToText(std::string_view Source);
