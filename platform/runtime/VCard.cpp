#include "VCard.h"

#include <QStringDecoder>
#include <map>
#include <memory>
#include <string>

namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The colon that ends a line's name and parameters (quoted parameter values may hold colons).
std::size_t ValueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

// Splits at each separator outside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') quoted = !quoted;
    if (s[i] == separator && !quoted) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(s.substr(start));
  return parts;
}

struct TParams {
  bool QuotedPrintable = false;
  bool Base64 = false;
  std::string Charset;
  QStringList Types;
  int Pref = 0;
};

void AddEncoding(TParams& params, std::string_view value) {
  if (EqualsNoCase(value, "QUOTED-PRINTABLE")) params.QuotedPrintable = true;
  if (EqualsNoCase(value, "BASE64") || EqualsNoCase(value, "B")) params.Base64 = true;
}

void AddType(TParams& params, std::string_view value) {
  for (std::string_view type : SplitOutsideQuotes(value, ',')) {
    type = TrimBlanks(type);
    if (type.empty()) continue;
    if (EqualsNoCase(type, "PREF") && params.Pref == 0) params.Pref = 1;
    params.Types << QString::fromLatin1(type.data(), static_cast<qsizetype>(type.size())).toLower();
  }
}

// The parameters of a line's head (the text between its name and the value colon).
TParams ParseParams(std::string_view head) {
  TParams params;
  const std::vector<std::string_view> parts = SplitOutsideQuotes(head, ';');
  for (std::size_t k = 1; k < parts.size(); ++k) {
    const std::string_view part = TrimBlanks(parts[k]);
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) {
      // Version 2.1 names a type or an encoding alone.
      if (EqualsNoCase(part, "QUOTED-PRINTABLE") || EqualsNoCase(part, "BASE64"))
        AddEncoding(params, part);
      else if (!EqualsNoCase(part, "8BIT") && !EqualsNoCase(part, "7BIT"))
        AddType(params, part);
      continue;
    }
    const std::string_view name = TrimBlanks(part.substr(0, equals));
    std::string value;
    for (char c : part.substr(equals + 1))
      if (c != '"') value += c;
    if (EqualsNoCase(name, "ENCODING"))
      AddEncoding(params, TrimBlanks(value));
    else if (EqualsNoCase(name, "CHARSET"))
      params.Charset = TrimBlanks(value);
    else if (EqualsNoCase(name, "TYPE"))
      AddType(params, value);
    else if (EqualsNoCase(name, "PREF")) {
      int pref = 0;
      for (char c : TrimBlanks(value)) {
        if (c < '0' || c > '9' || pref > 1000) break;
        pref = pref * 10 + (c - '0');
      }
      if (pref > 0) params.Pref = pref;
    }
  }
  return params;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(std::string_view s) {
  std::string bytes;
  bytes.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '=' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      bytes += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      bytes += s[i];
    }
  }
  return bytes;
}

// Text decoders by character set name, made once per file.
class TDecoders {
 public:
  QString Decode(std::string_view bytes, const std::string& charset) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return QString::fromLatin1(view);
    if (!charset.empty() && !ForceUtf8) {
      auto found = Named.find(charset);
      if (found == Named.end())
        found =
            Named.emplace(charset, std::make_unique<QStringDecoder>(charset.c_str(), QStringConverter::Flag::Stateless))
                .first;
      if (found->second->isValid()) return (*found->second)(view);
    }
    // No usable character set: UTF-8 when the bytes are UTF-8, else Windows-1252.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(view);
    if (!utf8.hasError()) return text;
    if (!Western) Western = std::make_unique<QStringDecoder>("windows-1252", QStringConverter::Flag::Stateless);
    return Western->isValid() ? (*Western)(view) : QString::fromLatin1(view);
  }
  bool ForceUtf8 = false;  // the file came as UTF-16: CHARSET parameters no longer apply

 private:
  std::map<std::string, std::unique_ptr<QStringDecoder>> Named;
  std::unique_ptr<QStringDecoder> Western;
};

QString Unescape(const QString& s, bool version21) {
  if (!s.contains(u'\\')) return s;
  QString text;
  text.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c != u'\\' || i + 1 == s.size()) {
      text += c;
      continue;
    }
    const QChar n = s[i + 1];
    if (n == u';')
      text += n;
    else if (version21)
      text += c, text += n;
    else if (n == u'n' || n == u'N')
      text += u'\n';
    else if (n == u',' || n == u'\\' || n == u':')  // "\:" as contact exporters write a web address
      text += n;
    else
      text += c, text += n;
    ++i;
  }
  return text;
}

