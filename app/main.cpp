// The program's main block.
#include "Application.h"
#include "ContactsServer.h"
#include "DateUtil.h"
#include "Dialogs.h"
#include "Files.h"
#include "Form_About.h"
#include "Form_Img.h"
#include "Form_Options.h"
#include "ShellPrint.h"
#include "Unit_Main.h"
#include "VXConst.h"

int main(int argc, char** argv) {
  TApplication Application(argc, argv);
  InitializeVXConst();
  InitializeDateUtil();
  RegisterShellPrint();
  Application.SetTitle("The Velmora Address Book");
  RegisterContactsServer();
  // One copy per program folder: two copies would each save their own cards over the other's.
  const TFolderLock folderLock(ProgramFolder());
  if (folderLock.State() == TFolderLock::TState::HeldElsewhere) {
    MessageBoxA(nullptr, "The address book is open in another window of this program.", ApplicationTitle(),
                MB_OK | MB_ICONINFORMATION);
    return 1;
  }
  auto mainForm = std::make_unique<TForm_Main>();  // sets the global Form_Main
  const auto optionsWindow = std::make_unique<TFormOptions>();
  const auto aboutWindow = std::make_unique<TFormAbout>();
  const auto pictureBrowser = std::make_unique<TFormImg>();
  Application.CloseOnTermination(mainForm.get());
  Application.OnCommitData = [&mainForm] { mainForm->SaveForSessionEnd(); };
  mainForm->show();
  const int result = Application.Run();
  mainForm.reset();
  return result;
}
