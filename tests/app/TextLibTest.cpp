#include "TextLib.h"

#include <gtest/gtest.h>

namespace {

// Each character of a pair is shifted up by 32: "0" is stored as "P", "A" as "a", "a" as 0x81.
std::string Encode(std::string_view hexPairs) {
  std::string stored;
  for (char c : hexPairs) stored += static_cast<char>(c + 32);
  return stored;
}

TEST(HexXorToText, DecodesPairsWithTheRunningXor) {
  struct Case {
    std::string source;
    std::string text;
  };
  const Case cases[] = {
      {"", ""},
      {"P", ""},  // one character: no pair
      {Encode("41"), "A"},
      {Encode("412302"), std::string("A") + char(0x41 ^ 0x23) + char(0x41 ^ 0x23 ^ 0x02)},
      {Encode("4123") + "P", std::string("A") + char(0x62)},  // odd last character ignored
      {Encode("4a"), std::string(1, char(0x4A))},             // lower-case digits
      {Encode("4A"), std::string(1, char(0x4A))},
      // An invalid pair in the middle: nothing for it, and the next character is that pair alone.
      {Encode("41") + Encode("zz") + Encode("42"), "AB"},
      {Encode("41") + Encode("4g") + Encode("42"), "AB"},
      {Encode("00"), std::string(1, '\0')},
  };
  for (const Case& c : cases) EXPECT_EQ(HexXorToText(c.source), c.text) << c.source;
}

TEST(HexXorToText, SubtractionWrapsInEightBits) {
  // A character below 32 wraps to a byte above 0xDF, which is no digit.
  EXPECT_EQ(HexXorToText(std::string("\x01\x02") + Encode("41")), "A");
}

}  // namespace
