#include "Jpeg.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTest>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "JpegWriter.h"
#include "TestSupport.h"

namespace {

QImage Pattern(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, x < width / 2 ? qRgb(200, 30, 30) : qRgb(20, 40, 220));
  return image;
}

void ExpectNear(QRgb actual, QRgb expected) {
  EXPECT_NEAR(qRed(actual), qRed(expected), 12);
  EXPECT_NEAR(qGreen(actual), qGreen(expected), 12);
  EXPECT_NEAR(qBlue(actual), qBlue(expected), 12);
}

int ErrorCode(std::string_view bytes) {
  try {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(bytes);
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message, Format("JPEG error #%d", error.Code));
    return error.Code;
  }
  return 0;
}

// A CMYK picture as print software writes it (inverted channels), through libjpeg directly.
std::string CmykJpeg(unsigned char c, unsigned char m, unsigned char y, unsigned char k) {
  return testing_support::JpegBytes({.Width = 16, .Height = 16, .Components = 4, .Space = JCS_CMYK},
                                    [=](int, unsigned char* row) {
                                      for (int x = 0; x < 16; ++x) {
                                        row[x * 4] = static_cast<unsigned char>(255 - c);
                                        row[x * 4 + 1] = static_cast<unsigned char>(255 - m);
                                        row[x * 4 + 2] = static_cast<unsigned char>(255 - y);
                                        row[x * 4 + 3] = static_cast<unsigned char>(255 - k);
                                      }
                                    });
}

TEST(Jpeg, EncodesAndDecodesAPicture) {
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(150, 160));
  const std::string bytes = jpeg.SaveToBytes();
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
  TJPEGImage decoded;
  decoded.LoadFromBytes(bytes);
  EXPECT_EQ(decoded.Width(), 150);
  EXPECT_EQ(decoded.Height(), 160);
  ExpectNear(decoded.Bitmap().pixel(10, 80), qRgb(200, 30, 30));
  ExpectNear(decoded.Bitmap().pixel(140, 80), qRgb(20, 40, 220));
}

TEST(Jpeg, DecodesCmykPictures) {
  TJPEGImage jpeg;
  jpeg.LoadFromBytes(CmykJpeg(0, 255, 255, 0));  // full magenta and yellow: red
  ExpectNear(jpeg.Bitmap().pixel(8, 8), qRgb(255, 0, 0));
}

TEST(Jpeg, FilesRoundTripAndReplaceInPlace) {
  testing_support::TempProgramFolder folder;
  const std::string file = folder.File("pic.jpg");
  testing_support::WriteBytes(file, "not a picture");
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(40, 30));
  jpeg.SaveToFile(file);
  TJPEGImage loaded;
  loaded.LoadFromFile(file);
  EXPECT_EQ(loaded.Width(), 40);
  EXPECT_THROW(loaded.LoadFromFile(folder.File("missing.jpg")), EFOpenError);
}

TEST(Jpeg, BadDataRaisesTheJpegErrorAndKeepsThePicture) {
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(32, 32));
  const std::string good = jpeg.SaveToBytes();
  EXPECT_EQ(ErrorCode(""), JERR_INPUT_EMPTY);
  EXPECT_EQ(ErrorCode("hello, world"), JERR_NO_SOI);
  EXPECT_NE(ErrorCode(good.substr(0, 20)), 0);  // cut inside the headers
  // Cut inside the picture data: libjpeg warns and fills the rest, as it is meant to.
  TJPEGImage large;
  large.Assign(Pattern(300, 300));
  const std::string largeBytes = large.SaveToBytes();
  EXPECT_EQ(ErrorCode(largeBytes.substr(0, largeBytes.size() - 100)), 0);

  TJPEGImage kept;
  kept.LoadFromBytes(good);
  EXPECT_THROW(kept.LoadFromBytes("garbage"), EJPEG);
  EXPECT_EQ(kept.Width(), 32);  // a failed load leaves the previous picture
  EXPECT_THROW((void)TJPEGImage().SaveToBytes(), EJPEG);
}

