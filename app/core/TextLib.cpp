#include "TextLib.h"

namespace {

int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

AnsiString HexXorToText(std::string_view Source) {
  AnsiString result;
  unsigned char running = 0;
  for (std::size_t k = 0; k + 1 < Source.size(); k += 2) {
    const int high = HexDigit(static_cast<unsigned char>(Source[k] - 32));
    const int low = HexDigit(static_cast<unsigned char>(Source[k + 1] - 32));
    if (high < 0 || low < 0) {
      running = 0;
      continue;
    }
    running = static_cast<unsigned char>(running ^ (high * 16 + low));
    result += static_cast<char>(running);
  }
  return result;
}
