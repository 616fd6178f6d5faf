#include "AppUtils.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <vector>

#include "Application.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Placement.h"
#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

class TMainForm final : public TForm {
 public:
  std::vector<TMessage> Messages;

 protected:
  void WndProc(TMessage& message) override {
    Messages.push_back(message);
    TForm::WndProc(message);
  }
};

// A 1024 x 768 screen at 96 pixels per inch, unless a test says otherwise.
class PlacementTest : public testing::Test {
 protected:
  void SetUp() override {
    Previous = SetScreenInfoSource([this] { return Screen; });
    Form.setGeometry(10, 20, 300, 200);
  }
  void TearDown() override {
    SetScreenInfoSource(Previous);
    SetApplicationMainForm(nullptr);
  }
  TIniFile& Ini() { return IniFile; }

  TempProgramFolder Folder;
  TIniFile IniFile{Folder.File("placement.ini")};
  TScreenInfo Screen{1024, 768, 96, {{0, 0, 1024, 768}}, true};
  TScreenInfoSource Previous;
  TMainForm Form;
};

TRect Bounds(const QWidget& w) {
  return WindowBounds(&w);
}

}  // namespace

TEST(AppUtilsTest, WordsAreRunsBetweenDelimiters) {
  const struct {
    int n;
    const char* text;
    int start;
    const char* word;
  } cases[] = {
      {2, "10, 20,30,40", 5, "20"},
      {4, "10, 20,30,40", 11, "40"},
      {5, "10, 20,30,40", 0, ""},
      {1, "  x", 3, "x"},
      {0, "a b", 0, ""},
      {-1, "a b", 0, ""},
      {1, "", 0, ""},
      {1, " ,, ", 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WordStartIndex(c.n, c.text, " ,"), c.start) << c.n << " of '" << c.text << "'";
    EXPECT_EQ(NthWord(c.n, c.text, " ,"), c.word) << c.n << " of '" << c.text << "'";
  }
}

TEST(AppUtilsTest, DefaultNamesComeFromTheProgramTheSettingsAndTheComponent) {
  EXPECT_EQ(DefaultIniFileName(), "vab_controls_tests.INI");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\vab_controls_tests");
  RegistrySubKey = "Quillmere";
  UseApplicationTitle = true;
  SetApplicationTitle("Velmora");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\Quillmere\\Velmora");
  RegistrySubKey.clear();
  UseApplicationTitle = false;
  SetApplicationTitle("");
  DefaultIniNameFunc = [] { return AnsiString("chosen.ini"); };
  EXPECT_EQ(DefaultIniFileName(), "chosen.ini");
  DefaultIniNameFunc = nullptr;

  TMainForm form;
  QWidget panel(&form);
  panel.setObjectName(QStringLiteral("Panel1"));
  QWidget list(&panel);
  list.setObjectName(QStringLiteral("List1"));
  QWidget loosePanel;
  loosePanel.setObjectName(QStringLiteral("Loose"));
  QWidget looseList(&loosePanel);
  looseList.setObjectName(QStringLiteral("List2"));
  TComponent saver;
  saver.Name = "Saver1";
  TComponent owned;
  owned.Name = "Saver2";
  owned.setParent(&form);
  EXPECT_EQ(DefaultSectionName(nullptr), "");
  EXPECT_EQ(DefaultSectionName(&form), "TMainForm");
  EXPECT_EQ(DefaultSectionName(&list), "TMainFormList1");
  EXPECT_EQ(DefaultSectionName(&looseList), "LooseList2");
  EXPECT_EQ(DefaultSectionName(&loosePanel), "Loose");
  EXPECT_EQ(DefaultSectionName(&saver), "Saver1");
  EXPECT_EQ(DefaultSectionName(&owned), "TMainForm.Saver2");
  owned.setParent(nullptr);
}

