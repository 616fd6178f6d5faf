#include <gtest/gtest.h>

#include "CardLinks.h"
#include "CodePage.h"

namespace {

TEST(CardLinks, MailtoEncodesAllButTheAddressCharacters) {
  const struct {
    const char* address;
    const char* url;
  } cases[] = {
      {"bob@x.org", "mailto:bob@x.org"},
      {"o'neil+tag@x-y.example", "mailto:o'neil+tag@x-y.example"},
      {"bob@x.org?attach=/etc/passwd", "mailto:bob@x.org%3Fattach%3D%2Fetc%2Fpasswd"},
      {"a@x.org&cc=eve@y.org", "mailto:a@x.org%26cc%3Deve@y.org"},
      {"a b@x.org#frag", "mailto:a%20b@x.org%23frag"},
      {"100%@x.org", "mailto:100%25@x.org"},
      {"x\r\nBcc:e@y.org", "mailto:x%0D%0ABcc:e@y.org"},
  };
  for (const auto& c : cases) EXPECT_EQ(MailtoUrl(c.address), c.url) << c.address;
}

TEST(CardLinks, MailtoEncodesTheCodePagesLettersAsUtf8) {
  SetAnsiCodePage(1252);
  EXPECT_EQ(MailtoUrl("j\xF6rg@x.de"), "mailto:j%C3%B6rg@x.de");
}

TEST(CardLinks, WebsiteGetsHttpOnlyWithoutAScheme) {
  const struct {
    const char* site;
    const char* url;
  } cases[] = {
      {"www.example.org", "http://www.example.org"},
      {"http://x.org", "http://x.org"},
      {"HtTp://x.org", "HtTp://x.org"},
      {"https://x.org/a?b", "https://x.org/a?b"},
      {"HTTPS://x.org", "HTTPS://x.org"},
      {"http:/x.org", "http://http:/x.org"},
      {"ftp://x.org", "http://ftp://x.org"},
  };
  for (const auto& c : cases) EXPECT_EQ(WebsiteUrl(c.site), c.url) << c.site;
}

TEST(CardLinks, SeveralAddressesMakeOneRequest) {
  EXPECT_EQ(MailtoUrl(std::vector<std::string_view>{"a@x.org", "b c@y.org?cc=z"}),
            "mailto:a@x.org,b%20c@y.org%3Fcc%3Dz");
  EXPECT_EQ(MailtoUrl(std::vector<std::string_view>{"a@x.org"}), MailtoUrl("a@x.org"));
}

TEST(CardLinks, EncodeUrlKeepsTheAddressStructure) {
  const struct {
    const char* url;
    const char* encoded;
  } cases[] = {
      {"http://x.org/a b?q=1&r=\"<>\"#top", "http://x.org/a%20b?q=1&r=%22%3C%3E%22#top"},
      {"http://x.org/%41%zz%4", "http://x.org/%41%25zz%254"},  // only complete escapes stay
      {"http://x.org/caf\xE9", "http://x.org/caf%C3%A9"},
  };
  SetAnsiCodePage(1252);
  for (const auto& c : cases) EXPECT_EQ(EncodeUrl(c.url), c.encoded) << c.url;
}

}  // namespace
