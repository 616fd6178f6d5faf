#include "ContactImport.h"

#include "CodePage.h"

namespace {

Variant DefaultContactsFolder(const Variant& application) {
  const Variant ns = application.Invoke("GetNamespace", {Variant("MAPI")});
  return ns.Invoke("GetDefaultFolder", {Variant(10)});
}

// The text in the code page, each character it cannot hold (and the separator byte, which no
// field can hold) as "?"; lost is set when that happened.
AnsiString ToAnsi(const QString& text, bool& lost) {
  if (std::optional<AnsiString> whole = QStringToAnsi(text); whole && whole->find(kFieldSeparator) == AnsiString::npos)
    return *whole;
  AnsiString result;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const std::optional<AnsiString> one = QStringToAnsi(text.mid(i, length));
    if (one && one->find(kFieldSeparator) == AnsiString::npos) {
      result += *one;
    } else {
      result += '?';
      lost = true;
    }
    i += length;
  }
  return result;
}

struct TMapping {
  const char* Property;
  CardField Field;
  const char* Failed;  // the value when the read or its conversion fails
};

// The properties in the order they are read.
constexpr TMapping kMapping[] = {
    {"FirstName", cfFirstName, "?"},
    {"LastName", cfSurname, "?"},
    {"HomeAddressStreet", cfAddress, ""},
    {"HomeAddressCity", cfCity, ""},
    {"HomeAddressPostalCode", cfZip, ""},
    {"HomeAddressState", cfState, ""},
    {"HomeAddressCountry", cfCountry, ""},
    {"HomeTelephoneNumber", cfPhone, ""},
    {"MobileTelephoneNumber", cfCellular, ""},
    {"CompanyName", cfCompany, ""},
    {"WebPage", cfWebsite, "?"},
    {"Email1Address", cfEmail, "?"},
};

}  // namespace

void CleanAddress(AnsiString& text) {
  AnsiString clean;
  clean.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      clean += ' ';
    } else {
      clean += text[i];
    }
  }
  text = std::move(clean);
}

void CleanPhone(AnsiString& text) {
  AnsiString clean;
  clean.reserve(text.size());
  for (char c : text) {
    if (c == '(' || c == ')') continue;
    clean += c == ',' ? ' ' : c;
  }
  text = std::move(clean);
}

int CountContacts(const Variant& application) {
  if (application.IsEmpty()) return 0;
  try {
    return DefaultContactsFolder(application).Invoke("Items").Invoke("Count").ToInteger();
  } catch (const std::exception&) {
    return 0;
  }
}

TStagedContacts StageContacts(const Variant& application, const std::function<void(int, int)>& progress) {
  TStagedContacts staged;
  if (application.IsEmpty()) return staged;
  const Variant folder = DefaultContactsFolder(application);
  const int count = folder.Invoke("Items").Invoke("Count").ToInteger();
  if (progress) progress(0, count);
  for (int i = 1; i <= count; ++i) {
    TCardFields& card = staged.Cards.emplace_back();
    bool lost = false;
    for (const TMapping& mapping : kMapping) {
      AnsiString& value = card[static_cast<std::size_t>(mapping.Field)];
      try {
        value = ToAnsi(folder.Invoke("Items", {Variant(i)}).Invoke(mapping.Property).ToText(), lost);
      } catch (const std::exception&) {
        value = mapping.Failed;
      }
      if (mapping.Field == cfAddress) CleanAddress(value);
      if (mapping.Field == cfPhone || mapping.Field == cfCellular) CleanPhone(value);
    }
    if (lost) ++staged.Changed;
    if (progress) progress(i, count);
  }
  return staged;
}
