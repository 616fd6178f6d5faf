#include "Report.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <filesystem>
#include <set>

#include "Jpeg.h"
#include "PdfTools.h"
#include "TestSupport.h"

namespace {

using testing_support::PdfImageObjects;
using testing_support::PdfInfo;
using testing_support::PdfPagePicture;
using testing_support::PdfPageText;
using testing_support::TempProgramFolder;

QString Pdf(const std::string& file) {
  return QString::fromStdString(file);
}

void WriteJpeg(const std::string& file, QRgb colour, int size = 40) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(colour);
  TJPEGImage jpeg;
  jpeg.Assign(image);
  jpeg.SaveToFile(file);
}

// A card-sized band in two columns of A4, with a name, a line of text and a picture; the event
// gives the bands "Card 1" to "Card n" with the pictures of a list in turn.
class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    report.Columns = 2;
    report.SetBand(94.87, 48.95);
    report.Band().AddShape(2.65, 1.32, 82.02, 45.86, TQRShapeType::qrsRectangle, clBlack);
    image = report.Band().AddImage(5.73, 3.97, 24.69, 26.46);
    name = report.Band().AddLabel(34.4, 5.1, 10, true);
    line = report.Band().AddLabel(5.29, 33.07, 8, false);
    report.OnNeedData = [this](QObject*, bool& more) {
      ++calls;
      name->Caption = "Card " + std::to_string(calls);
      line->Caption = "line " + std::to_string(calls);
      if (!pictures.empty()) image->LoadFromFile(pictures[static_cast<std::size_t>(calls) % pictures.size()]);
      more = calls <= bands;
    };
    report.PrinterSettings.OutputFileName = Pdf(pdf);
  }

  TempProgramFolder folder;
  std::string pdf = folder.File("out.pdf");
  TQuickRep report;
  TQRImage* image = nullptr;
  TQRLabel* name = nullptr;
  TQRLabel* line = nullptr;
  std::vector<AnsiString> pictures;
  int bands = 0;
  int calls = 0;
};

