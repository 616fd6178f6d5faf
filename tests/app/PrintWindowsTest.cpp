#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <set>

#include "CardBook.h"
#include "EditView.h"
#include "FormFrame.h"
#include "Form_Print.h"
#include "Form_PrintDlg.h"
#include "PdfTools.h"
#include "QMCoolEdit.h"
#include "Report.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "UserInput.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_PrintDlg.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::PdfImageObjects;
using testing_support::PdfPageCount;
using testing_support::PdfPagePicture;
using testing_support::PdfPageText;
using testing_support::TempProgramFolder;
using testing_support::UserClick;

constexpr const char* kPrintError = "An error occurred while printing !";

std::string Card(std::string_view surname, std::string_view picture = "", std::string_view phone = "") {
  CardValues values{};
  values[cfSurname] = surname;
  values[cfFirstName] = "First";
  values[cfCompany] = "Company";
  values[cfPicture] = picture;
  values[cfPhone] = phone;
  return BuildCardLine(values);
}

std::vector<std::string> Cards(int count) {
  std::vector<std::string> cards;
  for (int i = 1; i <= count; ++i) cards.push_back(Card("Card" + std::to_string(i)));
  return cards;
}

// The main window over a program folder with a colour scheme and two card pictures: the default
// picture (green) and red.jpg. The printer set-up answers with a PDF file of the folder.
class PrintWindows : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    std::filesystem::create_directories(Folder.Path / "skins");
    std::filesystem::create_directories(Folder.Path / "images");
    testing_support::WriteJpeg(Folder.Path / "skins" / "blue1.jpg", 300, 300, qRgb(0, 0, 200));
    testing_support::WriteJpeg(Folder.Path / "skins" / "blue2.jpg", 300, 60, qRgb(0, 0, 100));
    testing_support::WriteJpeg(Folder.Path / "images" / "000_HELP.JPG", 60, 60, qRgb(0, 160, 0));
    testing_support::WriteJpeg(Folder.Path / "images" / "red.jpg", 60, 60, qRgb(220, 0, 0));
    PreviousSetup = SetPrinterSetupHandler([this](TQRPrinterSettings& settings, int) {
      settings.OutputFileName = QString::fromStdString(Pdf);
      return true;
    });
  }

  void TearDown() override {
    Window.reset();
    SetPrinterSetupHandler(PreviousSetup);
  }

  void Start(const std::vector<std::string>& cards) {
    if (!cards.empty()) testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {200, 150}));
  }

  // Clicks Print and, once the dialog is active, runs drive on it; closes it afterwards. The
  // dialog, or nullptr when none opened.
  TFormPrintDlg* Open(const std::function<void(TFormPrintDlg&, Ui::TFormPrintDlg&)>& drive) {
    return testing_support::DriveModal<TFormPrintDlg>(
        Window.get(), [this] { UserClick(Window->Controls().Button1); },
        [&](TFormPrintDlg& dialog) { drive(dialog, dialog.Controls()); });
  }

  static void Type(TQMCoolEdit* edit, const char* text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }

  static std::string Total(Ui::TFormPrintDlg& ui) { return ui.LblTotal->text().toStdString(); }

  // Chooses the PDF file through Setup, then prints.
  static void SetupAndPrint(Ui::TFormPrintDlg& ui) {
    UserClick(ui.BtnSetup);
    UserClick(ui.BtnPrint);
  }

  TempProgramFolder Folder;
  std::string Pdf = Folder.File("cards.pdf");
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
  TQRPrinterSetupHandler PreviousSetup;
};

TEST_F(PrintWindows, EmptyBookOpensNothing) {
  Start({});
  EXPECT_EQ(Open([](TFormPrintDlg&, Ui::TFormPrintDlg&) {}), nullptr);
  EXPECT_EQ(Boxes.Shown, std::vector<AnsiString>{"Your Address Book is Empty - ZuruVavad is not available"});
}

