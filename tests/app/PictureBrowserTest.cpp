#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>

#include "Dialogs.h"
#include "Form_Img.h"
#include "Grids.h"
#include "Menus.h"
#include "QMWave.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Img.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::ChooseFromMenu;
using testing_support::MessageBoxRecorder;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::UserDoubleClick;
using testing_support::UserRightClick;
using testing_support::WriteBytes;

QRgb PictureColour(int i) {
  return qRgb(40 + (i * 37) % 200, 200 - (i * 23) % 150, (i * 61) % 255);
}

bool Near(QRgb actual, QRgb expected) {
  return std::abs(qRed(actual) - qRed(expected)) < 20 && std::abs(qGreen(actual) - qGreen(expected)) < 20 &&
         std::abs(qBlue(actual) - qBlue(expected)) < 20;
}

// A program folder with count pictures ("pic00.jpg" ...), each of its own colour, the main window
// over it, and the browser opened from it.
class PictureBrowser : public testing::Test {
 protected:
  void SetUp() override { SetSoundDevice("null"); }
  void TearDown() override { Window.reset(); }

  void Start(int count, int corrupt = -1) {
    std::filesystem::create_directories(Folder.Path / "images");
    for (int i = 0; i < count; ++i) {
      const auto file =
          Folder.Path / "images" / QStringLiteral("pic%1.jpg").arg(i, 2, 10, QLatin1Char('0')).toStdString();
      if (i == corrupt)
        WriteBytes(file, "\xFF\xD8\xFF\xE0 not really a picture");
      else
        testing_support::WriteJpeg(file, 300, 200, PictureColour(i));
    }
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", {Card("Ann")});
    Window = std::make_unique<TForm_Main>();
    Window->WaveMoveCard->OnPlay = [this](QObject*) { ++MoveSounds; };
    ASSERT_TRUE(testing_support::ShowActive(*Window, {150, 100}));
  }

  // Runs open (which shows the browser modally), then drive on the browser once it is active; a
  // browser still open afterwards fails the test and is closed.
  void Browse(const std::function<void()>& open, const std::function<void(TFormImg&)>& drive,
              bool expectClosed = true) {
    bool leftOpen = false;
    TFormImg* browser = testing_support::DriveModal(Window.get(), open, drive, &leftOpen);
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(leftOpen && expectClosed) << "the browser is still open";
  }
  void Browse(const std::function<void(TFormImg&)>& drive, bool expectClosed = true) {
    Browse([this] { UserDoubleClick(Window->Controls().BitMap_Main); }, drive, expectClosed);
  }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
  int MoveSounds = 0;
};

// The grid once its pause is over and its cells are painted.
const QImage& PaintedGrid(TFormImg& browser) {
  TDrawGrid* grid = browser.Controls().DG;
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid->isVisible(); }, 2000));
  QApplication::processEvents();
  return grid->PaintCanvas();
}

QPoint CellCentre(int col, int row) {
  return {col * 76 + 37, row * 81 + 40};
}