TEST(Jpeg, AbsurdSizeIsRefusedBeforeDecoding) {
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(16, 16));
  std::string bytes = jpeg.SaveToBytes();
  // Patch the frame header's height and width to 60000 x 60000.
  const std::size_t sof = bytes.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  for (std::size_t at : {sof + 5, sof + 7}) {
    bytes[at] = static_cast<char>(60000 >> 8);
    bytes[at + 1] = static_cast<char>(60000 & 0xFF);
  }
  EXPECT_EQ(ErrorCode(bytes), JERR_IMAGE_TOO_BIG);
}

// A 16 x 16 grey progressive picture: the DC scan (split in two when splitDc) and one scan for each
// of the 63 AC coefficients, so 64 or 65 scans.
std::string ProgressiveJpeg(bool splitDc) {
  testing_support::TJpegScans scans;
  if (splitDc)
    scans.Scan(1, 0, 0, 0, 1).Scan(1, 0, 0, 1, 0);
  else
    scans.Scan(1, 0, 0);
  for (int k = 1; k < 64; ++k) scans.Scan(1, k, k);
  return testing_support::JpegBytes(
      {.Width = 16, .Height = 16, .Components = 1, .Space = JCS_GRAYSCALE, .Scans = &scans},
      [](int, unsigned char* row) {
        for (int x = 0; x < 16; ++x) row[x] = static_cast<unsigned char>(x * 16);
      });
}

// Each scan is a pass over the whole picture: more than real pictures use is refused.
TEST(Jpeg, ProgressivePicturesOfMoreScansThanTheLimitAreRefused) {
  static_assert(kMaxJpegScans == 64);
  EXPECT_EQ(ErrorCode(ProgressiveJpeg(false)), 0);
  EXPECT_EQ(ErrorCode(ProgressiveJpeg(true)), JERR_IMAGE_TOO_BIG);
}

// A FIFO would block the open for ever and a device never ends: only regular files are read, and
// no file larger than a picture can be.
TEST(Jpeg, OnlyRegularFilesOfAPictureSizeAreRead) {
  testing_support::TempProgramFolder folder;
  const std::string fifo = folder.File("fifo.jpg");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", folder.Path / "zero.jpg");
  const std::string huge = folder.File("huge.jpg");
  {
    TJPEGImage jpeg;
    jpeg.Assign(Pattern(16, 16));
    jpeg.SaveToFile(huge);
  }
  std::filesystem::resize_file(huge, kMaxJpegFileBytes + 1);  // sparse
  TJPEGImage jpeg;
  EXPECT_THROW(jpeg.LoadFromFile(fifo), EFOpenError);
  EXPECT_THROW(jpeg.LoadFromFile(folder.File("zero.jpg")), EFOpenError);
  EXPECT_THROW(jpeg.LoadFromFile(huge), EReadError);
  std::filesystem::resize_file(huge, kMaxJpegFileBytes);
  EXPECT_NO_THROW(jpeg.LoadFromFile(huge));  // the picture, then zeros libjpeg ignores
  EXPECT_EQ(jpeg.Width(), 16);
}

// A picture as a progressive JPEG, with its frame header's size patched when asked.
std::string SizedProgressiveJpeg(int width, int height, int patchedWidth = 0, int patchedHeight = 0) {
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(width, height));
  const QImage& bitmap = jpeg.Bitmap();
  std::string bytes = testing_support::JpegBytes(
      {.Width = width, .Height = height, .Components = 4, .Space = JCS_EXT_BGRX, .SimpleProgression = true},
      [&bitmap, width](int y, unsigned char* row) {
        std::memcpy(row, bitmap.constScanLine(y), std::size_t(width) * 4);
      });
  if (patchedWidth > 0) {
    const std::size_t sof = bytes.find("\xFF\xC2");
    bytes[sof + 5] = static_cast<char>(patchedHeight >> 8);
    bytes[sof + 6] = static_cast<char>(patchedHeight & 0xFF);
    bytes[sof + 7] = static_cast<char>(patchedWidth >> 8);
    bytes[sof + 8] = static_cast<char>(patchedWidth & 0xFF);
  }
  return bytes;
}