TEST_F(ReportTest, TenBandsToAnA4PageInTwoColumnsAcrossThenDown) {
  bands = 11;
  report.Print();
  EXPECT_EQ(calls, 12);  // the last call answers false
  EXPECT_EQ(testing_support::PdfPageCount(pdf), 2);
  EXPECT_EQ(report.PageCount(), 2);
  const QString info = PdfInfo(pdf);
  EXPECT_TRUE(
      info.contains(QRegularExpression(QStringLiteral("Page size: +595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))))
      << info.toStdString();
  const QString first = PdfPageText(pdf, 1);
  for (int row = 0; row < 5; ++row) {
    const QRegularExpression pair(QStringLiteral("Card %1 +Card %2\\b").arg(2 * row + 1).arg(2 * row + 2));
    EXPECT_TRUE(first.contains(pair)) << row << "\n" << first.toStdString();
  }
  EXPECT_FALSE(first.contains(QStringLiteral("Card 11")));
  const QString second = PdfPageText(pdf, 2);
  EXPECT_TRUE(second.contains(QStringLiteral("Card 11")));
  EXPECT_TRUE(second.contains(QStringLiteral("line 11")));
}

TEST_F(ReportTest, CopiesAndPageRange) {
  bands = 25;  // three pages
  report.PrinterSettings.Copies = 2;
  report.PrinterSettings.FromPage = 2;
  report.PrinterSettings.ToPage = 3;
  report.Print();
  ASSERT_EQ(testing_support::PdfPageCount(pdf), 4);
  for (int page : {1, 3}) {
    EXPECT_TRUE(PdfPageText(pdf, page).contains(QStringLiteral("Card 11"))) << page;
    EXPECT_FALSE(PdfPageText(pdf, page).contains(QStringLiteral("Card 10"))) << page;
    EXPECT_TRUE(PdfPageText(pdf, page + 1).contains(QStringLiteral("Card 25"))) << page;
  }
}

// The number of the first card on each page of the PDF.
std::vector<int> FirstCardOfEachPage(const std::string& pdf) {
  std::vector<int> cards;
  const int pages = testing_support::PdfPageCount(pdf);
  for (int page = 1; page <= pages; ++page) {
    const QRegularExpressionMatch card =
        QRegularExpression(QStringLiteral("Card (\\d+)")).match(PdfPageText(pdf, page));
    cards.push_back(card.hasMatch() ? card.captured(1).toInt() : 0);
  }
  return cards;
}

TEST_F(ReportTest, APageRangeBeyondTheReportPrintsWhatLiesInsideOrEveryPage) {
  struct Case {
    int bands, from, to;
    std::vector<int> firstCards;
  };
  const Case cases[] = {
      {25, 2, 3, {11, 21}},     // inside
      {15, 2, 3, {11}},         // the part that lies inside
      {5, 2, 3, {1}},           // none of it: the whole report
      {25, 7, 7, {1, 11, 21}},  // none of it
      {0, 2, 3, {0}},           // the empty report's one page
      {25, 0, 0, {1, 11, 21}},  // all pages
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bands << " bands, pages " << c.from << " to " << c.to);
    bands = c.bands;
    calls = 0;
    report.PrinterSettings.FromPage = c.from;
    report.PrinterSettings.ToPage = c.to;
    ASSERT_NO_THROW(report.Print());
    EXPECT_EQ(FirstCardOfEachPage(pdf), c.firstCards);
    EXPECT_EQ(report.PrinterSettings.FromPage, c.from);  // the set-up's choice stays for the next print
    EXPECT_EQ(report.PrinterSettings.ToPage, c.to);
  }
}

TEST_F(ReportTest, EmptyReportPrintsOneEmptyPage) {
  report.Print();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(testing_support::PdfPageCount(pdf), 1);
  EXPECT_FALSE(PdfPageText(pdf, 1).contains(QStringLiteral("Card")));
}

TEST_F(ReportTest, FailuresPrintNothing) {
  bands = 30;
  report.OnNeedData = [this, event = report.OnNeedData](QObject* sender, bool& more) {
    event(sender, more);
    if (calls == 25) throw Exception("no such card");
  };
  EXPECT_THROW(report.Print(), Exception);
  EXPECT_FALSE(std::filesystem::exists(pdf));

  report.OnNeedData = [](QObject*, bool& more) { more = true; };  // never ends
  try {
    report.Print();
    ADD_FAILURE() << "a report of more than 10,000 pages printed";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "The report has more than 10000 pages");
  }
  EXPECT_FALSE(std::filesystem::exists(pdf));

  bands = 1;
  calls = 0;
  report.OnNeedData = [this](QObject*, bool& more) { more = ++calls <= bands; };
  report.PrinterSettings.OutputFileName = Pdf(folder.File("no-such-folder/out.pdf"));
  EXPECT_THROW(report.Print(), Exception);
}

TEST_F(ReportTest, WithoutAPrinterThePrintFails) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  bands = 1;
  report.PrinterSettings.OutputFileName.clear();
  EXPECT_THROW(report.Print(), Exception);
  report.PrinterSettings.PrinterName = QStringLiteral("no-such-printer");
  EXPECT_THROW(report.Print(), Exception);
}

TEST_F(ReportTest, PicturesShowWhereTheBandPutsThemAndEachFileIsStoredOnce) {
  for (auto [file, colour] : {std::pair{"red.jpg", qRgb(255, 0, 0)}, {"blue.jpg", qRgb(0, 0, 255)}}) {
    pictures.push_back(folder.File(file));
    WriteJpeg(pictures.back(), colour);
  }
  bands = 20;
  report.Print();
  // Each band's picture: call k loads pictures[k % 2], so the first band shows blue.
  const QImage page = PdfPagePicture(pdf, 1, 36, folder.File("page"));
  ASSERT_FALSE(page.isNull());
  const double px = 36 / 25.4;  // pixels per mm
  auto pictureCentre = [&](int slot) {
    const double left = 10 + (slot % 2) * 95 + 5.73 + 24.69 / 2;
    const double top = 10 + (slot / 2) * 48.95 + 3.97 + 26.46 / 2;
    return page.pixelColor(static_cast<int>(left * px), static_cast<int>(top * px));
  };
  EXPECT_GT(pictureCentre(0).blue(), 200);
  EXPECT_LT(pictureCentre(0).red(), 60);
  EXPECT_GT(pictureCentre(1).red(), 200);
  EXPECT_LT(pictureCentre(1).blue(), 60);

  const std::vector<int> images = PdfImageObjects(pdf);
  EXPECT_EQ(images.size(), 20u);
  EXPECT_EQ(std::set<int>(images.begin(), images.end()).size(), 2u);
}

TEST_F(ReportTest, APhotoIsDecodedOnlyAsLargeAsThePrintNeeds) {
  const std::string photo = folder.File("photo.jpg");
  WriteJpeg(photo, qRgb(0, 128, 0), 2400);
  image->LoadFromFile(photo);
  // 300 dots an inch over 24.69 x 26.46 mm take 292 x 313 pixels: a quarter of the photo covers them.
  EXPECT_EQ(image->Picture.size(), QSize(600, 600));
}

TEST_F(ReportTest, PrinterSetupKeepsTheChoicesOfOkOnly) {
  const TQRPrinterSetupHandler previous = SetPrinterSetupHandler([](TQRPrinterSettings& settings, int) {
    settings.OutputFileName = QStringLiteral("/tmp/chosen.pdf");
    settings.Copies = 3;
    return false;
  });
  report.PrinterSetup();
  EXPECT_EQ(report.PrinterSettings.Copies, 1);
  int shownPages = -1;
  SetPrinterSetupHandler([&shownPages](TQRPrinterSettings& settings, int pages) {
    shownPages = pages;
    settings.Copies = 3;
    return true;
  });
  bands = 11;
  report.Print();
  report.PrinterSetup();
  EXPECT_EQ(shownPages, 2);
  EXPECT_EQ(report.PrinterSettings.Copies, 3);
  SetPrinterSetupHandler(previous);
}

}  // namespace
