// The program's main block.
#include "platform/Application.h"

int main(int argc, char** argv) {
  TApplication Application(argc, argv);
  Application.SetTitle("The Velmora Address Book");
  return 0;
}
