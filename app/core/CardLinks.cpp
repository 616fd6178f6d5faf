#include "CardLinks.h"

#include <QByteArray>

#include "CodePage.h"

namespace {

bool KeptInMailto(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$'()*+,;:@").find(static_cast<char>(c)) != std::string_view::npos;
}

bool StartsCaseless(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LowerCase(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

AnsiString MailtoUrl(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const QByteArray utf8 = AnsiToQString(address).toUtf8();
  AnsiString url = "mailto:";
  for (const char byte : utf8) {
    const auto c = static_cast<unsigned char>(byte);
    if (KeptInMailto(c)) {
      url += byte;
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

AnsiString WebsiteUrl(std::string_view site) {
  if (StartsCaseless(site, "http://") || StartsCaseless(site, "https://")) return AnsiString(site);
  return "http://" + AnsiString(site);
}