TEST_F(PrintWindows, CounterFollowsTheChoices) {
  Start(Cards(23));
  Window->CurrentCard = 4;
  Open([&](TFormPrintDlg& dialog, Ui::TFormPrintDlg& ui) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), " Business Card Printing");
    EXPECT_EQ(dialog.size(), QSize(595, 270));
    EXPECT_EQ(dialog.Frame().SkinShown(), 0);  // the scheme's background, loaded at activation
    EXPECT_FALSE(ui.Image_Bck->Picture().isNull());
    EXPECT_EQ(Total(ui), "(23 Cards / 3 Pages)");
    Type(ui.EdCopies, "2");
    EXPECT_EQ(Total(ui), "(46 Cards / 5 Pages)");
    Type(ui.EdCopies, "0");
    EXPECT_EQ(Total(ui), "(0 Cards / 0 Pages)");
    Type(ui.EdCopies, "");
    EXPECT_EQ(Total(ui), "(23 Cards / 3 Pages)");
    Type(ui.EdCopies, "3x");
    EXPECT_EQ(ui.EdCopies->text().toStdString(), "3");
    QTest::mouseClick(ui.RbCurrent, Qt::LeftButton);
    EXPECT_EQ(Total(ui), "(3 Cards / 1 Pages)");
    EXPECT_FALSE(ui.cFrom->isEnabled());
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    EXPECT_TRUE(ui.cFrom->isEnabled() && ui.cTo->isEnabled());
    EXPECT_EQ(ui.cTo->text().toStdString(), "23");  // the empty last number gets the card count
    Type(ui.EdCopies, "1");
    Type(ui.cTo, "20");
    EXPECT_EQ(Total(ui), "(20 Cards / 2 Pages)");
    Type(ui.cFrom, "21");
    EXPECT_EQ(Total(ui), "(0 Cards / 0 Pages)");  // reversed
    QTest::mouseClick(ui.RbAll, Qt::LeftButton);
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    EXPECT_EQ(ui.cTo->text().toStdString(), "20");  // a last number already there stays
    ui.CBTemplate->setCurrentIndex(1);
    EXPECT_EQ(ui.CBTemplate->currentText().toStdString(), "Classic");
  });
  // The choices stay for the next opening; the counter follows the book of that moment.
  UserClick(Window->Controls().Button_New);
  QTest::keyClicks(Window->Controls().Edit_SurName, QStringLiteral("Added"));
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    EXPECT_TRUE(ui.RbRange->isChecked());
    EXPECT_EQ(ui.cFrom->text().toStdString(), "21");
    QTest::mouseClick(ui.RbAll, Qt::LeftButton);
    EXPECT_EQ(Total(ui), "(24 Cards / 3 Pages)");  // Print stored the new card first
  });
}

TEST_F(PrintWindows, RangeEditsKeepTheCountOfABigBook) {
  Start(Cards(1000));
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    EXPECT_EQ(ui.cTo->text().toStdString(), "1000");
    EXPECT_EQ(Total(ui), "(1000 Cards / 100 Pages)");
    Type(ui.cFrom, "12345");  // the user types at most three digits
    EXPECT_EQ(ui.cFrom->text().toStdString(), "123");
  });
}

TEST_F(PrintWindows, PrintsTheChosenCardsAndCopiesIntoThePdf) {
  Start(Cards(11));
  Window->CurrentCard = 6;
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    SetupAndPrint(ui);
    EXPECT_TRUE(Boxes.Shown.empty());
    ASSERT_EQ(PdfPageCount(Pdf), 2);
    const QString first = PdfPageText(Pdf, 1);
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("Card1 First +Card2 First"))));
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("Card9 First +Card10 First"))));
    EXPECT_TRUE(PdfPageText(Pdf, 2).contains(QStringLiteral("Card11 First")));

    QTest::mouseClick(ui.RbCurrent, Qt::LeftButton);
    Type(ui.EdCopies, "3");
    UserClick(ui.BtnPrint);
    ASSERT_EQ(PdfPageCount(Pdf), 1);
    EXPECT_EQ(PdfPageText(Pdf, 1).count(QStringLiteral("Card7 First")), 3);
    EXPECT_EQ(PdfPageText(Pdf, 1).count(QStringLiteral("First")), 3);

    // Two cards, two copies: card 2, card 2, card 3, card 3.
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    Type(ui.cFrom, "2");
    Type(ui.cTo, "3");
    Type(ui.EdCopies, "2");
    UserClick(ui.BtnPrint);
    const QString range = PdfPageText(Pdf, 1);
    EXPECT_TRUE(range.contains(
        QRegularExpression(QStringLiteral("Card2 First +Card2 First[^\\n]*\\n(.*\\n)*.*Card3 First +Card3 First"))))
        << range.toStdString();
    EXPECT_EQ(range.count(QStringLiteral("First")), 4);

    // Copies typed as 0 print one copy of each card.
    Type(ui.EdCopies, "0");
    UserClick(ui.BtnPrint);
    EXPECT_EQ(PdfPageText(Pdf, 1).count(QStringLiteral("First")), 2);
    EXPECT_TRUE(Boxes.Shown.empty());
    EXPECT_TRUE(ui.BtnPrint->isEnabled() && ui.BtnSetup->isEnabled() && ui.BtnExit->isEnabled());
  });
}

