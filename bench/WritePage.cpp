// Loads a book file and writes its HTML page, as the program does:  vab_write_page BOOK PAGE
// (for measuring the time and memory of the whole run against other tools).

#include <cstdio>

#include "CardBook.h"
#include "Unit_Extensions.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BOOK PAGE\n", argv[0]);
    return 2;
  }
  TStringList cards;
  LoadBook(cards, argv[1], "");
  const TOutcome written = WriteWebPage(cards, argv[2]);
  if (!written) {
    std::fprintf(stderr, "%s\n", written.Error().c_str());
    return 1;
  }
  return 0;
}
