// Loads the book of a folder, appends cards and saves it:  save_probe FOLDER [CARDS [NOTES_BYTES]]
// Prints "saved" or "reported: <message>". The save runs between two access() calls on the paths
// "/vab-save-begin" and "/vab-save-end", so that a tracer can tell its system calls apart.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "CardBook.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [CARDS [NOTES_BYTES]]\n", argv[0]);
    return 2;
  }
  const AnsiString folder = AnsiString(argv[1]) + "/";
  const int added = argc > 2 ? std::atoi(argv[2]) : 1;
  const std::size_t notesBytes = argc > 3 ? static_cast<std::size_t>(std::atol(argv[3])) : 12;
  const AnsiString book = folder + NewBookFileName();
  const AnsiString backup = BackupFileName(book);

  TStringList cards;
  BookLoad load = LoadBook(cards, book, backup);
  const AnsiString notes(notesBytes, 'n');
  for (int i = 0; i < added; ++i) {
    const AnsiString surname = Format("Added %d", i);
    cards.Add(BuildCardLine(
        {surname, "Iris", "", "", "Patra", "26221", "", "GR", "2610 555 010", "", "", "", "iris.jpg", notes}));
  }

  ::access("/vab-save-begin", F_OK);
  const BookSave save = SaveBook(cards, book, backup, load);
  ::access("/vab-save-end", F_OK);
  const AnsiString message = save.Outcome ? save.Notice : save.Outcome.Error();
  if (message.empty())
    std::printf("saved\n");
  else
    std::printf("reported: %s\n", message.c_str());
  return 0;
}
