#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <functional>
#include <thread>

#include "ExtCtrls.h"
#include "FakeOpener.h"
#include "FormFrame.h"
#include "Form_About.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_About.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::FakeOpener;
using testing_support::MessageBoxRecorder;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::WriteBytes;

class AboutWindow : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    std::filesystem::create_directories(Folder.Path / "skins");
    testing_support::WriteJpeg(Folder.Path / "skins" / "blue1.jpg", 500, 300, qRgb(0, 0, 200));
    testing_support::WriteJpeg(Folder.Path / "skins" / "blue2.jpg", 500, 60, qRgb(0, 0, 100));
    testing_support::WriteJpeg(Folder.Path / "skins" / "red1.jpg", 500, 300, qRgb(200, 0, 0));
    testing_support::WriteJpeg(Folder.Path / "skins" / "red2.jpg", 500, 60, qRgb(100, 0, 0));
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", {Card("Ann"), Card("Bob"), Card("Cid")});
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {150, 100}));
  }
  void TearDown() override { Window.reset(); }

  // Runs open, which shows the about window modally, then drive on it once it is active; a window
  // still open afterwards fails the test and is closed.
  void About(const std::function<void()>& open, const std::function<void(TFormAbout&)>& drive) {
    bool leftOpen = false;
    TFormAbout* about = testing_support::DriveModal(Window.get(), open, drive, &leftOpen);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(leftOpen) << "the about window is still open";
  }
  void About(const std::function<void(TFormAbout&)>& drive) {
    About([this] { UserClick(Window->Controls().Button_About); }, drive);
  }

  Ui::TForm_Main& Ui() { return Window->Controls(); }
  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
};

TEST_F(AboutWindow, AltBOpensItBesideTheMainWindowAndEscOrCloseShutIt) {
  About([this] { QTest::keyClick(Window.get(), Qt::Key_B, Qt::AltModifier); },
        [&](TFormAbout& about) {
          const QPoint client = Window->mapToGlobal(QPoint(0, 0));
          const QPoint tools = Ui().Button_Tools->mapToGlobal(QPoint(0, 0));
          EXPECT_EQ(about.pos(), QPoint(client.x() + 50, tools.y() + Ui().Button_Tools->height() / 4));
          EXPECT_EQ(about.size(), QSize(403, 343));
          QTest::keyClick(&about, Qt::Key_Escape);
          EXPECT_FALSE(about.isVisible());
        });
  About([](TFormAbout& about) { UserClick(about.Controls().VxBtnClose); });
}

TEST_F(AboutWindow, KeepsTheEditedCardAndTheUndoOfADelete) {
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Delete);  // Bob goes; Cid is shown
  ASSERT_EQ(Window->Cards.Count(), 2);
  Ui().Edit_Phone->setFocus();
  QTest::keyClicks(Ui().Edit_Phone, QStringLiteral("555"));
  ASSERT_TRUE(Window->Modified);
  About([](TFormAbout& about) { UserClick(about.Controls().VxBtnClose); });
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(Ui().Edit_Phone->text(), QStringLiteral("555"));
  EXPECT_EQ(Window->Cards.Count(), 2);  // nothing stored
  UserClick(Ui().Button_Undo);
  EXPECT_EQ(Window->Cards.Count(), 3);
  EXPECT_EQ(Ui().Edit_SurName->text(), QStringLiteral("Bob"));
}

TEST_F(AboutWindow, LinksGoToTheShellUnscrambledAndHelpOpensTheHelpPage) {
  FakeOpener opener(Folder);
  About([](TFormAbout& about) {
    EXPECT_EQ(about.Controls().VxBtnEmail->Caption(), "velmora@quillmere.example");
    UserClick(about.Controls().VxBtnVisit);
    UserClick(about.Controls().VxBtnEmail);
    UserClick(about.Controls().VxBtnHelp);
    EXPECT_TRUE(about.isVisible());  // the links and the help leave it open
    about.Close();
  });
  const std::string opened = opener.Opened(3);
  EXPECT_NE(opened.find("http://www.quillmere.example/velmora/\n"), std::string::npos);
  EXPECT_NE(opened.find("mailto:velmora@quillmere.example?subject=Velmora%20Address%20Book\n"), std::string::npos);
  EXPECT_NE(opened.find(Folder.File("vab.html") + "\n"), std::string::npos);  // as the main window's help
  EXPECT_EQ(std::count(opened.begin(), opened.end(), '\n'), 3);
}

TEST_F(AboutWindow, ShowsTheSchemeAndReloadsItOnlyAfterAChange) {
  About([](TFormAbout& about) {
    EXPECT_EQ(about.Frame().SkinShown(), 0);
    const QImage top = about.Controls().Image_Tp->Picture();
    EXPECT_NEAR(qBlue(top.pixel(5, 5)), 100, 4);
    about.Close();
  });
  UserClick(Ui().Button_NextScheme);
  About([](TFormAbout& about) {
    EXPECT_EQ(about.Frame().SkinShown(), 1);
    EXPECT_NEAR(qRed(about.Controls().Image_Bck->Picture().pixel(5, 5)), 200, 4);
    about.Controls().Image_Bck->Clear();  // a reload would bring it back
    about.Close();
  });
  About([](TFormAbout& about) {
    EXPECT_TRUE(about.Controls().Image_Bck->Picture().isNull());
    about.Close();
  });
}

}  // namespace
