// The program's main block.
#include "Application.h"
#include "DateUtil.h"
#include "Form_About.h"
#include "Form_Img.h"
#include "Unit_Main.h"
#include "VXConst.h"

int main(int argc, char** argv) {
  TApplication Application(argc, argv);
  InitializeVXConst();
  InitializeDateUtil();
  Application.SetTitle("The Velmora Address Book");
  auto Form_Main = std::make_unique<TForm_Main>();
  const auto aboutWindow = std::make_unique<TFormAbout>();
  const auto pictureBrowser = std::make_unique<TFormImg>();
  Application.CloseOnTermination(Form_Main.get());
  Application.OnCommitData = [&Form_Main] { Form_Main->SaveForSessionEnd(); };
  Form_Main->show();
  const int result = Application.Run();
  Form_Main.reset();
  return result;
}
