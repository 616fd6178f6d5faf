// The program's main block.
#include "Application.h"
#include "DateUtil.h"
#include "Unit_Main.h"
#include "VXConst.h"

int main(int argc, char** argv) {
  TApplication Application(argc, argv);
  InitializeVXConst();
  InitializeDateUtil();
  Application.SetTitle("The Velmora Address Book");
  auto mainForm = std::make_unique<TForm_Main>();  // sets the global Form_Main
  Application.CloseOnTermination(mainForm.get());
  Application.OnCommitData = [&mainForm] { mainForm->SaveForSessionEnd(); };
  mainForm->show();
  const int result = Application.Run();
  mainForm.reset();
  return result;
}