TEST_F(PrintWindows, CardTextsOnTheCard) {
  CardValues values{};
  values[cfSurname] = "Smith";
  values[cfFirstName] = "John";
  values[cfCompany] = "Acme";
  values[cfEmail] = "john@acme.invalid";
  values[cfAddress] = "1 Road";
  values[cfCity] = "Town";
  values[cfZip] = "12345";
  values[cfState] = "ST";
  values[cfCountry] = "Land";
  values[cfPhone] = "555";
  Start({BuildCardLine(values)});
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) { SetupAndPrint(ui); });
  const QString text = PdfPageText(Pdf, 1);
  for (const char* expected : {"Smith John", "Acme", "john@acme.invalid", "1 Road Town 12345", "ST Land"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected << "\n" << text.toStdString();
  EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b555\\s*\\n")))) << text.toStdString();
  EXPECT_FALSE(text.contains(u'-'));
}

TEST_F(PrintWindows, EveryBandShowsItsPictureOrTheDefault) {
  // red, a missing .jpg, none, a .jpeg name, and (past the end of the book) a blank card.
  Start({Card("Red", "red.jpg"), Card("Missing", "missing.JPG"), Card("None"), Card("Other", "red.jpeg")});
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    Type(ui.cTo, "5");
    SetupAndPrint(ui);
  });
  ASSERT_TRUE(Boxes.Shown.empty());
  const std::vector<int> images = PdfImageObjects(Pdf);
  EXPECT_EQ(images.size(), 5u);
  EXPECT_EQ(std::set<int>(images.begin(), images.end()).size(), 2u);  // each picture stored once
  const QImage page = PdfPagePicture(Pdf, 1, 36, Folder.File("page"));
  ASSERT_FALSE(page.isNull());
  auto picture = [&](int slot) {
    const double px = 36 / 25.4;
    const double left = 10 + (slot % 2) * 95 + 5.73 + 24.69 / 2;
    const double top = 10 + (slot / 2) * 48.95 + 3.97 + 26.46 / 2;
    const QColor c = page.pixelColor(static_cast<int>(left * px), static_cast<int>(top * px));
    return c.red() > 180 && c.green() < 60 ? 'R' : c.green() > 120 && c.red() < 60 ? 'G' : '?';
  };
  EXPECT_EQ(std::string({picture(0), picture(1), picture(2), picture(3), picture(4)}), "RGGGG");
  const QString text = PdfPageText(Pdf, 1);
  EXPECT_TRUE(text.contains(QStringLiteral("Other First")));
}

TEST_F(PrintWindows, FailuresShowThePrintErrorAndTheDialogStays) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  Start(Cards(3));
  Open([&](TFormPrintDlg& dialog, Ui::TFormPrintDlg& ui) {
    UserClick(ui.BtnPrint);  // no printer chosen and none installed
    EXPECT_EQ(Boxes.Shown, std::vector<AnsiString>{kPrintError});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(ui.BtnPrint->isEnabled() && ui.BtnSetup->isEnabled() && ui.BtnExit->isEnabled());

    UserClick(ui.BtnSetup);
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    Type(ui.cFrom, "0");  // index -1
    UserClick(ui.BtnPrint);
    EXPECT_EQ(Boxes.Shown.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(Pdf));

    Type(ui.cFrom, "1");
    Type(ui.EdCopies, "2147483647");  // far more than 10,000 pages
    QElapsedTimer timer;
    timer.start();
    UserClick(ui.BtnPrint);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(Boxes.Shown.size(), 3u);
    EXPECT_EQ(Boxes.Shown.back(), kPrintError);
    EXPECT_FALSE(std::filesystem::exists(Pdf));
  });
}

TEST_F(PrintWindows, NumbersTheDialogPutsInAreShownFromTheirStart) {
  Start(Cards(100000));
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    EXPECT_EQ(ui.cFrom->cursorPosition(), 0);
    EXPECT_EQ(ui.EdCopies->cursorPosition(), 0);
    QTest::mouseClick(ui.RbRange, Qt::LeftButton);
    ASSERT_EQ(ui.cTo->text().toStdString(), "100000");
    EXPECT_EQ(ui.cTo->cursorPosition(), 0);
    EXPECT_TRUE(testing_support::ShowsFromItsStart(*ui.cTo));
  });
}

// The colour of an edit's empty right-hand part, as drawn.
QRgb BackgroundOf(QWidget* edit) {
  return edit->grab().toImage().pixel(edit->width() - 5, edit->height() / 2);
}

