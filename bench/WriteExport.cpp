// Loads a book file and exports every field with a header line, as the export window does:
//   vab_write_export BOOK FILE.csv
// (for measuring the time and memory of the whole run against other tools).

#include <cstdio>

#include "CardBook.h"
#include "CardExport.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BOOK FILE.csv\n", argv[0]);
    return 2;
  }
  TStringList cards;
  LoadBook(cards, argv[1], "");
  ExportChoice choice;
  choice.Chosen.fill(true);
  try {
    WriteExportFile(cards, choice, argv[2]);
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", error.Message.c_str());
    return 1;
  }
  return 0;
}