TEST(Jpeg, ScaledDecodingTakesTheLargestReductionThatStillCoversTheCell) {
  struct Case {
    int Width, Height, Denominator;
  };
  // For a 75 x 80 cell; libjpeg rounds scaled sizes up.
  for (const Case c : {Case{3000, 2000, 8}, Case{600, 640, 8}, Case{593, 633, 8}, Case{592, 640, 4}, Case{600, 632, 4},
                       Case{150, 160, 2}, Case{149, 159, 2}, Case{148, 160, 1}, Case{50, 40, 1}}) {
    SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Height);
    TJPEGImage source;
    source.Assign(Pattern(c.Width, c.Height));
    TJPEGImage jpeg;
    jpeg.LoadScaledFromBytes(source.SaveToBytes(), 75, 80);
    EXPECT_EQ(jpeg.ScaleDenominator(), c.Denominator);
    EXPECT_EQ(jpeg.Width(), (c.Width + c.Denominator - 1) / c.Denominator);
    EXPECT_EQ(jpeg.Height(), (c.Height + c.Denominator - 1) / c.Denominator);
    ExpectNear(jpeg.Bitmap().pixel(jpeg.Width() / 4, jpeg.Height() / 2), qRgb(200, 30, 30));
    ExpectNear(jpeg.Bitmap().pixel(jpeg.Width() * 3 / 4, jpeg.Height() / 2), qRgb(20, 40, 220));
  }
  TJPEGImage cmyk;
  cmyk.LoadScaledFromBytes(CmykJpeg(0, 255, 255, 0), 2, 2);
  EXPECT_EQ(cmyk.ScaleDenominator(), 8);
  ExpectNear(cmyk.Bitmap().pixel(1, 1), qRgb(255, 0, 0));
}

TEST(Jpeg, ScaledDecodingFailsCleanlyOnBadPicturesAndOnPicturesTooLargeForItsMemory) {
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(32, 32));
  const std::string good = jpeg.SaveToBytes();
  TJPEGImage scaled;
  scaled.LoadScaledFromBytes(SizedProgressiveJpeg(64, 64), 8, 8);
  EXPECT_EQ(scaled.Width(), 8);
  auto codeOf = [](const std::string& bytes) {
    try {
      TJPEGImage target;
      target.LoadScaledFromBytes(bytes, 75, 80);
    } catch (const EJPEG& error) {
      return error.Code;
    }
    return 0;
  };
  EXPECT_EQ(codeOf(""), JERR_INPUT_EMPTY);
  EXPECT_EQ(codeOf("hello, world"), JERR_NO_SOI);
  EXPECT_NE(codeOf(good.substr(0, 20)), 0);
  // 40000 x 40000 reduces to 5000 x 5000 pixels, but its progressive scans need gigabytes of
  // coefficients: refused before any pixel memory is taken.
  EXPECT_EQ(codeOf(SizedProgressiveJpeg(16, 16, 40000, 40000)), JERR_NO_BACKING_STORE);
  EXPECT_THROW(scaled.LoadScaledFromBytes("garbage", 8, 8), EJPEG);
  EXPECT_EQ(scaled.Width(), 8);  // a failed load leaves the previous picture
}

TEST(Jpeg, ManyFilesDecodeTogetherInTheirOrderEachWithItsOwnOutcome) {
  testing_support::TempProgramFolder folder;
  std::vector<AnsiString> files;
  for (int i = 0; i < 12; ++i) {
    files.push_back(folder.File("p" + std::to_string(i) + ".jpg"));
    TJPEGImage jpeg;
    jpeg.Assign(Pattern(100 + 50 * i, 160));
    testing_support::WriteBytes(files.back(), jpeg.SaveToBytes());
  }
  testing_support::WriteBytes(files[3], "garbage");
  testing_support::WriteBytes(files[4], "");
  files[5] = folder.File("missing.jpg");
  testing_support::WriteBytes(files[6], SizedProgressiveJpeg(16, 16, 40000, 40000));
  const std::vector<TScaledDecode> decoded = DecodeScaledFiles(files, 75, 80);
  ASSERT_EQ(decoded.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    switch (i) {
      case 3:
        EXPECT_EQ(decoded[i].Code, JERR_NO_SOI);
        break;
      case 4:
        EXPECT_EQ(decoded[i].Code, JERR_INPUT_EMPTY);
        break;
      case 5:
        EXPECT_EQ(decoded[i].Code, -1);  // not readable
        break;
      case 6:
        EXPECT_EQ(decoded[i].Code, JERR_NO_BACKING_STORE);  // too large even alone
        break;
      default: {
        TJPEGImage alone;
        alone.LoadScaledFromFile(files[i], 75, 80);
        EXPECT_EQ(decoded[i].Code, 0);
        EXPECT_EQ(decoded[i].Scale, alone.ScaleDenominator());
        EXPECT_EQ(decoded[i].Image, alone.Bitmap());
      }
    }
    EXPECT_EQ(decoded[i].Image.isNull(), decoded[i].Code != 0);
  }
  EXPECT_TRUE(DecodeScaledFiles({}, 75, 80).empty());
}

