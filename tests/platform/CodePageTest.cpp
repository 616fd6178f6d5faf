#include "CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

TEST(CodePage, ChosenFromTheLanguageAsWindowsDoes) {
  struct Case {
    const char* locale;
    unsigned codePage;
  };
  const Case cases[] = {
      {"", 1252},
      {"C", 1252},
      {"POSIX", 1252},
      {"C.UTF-8", 1252},
      {"en_US.UTF-8", 1252},
      {"de_DE@euro", 1252},
      {"pl_PL.UTF-8", 1250},
      {"cs_CZ", 1250},
      {"ru_RU.KOI8-R", 1251},
      {"uk_UA.UTF-8", 1251},
      {"el_GR.UTF-8", 1253},
      {"tr_TR", 1254},
      {"he_IL", 1255},
      {"ar_EG", 1256},
      {"lt_LT", 1257},
      {"vi_VN", 1258},
      {"th_TH", 874},
      {"ja_JP.UTF-8", 932},
      {"ko_KR", 949},
      {"zh_CN.UTF-8", 936},
      {"zh_TW.UTF-8", 950},
  };
  for (const Case& c : cases) EXPECT_EQ(CodePageForLocale(c.locale), c.codePage) << c.locale;
}

class CodePageConversion : public testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePage(1252); }
};

TEST_F(CodePageConversion, EveryByteRoundTripsIncludingUndefinedOnes) {
  for (unsigned codePage : {1250u, 1251u, 1252u, 1253u}) {
    SetAnsiCodePage(codePage);
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const QString text = AnsiToQString(all);
    EXPECT_EQ(text.size(), 255) << codePage;
    EXPECT_EQ(QStringToAnsi(text), all) << codePage;
  }
  SetAnsiCodePage(1252);
  // Bytes 1252 leaves undefined keep a character of their own.
  EXPECT_EQ(AnsiToQString("\x81\x8D\x8F\x90\x9D"), QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
  EXPECT_EQ(AnsiToQString("\x80\xFF"), QString::fromUtf16(u"\u20AC\u00FF"));
}

TEST_F(CodePageConversion, MultiByteCodePagesKeepBytesThatMakeNoCharacter) {
  SetAnsiCodePage(932);
  const std::string cases[] = {
      "ab\xA0"
      "cd",
      "Caf\xE9",
      "\x82\xA0\x82\xA2",
      "\x82",
      "\xFF\xFE",
      "plain"};
  for (const std::string& bytes : cases) EXPECT_EQ(QStringToAnsi(AnsiToQString(bytes)), bytes) << bytes;
  EXPECT_EQ(AnsiToQString("\x82\xA0"), QString::fromUtf16(u"\u3042"));        // HIRAGANA A
  EXPECT_FALSE(QStringToAnsi(QString::fromUtf16(u"caf\u00E9")).has_value());  // no e acute in 932
}

TEST_F(CodePageConversion, TextTheCodePageCannotHoldIsRefused) {
  SetAnsiCodePage(1252);
  EXPECT_EQ(QStringToAnsi(QString::fromUtf16(u"Caf\u00E9")), "Caf\xE9");
  EXPECT_FALSE(QStringToAnsi(QString::fromUtf16(u"\u03A9mega")).has_value());
  EXPECT_FALSE(FitsAnsiCodePage(QString::fromUtf16(u"\u4E00")));
  SetAnsiCodePage(1253);
  EXPECT_EQ(QStringToAnsi(QString::fromUtf16(u"\u03A9mega")), "\xD9mega");
}

TEST_F(CodePageConversion, CompareTextIgnoresCaseOnly) {
  SetAnsiCodePage(1252);
  EXPECT_EQ(AnsiCompareText("M\xFCLLER", "m\xFCller"), 0);
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_GT(AnsiCompareText("\xC9lan", "delta"), 0);
  EXPECT_LT(AnsiCompareText("\xC9lan", "fig"), 0);
  EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
}

}  // namespace

TEST(CodePageOrder, LongListsSortedInRunsOnThreadsMatchOneStableSort) {
  // Enough texts for two and for three runs: equal texts (case ignored) must stay in list order.
  for (const std::size_t count : {40000u, 50000u}) {
    std::vector<AnsiString> texts;
    for (std::size_t i = 0; i < count; ++i) {
      AnsiString text = i % 3 == 0 ? "smith" : i % 3 == 1 ? "Smith" : "\xC9lan";  // "Élan"
      text += std::to_string((i * 7919) % 97);
      texts.push_back(std::move(text));
    }
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    std::vector<std::size_t> expected(count);
    std::iota(expected.begin(), expected.end(), std::size_t{0});
    std::stable_sort(expected.begin(), expected.end(),
                     [&](std::size_t a, std::size_t b) { return AnsiCompareText(views[a], views[b]) < 0; });
    EXPECT_EQ(CaselessOrder(views), expected) << count << " texts";
  }
}
