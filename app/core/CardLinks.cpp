#include "CardLinks.h"

#include <QByteArray>
#include <algorithm>

#include "CodePage.h"

namespace {

constexpr std::string_view kKeptInMailto = "!$'()*+,;:@";

bool IsUnreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool StartsCaseless(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LowerCase(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

AnsiString PercentEncode(std::string_view text, std::string_view keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  QByteArray utf8;
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    utf8 = AnsiToQString(text).toUtf8();
    text = std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  }
  AnsiString result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool kept =
        IsUnreserved(c) || (c != '\0' && keep.find(c) != std::string_view::npos &&
                            (c != '%' || (i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]))));
    if (kept) {
      result += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      result += '%';
      result += kHex[byte >> 4];
      result += kHex[byte & 15];
    }
  }
  return result;
}

AnsiString EncodeUrl(std::string_view url) {
  return PercentEncode(url, ":/?#[]@!$&'()*+,;=%");
}

AnsiString MailtoUrl(std::string_view address) {
  return "mailto:" + PercentEncode(address, kKeptInMailto);
}

AnsiString MailtoUrl(const std::vector<std::string_view>& addresses) {
  AnsiString url = "mailto:";
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) url += ',';
    url += PercentEncode(addresses[i], kKeptInMailto);
  }
  return url;
}

AnsiString WebsiteUrl(std::string_view site) {
  if (StartsCaseless(site, "http://") || StartsCaseless(site, "https://")) return AnsiString(site);
  return "http://" + AnsiString(site);
}