TEST(AppUtilsTest, ValuesQuotedAtBothEndsAreProtectedInIniFilesOnly) {
  TempProgramFolder folder;
  TIniFile ini(folder.File("q.ini"));
  TRegIniFile reg("Software\\Test");
  const struct {
    const char* value;
    const char* iniLine;
  } cases[] = {{"'x'", "K=\"'x'\""}, {"\"x\"", "K=\"\"x\"\""}, {"\"x", "K=\"x"}, {"x'", "K=x'"}, {"plain", "K=plain"}};
  for (const auto& c : cases) {
    StorageWriteString(&ini, "S", "K", c.value);
    EXPECT_EQ(ReadBytes(folder.File("q.ini")), "[S]\n" + AnsiString(c.iniLine) + "\n");
    EXPECT_EQ(StorageReadString(&ini, "S", "K", ""), c.value);
    StorageWriteString(&reg, "S", "K", c.value);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Test\\S", false));
    EXPECT_EQ(registry.ReadString("K"), c.value);
  }
  const TStorageObject none;
  StorageWriteInteger(none, "S", "K", 1);
  EXPECT_EQ(StorageReadInteger(none, "S", "K", 9), 9);
  EXPECT_EQ(StorageReadString(static_cast<TIniFile*>(nullptr), "S", "K", "d"), "d");
  StorageEraseSection(&ini, "S");
  StorageEraseSection(&reg, "S");
  EXPECT_EQ(StorageReadString(&ini, "S", "K", "gone"), "gone");
  EXPECT_EQ(StorageReadString(&reg, "S", "K", "gone"), "gone");
}

TEST_F(PlacementTest, WritesTheFiveKeysWithAndWithoutTheScreenSuffix) {
  Form.winId();
  Form.setGeometry(10, 20, 300, 200);
  // The window's rectangle is its client area, whatever frame the platform puts around it.
  ASSERT_EQ(Form.geometry(), QRect(10, 20, 300, 200));
  const AnsiString normPos = "10,20,310,220";
  WriteWindowPlacement(&Form, &Ini(), "TMainForm");
  EXPECT_EQ(ReadBytes(IniFile.FileName()),
            "[TMainForm]\n"
            "Flags=0\n"
            "ShowCmd=1\n"
            "PixelsPerInch=96\n"
            "MinMaxPos(1024x768)=-1,-1,-1,-1\n"
            "MinMaxPos=-1,-1,-1,-1\n"
            "NormPos(1024x768)=" +
                normPos +
                "\n"
                "NormPos=" +
                normPos + "\n");

  Screen.PixelsPerInch = 144;
  Form.showMaximized();
  WINDOWPLACEMENT placement;
  GetWindowPlacement(&Form, &placement);
  placement.showCmd = SW_SHOWMAXIMIZED;
  placement.ptMaxPosition = {-4, -4};
  SetWindowPlacement(&Form, &placement);
  WriteWindowPlacement(&Form, &Ini(), "TMainForm");
  EXPECT_EQ(Ini().ReadInteger("TMainForm", "ShowCmd", 0), 3);
  EXPECT_EQ(Ini().ReadInteger("TMainForm", "PixelsPerInch", 0), 144);
  EXPECT_EQ(Ini().ReadString("TMainForm", "MinMaxPos", ""), "-1,-1,-4,-4");
  EXPECT_EQ(Ini().ReadString("TMainForm", "NormPos", ""), normPos);
}

TEST_F(PlacementTest, TheScreenSuffixedKeyWinsAndTheBareKeyServesOtherScreens) {
  WriteBytes(IniFile.FileName(),
             "[F]\n"
             "NormPos(1024x768)=40,50,440,350\n"
             "NormPos=70,80,170,180\n");
  ReadWindowPlacement(&Form, &Ini(), "F", false, true);
  EXPECT_EQ(Bounds(Form), (TRect{40, 50, 440, 350}));
  Screen.Width = 1280;
  Screen.Height = 1024;
  Screen.Monitors = {{0, 0, 1280, 1024}};
  ReadWindowPlacement(&Form, &Ini(), "F", false, true);
  EXPECT_EQ(Bounds(Form), (TRect{70, 80, 170, 180}));
}

