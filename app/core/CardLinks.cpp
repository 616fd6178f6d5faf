#include "CardLinks.h"

#include <QByteArray>
#include <algorithm>

#include "CodePage.h"

namespace {

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

void AppendPercentEncoded(AnsiString& out, std::string_view text, std::string_view keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  QByteArray utf8;
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    utf8 = AnsiToQString(text).toUtf8();
    text = std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool kept =
        IsUnreserved(c) || (c != '\0' && keep.find(c) != std::string_view::npos &&
                            (c != '%' || (i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]))));
    if (kept) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      const char escape[3] = {'%', kHex[byte >> 4], kHex[byte & 15]};
      out.append(escape, 3);
    }
  }
}

AnsiString PercentEncode(std::string_view text, std::string_view keep) {
  AnsiString result;
  result.reserve(text.size());
  AppendPercentEncoded(result, text, keep);
  return result;
}

AnsiString EncodeUrl(std::string_view url) {
  return PercentEncode(url, kUrlKept);
}

AnsiString MailtoUrl(std::string_view address) {
  return "mailto:" + PercentEncode(address, kMailtoKept);
}

AnsiString MailtoUrl(const std::vector<std::string_view>& addresses) {
  AnsiString url = "mailto:";
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) url += ',';
    url += PercentEncode(addresses[i], kMailtoKept);
  }
  return url;
}

bool HasWebScheme(std::string_view site) {
  return StartsCaseless(site, "http://") || StartsCaseless(site, "https://");
}

AnsiString WebsiteUrl(std::string_view site) {
  if (HasWebScheme(site)) return AnsiString(site);
  return "http://" + AnsiString(site);
}
