#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <vector>

#include "Placemnt.h"
#include "TestSupport.h"
#include "VXCtrls.h"
#include "VxHook.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

class TExportForm final : public TForm {};

// The export window's list on a form whose placement keeps it in an INI file.
struct ExportWindow {
  ExportWindow(const AnsiString& ini, std::initializer_list<const char*> items, TCheckKind kind = ckCheckBoxes) {
    Form = std::make_unique<TExportForm>();
    Form->resize(320, 220);
    Placement = new TFormPlacement(Form.get());
    Placement->ComponentState |= csLoading;
    Placement->SetIniFileName(ini);
    Placement->Loaded();
    List = new TVxCheckListBox(Form.get());
    List->setObjectName(QStringLiteral("VxCLB"));
    List->SetAllowGrayed(true);
    List->SetCheckKind(kind);
    for (const char* text : items) List->Items().Add(text);
    List->SetIniStorage(Placement);
    List->OnStateChange = [this](QObject*, int index) { Changes.push_back(index); };
  }
  [[nodiscard]] std::vector<int> States() const {
    std::vector<int> states;
    for (int i = 0; i < List->Items().Count(); ++i) states.push_back(List->GetItemState(i));
    return states;
  }
  std::vector<int> Changes;
  std::unique_ptr<TExportForm> Form;
  TFormPlacement* Placement;
  TVxCheckListBox* List;
};

class CheckListBoxStorageTest : public testing::Test {
 protected:
  void TearDown() override {
    QCoreApplication::sendPostedEvents();
    FreeGlobalHookList();
  }
  TempProgramFolder Folder;
  AnsiString Ini = Folder.File("export.ini");
};

using States = std::vector<int>;

}  // namespace

TEST_F(CheckListBoxStorageTest, TheStatesAreSavedOnCloseOverWhatTheSectionHeldAndRestoredOnShow) {
  WriteBytes(Ini, "[TExportFormVxCLB]\nOld=1\nItem7=1\n");
  {
    ExportWindow window(Ini, {"Name", "Address", "City"});
    EXPECT_EQ(window.List->IniStorage(), window.Placement);
    window.Form->show();
    window.List->SetItemState(0, cbChecked);
    window.List->SetItemState(2, cbGrayed);
    window.Form->close();
  }
  const AnsiString text = ReadBytes(Ini);
  EXPECT_NE(text.find("[TExportFormVxCLB]\nCount=3\nItem0=1\nItem1=0\nItem2=2\n"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Old="), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Item7"), AnsiString::npos) << text;

  ExportWindow again(Ini, {"Name", "Address", "City"});
  again.Form->show();
  EXPECT_EQ(again.States(), (States{1, 0, 2}));
  EXPECT_EQ(again.Changes, (std::vector<int>{0, 2})) << "each changed item reports its change";
}

TEST_F(CheckListBoxStorageTest, StoredStatesFillTheItemsThereAreAndReadOddValuesAsUnchecked) {
  const struct {
    const char* stored;
    int items;
    States expected;
  } cases[] = {
      {"Count=5\nItem0=1\nItem1=2\nItem2=1\nItem3=1\nItem4=1", 3, {1, 2, 1}},
      {"Count=3\nItem0=1\nItem1=1\nItem2=1", 5, {1, 1, 1, 2, 2}},  // the rest stay as they are
      {"Count=3\nItem0=7\nItem1=-1\nItem2=x", 3, {0, 0, 0}},
      {"Count=2\nItem0=1", 3, {1, 0, 2}},  // a missing item reads unchecked
      {"Item0=1\nItem1=1", 3, {2, 2, 2}},  // no "Count": nothing
  };
  for (const auto& c : cases) {
    ExportWindow window(Ini, {"A", "B", "C", "D", "E"});
    while (window.List->Items().Count() > c.items) window.List->Items().Delete(window.List->Items().Count() - 1);
    for (int i = 0; i < c.items; ++i) window.List->SetItemState(i, cbGrayed);
    WriteBytes(Ini, "[S]\n" + AnsiString(c.stored) + "\n");
    TIniFile ini(Ini);
    window.List->LoadStatesFromStorage(&ini, "S");
    EXPECT_EQ(window.States(), c.expected) << c.stored;
  }
}

TEST_F(CheckListBoxStorageTest, RadioButtonsCheckTheFirstItemStoredAsChecked) {
  ExportWindow window(Ini, {"A", "B", "C", "D"}, ckRadioButtons);
  window.List->SetItemState(0, cbChecked);
  WriteBytes(Ini, "[S]\nCount=4\nItem0=0\nItem1=0\nItem2=1\nItem3=1\n");
  TIniFile ini(Ini);
  window.Changes.clear();
  window.List->LoadStatesFromStorage(&ini, "S");
  EXPECT_EQ(window.States(), (States{0, 0, 1, 0}));
  EXPECT_EQ(window.List->CheckedIndex(), 2);
}

TEST_F(CheckListBoxStorageTest, ThePlacementsSectionPrefixAndTheRegistryServeAlike) {
  {
    ExportWindow window(Ini, {"A", "B"});
    window.Placement->UseRegistry = true;
    window.Placement->SetIniFileName("Software\\Export");
    window.Placement->SetIniSection("Export");
    window.Form->show();
    window.List->SetItemState(1, cbChecked);
    window.Form->close();
  }
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Export\\Export\\TExportFormVxCLB", false));
  EXPECT_EQ(registry.ReadInteger("Count"), 2);
  EXPECT_EQ(registry.ReadInteger("Item1"), 1);

  ExportWindow again(Ini, {"A", "B"});
  again.Placement->UseRegistry = true;
  again.Placement->SetIniFileName("Software\\Export");
  again.Placement->SetIniSection("Export");
  again.Form->show();
  EXPECT_EQ(again.States(), (States{0, 1}));
}

TEST_F(CheckListBoxStorageTest, AListWithoutANameOrWithoutStorageKeepsNothing) {
  {
    ExportWindow window(Ini, {"A"});
    window.List->setObjectName(QString());
    window.Form->show();
    window.List->SetItemState(0, cbChecked);
    window.Form->close();
  }
  EXPECT_EQ(ReadBytes(Ini).find("VxCLB"), AnsiString::npos);
  EXPECT_EQ(ReadBytes(Ini).find("Count"), AnsiString::npos);

  ExportWindow window(Ini, {"A"});
  window.List->SetIniStorage(nullptr);
  EXPECT_EQ(window.List->IniStorage(), nullptr);
  window.Form->show();
  window.Form->close();
  EXPECT_EQ(ReadBytes(Ini).find("Count"), AnsiString::npos);
}