// What a loader delivered to one request.
struct TDelivery {
  int Calls = 0;
  bool Loaded = false;
  QSize Size;
  TJpegLoader::TOnLoaded Receiver() {
    return [this](const QImage& picture, bool loaded) {
      ++Calls;
      Loaded = loaded;
      Size = picture.size();
    };
  }
};

// Small pictures and files that are no picture answer inside Load; a big one answers later.
TEST(JpegLoader, SmallPicturesAndFailuresAnswerAtOnceBigOnesThroughTheEventLoop) {
  testing_support::TempProgramFolder folder;
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(150, 160));
  testing_support::WriteBytes(folder.Path / "small.jpg", jpeg.SaveToBytes());
  testing_support::WriteBytes(folder.Path / "text.jpg", "no picture");
  jpeg.Assign(Pattern(1100, 1000));
  testing_support::WriteBytes(folder.Path / "big.jpg", jpeg.SaveToBytes());
  struct TCase {
    const char* File;
    bool Loaded;
    QSize Size;
  };
  TJpegLoader loader;
  for (const TCase& c :
       {TCase{"small.jpg", true, {150, 160}}, TCase{"text.jpg", false, {0, 0}}, TCase{"missing.jpg", false, {0, 0}}}) {
    TDelivery delivery;
    EXPECT_TRUE(loader.Load((folder.Path / c.File).string(), delivery.Receiver())) << c.File;
    EXPECT_EQ(delivery.Calls, 1) << c.File;
    EXPECT_EQ(delivery.Loaded, c.Loaded) << c.File;
    EXPECT_EQ(delivery.Size, c.Size) << c.File;
  }
  TDelivery big;
  EXPECT_FALSE(loader.Load((folder.Path / "big.jpg").string(), big.Receiver()));
  EXPECT_EQ(big.Calls, 0);
  EXPECT_TRUE(loader.Pending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return big.Calls == 1; }, 20000)) << big.Calls;
  EXPECT_TRUE(big.Loaded);
  EXPECT_EQ(big.Size, QSize(1100, 1000));
  EXPECT_FALSE(loader.Pending());
}

// A newer request or a cancel drops the older one's result, and a loader ends while it decodes.
TEST(JpegLoader, OnlyTheLatestRequestIsDelivered) {
  testing_support::TempProgramFolder folder;
  TJPEGImage jpeg;
  jpeg.Assign(Pattern(2000, 1500));
  testing_support::WriteBytes(folder.Path / "first.jpg", jpeg.SaveToBytes());
  jpeg.Assign(Pattern(1500, 2000));
  testing_support::WriteBytes(folder.Path / "second.jpg", jpeg.SaveToBytes());
  TJpegLoader loader;
  TDelivery first;
  TDelivery second;
  EXPECT_FALSE(loader.Load((folder.Path / "first.jpg").string(), first.Receiver()));
  EXPECT_FALSE(loader.Load((folder.Path / "second.jpg").string(), second.Receiver()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return second.Calls == 1; }, 20000)) << second.Calls;
  EXPECT_EQ(second.Size, QSize(1500, 2000));
  QTest::qWait(300);  // checks that no delivery comes: a fixed wait
  EXPECT_EQ(first.Calls, 0);

  TDelivery cancelled;
  EXPECT_FALSE(loader.Load((folder.Path / "first.jpg").string(), cancelled.Receiver()));
  loader.Cancel();
  EXPECT_FALSE(loader.Pending());
  QTest::qWait(500);  // as above
  EXPECT_EQ(cancelled.Calls, 0);

  auto ending = std::make_unique<TJpegLoader>();
  TDelivery never;
  EXPECT_FALSE(ending->Load((folder.Path / "first.jpg").string(), never.Receiver()));
  ending.reset();
  QTest::qWait(300);  // as above
  EXPECT_EQ(never.Calls, 0);
}

}  // namespace