// Splits a raw value at each separator that no backslash escapes.
std::vector<std::string_view> SplitUnescaped(std::string_view value, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;
    } else if (value[i] == separator) {
      parts.push_back(value.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(value.substr(start));
  return parts;
}

class TReader {
 public:
  std::vector<TVCard> Read(std::string_view data) {
    std::string converted;
    if (data.size() >= 2 && (data.substr(0, 2) == "\xFF\xFE" || data.substr(0, 2) == "\xFE\xFF")) {
      const bool little = data[0] == '\xFF';
      QStringDecoder utf16(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless);
      converted =
          QString(utf16(QByteArrayView(data.data() + 2, static_cast<qsizetype>(data.size() - 2)))).toStdString();
      data = converted;
      Decoders.ForceUtf8 = true;
    }

    std::string logical;
    bool have = false;
    TParams head;  // of the logical line
    for (std::size_t pos = 0; pos <= data.size();) {
      // One physical line: it ends at CR LF, a lone CR or a lone LF.
      std::size_t end = pos;
      while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
      std::string_view line = data.substr(pos, end - pos);
      if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // files joined with their marks
      const bool last = end >= data.size();
      pos = end + (end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);

      if (have && head.QuotedPrintable && !logical.empty() && logical.back() == '=') {
        logical.pop_back();  // a soft line break
        logical += line;
      } else if (have && !line.empty() && (line[0] == ' ' || line[0] == '\t')) {
        // A folded line; version 2.1 keeps the blank that starts it.
        logical += Version21() ? line : line.substr(1);
      } else if (have && head.Base64 && !line.empty() && line.find(':') == std::string_view::npos) {
        logical += line;  // binary data that goes on without a fold
      } else {
        if (have) Take(logical);
        have = !line.empty();
        if (have) {
          logical.assign(line);
          const std::size_t colon = ValueColon(logical);
          head = ParseParams(std::string_view(logical).substr(0, colon == std::string::npos ? 0 : colon));
        }
      }
      if (last) break;
    }
    if (have) Take(logical);
    EndCard();
    return std::move(Cards);
  }

 private:
  [[nodiscard]] bool Version21() const { return InCard && Current.Version.startsWith(u"2."); }

  void EndCard() {
    if (InCard) Cards.push_back(std::move(Current));
    Current = TVCard();
    InCard = false;
  }

  void Take(std::string_view line) {
    const std::size_t colon = ValueColon(line);
    if (colon == std::string_view::npos) return;
    const std::string_view head = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    std::string_view name = TrimBlanks(head.substr(0, std::min(head.find(';'), head.size())));
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);

    if (EqualsNoCase(name, "BEGIN")) {
      if (EqualsNoCase(TrimBlanks(value), "VCARD")) {
        EndCard();  // a card without END
        InCard = true;
      }
      return;
    }
    if (!InCard) return;
    if (EqualsNoCase(name, "END")) {
      if (EqualsNoCase(TrimBlanks(value), "VCARD")) EndCard();
      return;
    }
    if (EqualsNoCase(name, "VERSION")) {
      Current.Version = QString::fromLatin1(TrimBlanks(value).data(), static_cast<qsizetype>(TrimBlanks(value).size()));
      return;
    }

    const TParams params = ParseParams(head);
    TVCardProperty property;
    property.Name = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).toUpper();
    property.Types = params.Types;
    property.Pref = params.Pref;
    // Base64 data, or inline data as version 4.0 writes it: "data:image/jpeg;base64,...".
    property.Binary = params.Base64 || (value.size() > 5 && EqualsNoCase(value.substr(0, 5), "data:") &&
                                        value.find(',') != std::string_view::npos);
    if (!property.Binary) {
      const bool version21 = Version21();
      for (std::string_view component : SplitUnescaped(value, ';')) {
        QStringList& values = property.Components.emplace_back();
        for (std::string_view raw : version21 ? std::vector{component} : SplitUnescaped(component, ','))
          values << Text(raw, params, version21);
      }
    }
    Current.Properties.push_back(std::move(property));
  }

  QString Text(std::string_view raw, const TParams& params, bool version21) {
    const std::string bytes = params.QuotedPrintable ? DecodeQuotedPrintable(raw) : std::string(raw);
    return Unescape(Decoders.Decode(bytes, params.Charset), version21);
  }

  std::vector<TVCard> Cards;
  TVCard Current;
  bool InCard = false;
  TDecoders Decoders;
};

}  // namespace

bool TVCardProperty::HasType(QStringView type) const {
  for (const QString& t : Types)
    if (t.compare(type, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QString TVCardProperty::Value() const {
  QStringList components;
  components.reserve(Components.size());
  for (const QStringList& values : Components) components << values.join(u',');
  return components.join(u';');
}

std::vector<TVCard> ParseVCards(std::string_view data) {
  return TReader().Read(data);
}