TEST_F(PlacementTest, StoredPositionsThatCannotBeUsedAreNotApplied) {
  const struct {
    const char* stored;
    bool fixedSize;
    TRect expected;
  } cases[] = {
      {"NormPos=a, b", false, {10, 20, 310, 220}},                        // bad words read as the current ones
      {"NormPos=100,100,50,300", false, {10, 20, 310, 220}},              // right not past left
      {"NormPos=100,100,300,100", false, {10, 20, 310, 220}},             // empty height
      {"NormPos=2000,2000,2300,2200", false, {10, 20, 310, 220}},         // off every screen
      {"NormPos=5,6,7,8\nPixelsPerInch=120", false, {10, 20, 310, 220}},  // another pixel density
      {"NormPos=5,6,400,300\nPixelsPerInch=96", false, {5, 6, 400, 300}},
      {"NormPos=5,6,7,8", true, {5, 6, 305, 206}},  // a fixed-size form keeps its size
  };
  for (const auto& c : cases) {
    TMainForm form;
    form.setGeometry(10, 20, 300, 200);
    if (c.fixedSize) form.setFixedSize(300, 200);
    WriteBytes(IniFile.FileName(), "[F]\n" + AnsiString(c.stored) + "\n");
    ReadWindowPlacement(&form, &Ini(), "F", false, true);
    EXPECT_EQ(Bounds(form), c.expected) << c.stored;
  }
}

TEST_F(PlacementTest, TheStoredShowCommandGivesTheWindowState) {
  const struct {
    const char* showCmd;
    TWindowState state;
  } cases[] = {{"1", wsNormal},    {"5", wsNormal},    {"9", wsNormal},  {"3", wsMaximized},
               {"0", wsNormal},    {"4", wsNormal},    {"10", wsNormal}, {"-3", wsNormal},
               {"6", wsMinimized}, {"7", wsMinimized}, {"x", wsNormal}};
  TMainForm main;
  SetApplicationMainForm(&main);  // Form is not the main form: it minimises itself
  for (const auto& c : cases) {
    TMainForm form;
    form.setGeometry(10, 20, 300, 200);
    WriteBytes(IniFile.FileName(), "[F]\nShowCmd=" + AnsiString(c.showCmd) + "\nNormPos=1,2,3,4\n");
    ReadWindowPlacement(&form, &Ini(), "F", true, false);
    EXPECT_EQ(FormWindowState(&form), c.state) << c.showCmd;
    EXPECT_EQ(form.normalGeometry(), QRect(10, 20, 300, 200)) << "the position is left alone";
  }
}

TEST_F(PlacementTest, AMinimisedMainFormIsRestoredNormalAndMinimisesThroughASystemCommand) {
  SetApplicationMainForm(&Form);
  WriteBytes(IniFile.FileName(), "[F]\nShowCmd=2\n");
  ReadWindowPlacement(&Form, &Ini(), "F", true, false);
  EXPECT_EQ(FormWindowState(&Form), wsNormal);
  EXPECT_TRUE(Form.Messages.empty());
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(Form.Messages.size(), 1u);
  EXPECT_EQ(Form.Messages[0].Msg, WM_SYSCOMMAND);
  EXPECT_EQ(Form.Messages[0].WParam, SC_MINIMIZE);
}

TEST_F(PlacementTest, WhereWindowsCannotBePlacedOnlyTheSizeIsRestored) {
  Screen.CanPlace = false;
  WriteBytes(IniFile.FileName(), "[F]\nNormPos=40,50,440,350\nShowCmd=3\n");
  ReadWindowPlacement(&Form, &Ini(), "F", true, true);
  EXPECT_EQ(Form.geometry(), QRect(10, 20, 400, 300));
  EXPECT_EQ(FormWindowState(&Form), wsMaximized);
}