// A range edit that had the focus looks, once disabled, as the one that never had it, and takes
// no typing.
TEST_F(PrintWindows, RangeEditsLeftForAnotherChoiceLookDisabled) {
  Start(Cards(23));
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    for (QRadioButton* choice : {ui.RbAll, ui.RbCurrent}) {
      SCOPED_TRACE(choice->text().toStdString());
      QTest::mouseClick(ui.RbRange, Qt::LeftButton);
      QTest::mouseClick(ui.cFrom, Qt::LeftButton);
      ASSERT_TRUE(ui.cFrom->hasFocus());
      QTest::mouseClick(choice, Qt::LeftButton);
      ASSERT_FALSE(ui.cFrom->isEnabled());
      QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
      EXPECT_EQ(ui.cFrom->text().toStdString(), "1");

      EXPECT_EQ(ui.cFrom->palette().color(QPalette::Disabled, QPalette::Base),
                ui.cTo->palette().color(QPalette::Disabled, QPalette::Base));
      EXPECT_EQ(ui.cFrom->palette().color(QPalette::Disabled, QPalette::Text),
                ui.cTo->palette().color(QPalette::Disabled, QPalette::Text));
      EXPECT_EQ(BackgroundOf(ui.cFrom), BackgroundOf(ui.cTo));
      EXPECT_NE(BackgroundOf(ui.cFrom), BackgroundOf(ui.EdCopies));  // a live field
    }
  });
}

TEST_F(PrintWindows, APageRangeFromSetupNeverFailsALaterShorterPrint) {
  Start(Cards(25));
  Window->CurrentCard = 6;
  SetPrinterSetupHandler([this](TQRPrinterSettings& settings, int) {
    settings.OutputFileName = QString::fromStdString(Pdf);
    settings.FromPage = 2;
    settings.ToPage = 3;
    return true;
  });
  // The card names of each page of the PDF, in their order.
  auto pages = [this] {
    std::vector<std::string> names;
    for (int page = 1; page <= PdfPageCount(Pdf); ++page) {
      QStringList onPage;
      auto found = QRegularExpression(QStringLiteral("Card\\d+")).globalMatch(PdfPageText(Pdf, page));
      while (found.hasNext()) onPage << found.next().captured();
      names.push_back(onPage.join(u' ').toStdString());
    }
    return names;
  };
  auto cardsFrom = [](int first, int last) {
    QStringList names;
    for (int i = first; i <= last; ++i) names << QStringLiteral("Card%1").arg(i);
    return names.join(u' ').toStdString();
  };
  using Pages = std::vector<std::string>;
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    SetupAndPrint(ui);
    EXPECT_EQ(pages(), (Pages{cardsFrom(11, 20), cardsFrom(21, 25)}));

    QTest::mouseClick(ui.RbCurrent, Qt::LeftButton);  // one page: none of the range, so all of it
    UserClick(ui.BtnPrint);
    EXPECT_EQ(pages(), Pages{"Card7"});

    QTest::mouseClick(ui.RbRange, Qt::LeftButton);  // two pages: the second lies in the range
    Type(ui.cFrom, "1");
    Type(ui.cTo, "15");
    UserClick(ui.BtnPrint);
    EXPECT_EQ(pages(), Pages{cardsFrom(11, 15)});

    QTest::mouseClick(ui.RbAll, Qt::LeftButton);  // the range still holds for the run
    UserClick(ui.BtnPrint);
    EXPECT_EQ(pages(), (Pages{cardsFrom(11, 20), cardsFrom(21, 25)}));
  });
  EXPECT_TRUE(Boxes.Shown.empty()) << Boxes.Shown.front();
}

// A pasted number keeps its digits when it held characters the code page cannot hold; the digits
// leave no "?" behind, so no box tells of them.
TEST_F(PrintWindows, APastedNumberKeepsItsDigitsAmongCharactersTheCodePageCannotHold) {
  Start(Cards(23));
  Open([&](TFormPrintDlg&, Ui::TFormPrintDlg& ui) {
    Type(ui.EdCopies, "");
    QApplication::clipboard()->setText(
        QString::fromUtf8("\u00D72 \u03B1\u03BD\u03C4\u03AF\u03B3\u03C1\u03B1\u03C6\u03B1"));
    QTest::keyClick(ui.EdCopies, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ui.EdCopies->text().toStdString(), "2");
    EXPECT_EQ(Total(ui), "(46 Cards / 5 Pages)");
    QTest::qWait(20);
  });
  EXPECT_TRUE(Boxes.Shown.empty());
}

}  // namespace