void DoubleClick(TFormImg& browser, QPoint at) {
  QWidget* viewport = browser.Controls().DG->viewport();
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

TEST_F(PictureBrowser, RowsFollowThePictureCountAtEveryOpening) {
  Start(5);
  struct Case {
    int Add, Rows;
  };
  int total = 5;
  // 5 pictures: one row; 6: two; 12: three, the third empty; 13: three.
  for (const Case c : {Case{0, 1}, Case{1, 2}, Case{6, 3}, Case{1, 3}}) {
    for (int i = 0; i < c.Add; ++i, ++total) {
      const std::string source = Folder.File("new" + std::to_string(total) + ".jpg");
      testing_support::WriteJpeg(source, 150, 160, PictureColour(total));
      SetOpenDialogHandler([&](const OpenDialogRequest&) { return std::optional<AnsiString>(source); });
      ChooseFromMenu([this] { UserRightClick(Window->Controls().BitMap_Main); }, QStringLiteral("Load new image"));
    }
    SetOpenDialogHandler(nullptr);
    ASSERT_EQ(Window->ImageCount, total);
    Browse([&](TFormImg& browser) {
      SCOPED_TRACE(total);
      EXPECT_EQ(browser.Controls().DG->RowCount(), c.Rows);
      EXPECT_EQ(browser.LastIndex, total - 1);
      // The newest picture, added during the run, has its thumbnail.
      const QPoint last = CellCentre((total - 1) % 6, (total - 1) / 6);
      EXPECT_TRUE(Near(PaintedGrid(browser).pixel(last), PictureColour(total - 1)));
      UserClick(browser.Controls().VxSpeedButton5);
    });
  }
}

TEST_F(PictureBrowser, ThumbnailsAfterThePauseOnlyForPicturesAndACorruptOneIsAQuestionMarkThatCanBeChosen) {
  Start(13, 2);
  const int before = Window->CurrentImage;
  ASSERT_EQ(before, 0);
  Browse([&](TFormImg& browser) {
    // Centred on the main window.
    const QRect main = Window->frameGeometry();
    EXPECT_EQ(browser.frameGeometry().center(), main.center());
    TDrawGrid* grid = browser.Controls().DG;
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(browser.ThumbnailsDecoded(), 0);  // nothing before the pause
    const QImage& image = PaintedGrid(browser);
    EXPECT_EQ(browser.ThumbnailsDecoded(), 13);  // the cells past the last picture decode nothing
    for (int i = 0; i < 18; ++i) {
      SCOPED_TRACE(i);
      const QPoint centre = CellCentre(i % 6, i / 6);
      const QPoint corner = centre - QPoint(30, 30);
      if (i == 2) {
        EXPECT_EQ(image.pixel(corner), qRgb(255, 255, 255));
        bool mark = false;  // the "?" is drawn from the cell's centre
        for (int y = centre.y(); y < centre.y() + 12; ++y)
          for (int x = centre.x(); x < centre.x() + 8; ++x) mark = mark || qGray(image.pixel(x, y)) < 128;
        EXPECT_TRUE(mark);
      } else if (i < 13) {
        EXPECT_TRUE(Near(image.pixel(corner), PictureColour(i)));
        EXPECT_TRUE(Near(image.pixel(centre), PictureColour(i)));
      } else {
        EXPECT_EQ(image.pixel(centre), qRgb(255, 255, 255));
      }
    }
    // Cells past the last picture and the empty part of the grid choose nothing.
    DoubleClick(browser, CellCentre(1, 2));
    EXPECT_TRUE(browser.isVisible());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(4, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(200, 3 * 81 + 4));
    EXPECT_TRUE(browser.isVisible());
    EXPECT_EQ(Window->CurrentImage, before);
    DoubleClick(browser, CellCentre(2, 0));
    EXPECT_FALSE(browser.isVisible());
  });
  EXPECT_EQ(Window->CurrentImage, 2);
  EXPECT_EQ(Window->CardPicture, "");  // it cannot be shown: the card keeps no picture name
  EXPECT_TRUE(Window->Modified);
}

TEST_F(PictureBrowser, ADoubleClickOnTheCardPictureOpensItAndTheChoiceBecomesTheCardsPicture) {
  Start(8);
  Browse([this] { QTest::mouseDClick(Window->Controls().BitMap_Main, Qt::LeftButton); },
         [&](TFormImg& browser) {
           PaintedGrid(browser);
           DoubleClick(browser, CellCentre(1, 1));
         });
  EXPECT_EQ(Window->CurrentImage, 7);
  EXPECT_EQ(Window->CardPicture, Folder.File("images/pic07.jpg"));
  const QImage shown = Window->Controls().BitMap_Main->Picture();
  EXPECT_TRUE(Near(shown.pixel(shown.width() / 2, shown.height() / 2), PictureColour(7)));
  EXPECT_EQ(MoveSounds, 1);
  UserClick(Window->Controls().Button_Next);  // stores the card with its new picture
  EXPECT_EQ(ReadCardView(Window->Cards[0]).PictureSlot, "pic07.jpg");
}

TEST_F(PictureBrowser, ExitKeepsTheCurrentPictureButStillMarksTheCardAndShowsItAgain) {
  Start(4);
  UserClick(Window->Controls().Button_NextImage);
  ASSERT_EQ(Window->CurrentImage, 1);
  Window->Modified = false;
  Window->Controls().BitMap_Main->Clear();
  MoveSounds = 0;
  Browse([&](TFormImg& browser) {
    PaintedGrid(browser);
    QTest::mouseClick(browser.Controls().DG->viewport(), Qt::LeftButton, {}, CellCentre(3, 0));
    UserClick(browser.Controls().VxSpeedButton5);
  });
  EXPECT_EQ(Window->CurrentImage, 1);
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(MoveSounds, 1);
  EXPECT_EQ(Window->CardPicture, Folder.File("images/pic01.jpg"));
  EXPECT_FALSE(Window->Controls().BitMap_Main->Picture().isNull());
}

TEST_F(PictureBrowser, WithoutPicturesTheGridHasOneEmptyRowAndOnlyExitCloses) {
  Start(0);
  Browse([&](TFormImg& browser) {
    EXPECT_EQ(browser.Controls().DG->RowCount(), 1);
    EXPECT_EQ(browser.LastIndex, -1);
    PaintedGrid(browser);
    DoubleClick(browser, CellCentre(0, 0));
    EXPECT_TRUE(browser.isVisible());
    EXPECT_EQ(browser.ThumbnailsDecoded(), 0);
    UserClick(browser.Controls().VxSpeedButton5);
  });
  EXPECT_EQ(Window->CurrentImage, -1);
  EXPECT_EQ(Window->CardPicture, "");
}

}  // namespace
