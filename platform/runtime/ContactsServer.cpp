#include "ContactsServer.h"

#include <array>
#include <cstdlib>

#include "Dialogs.h"
#include "Files.h"
#include "VCard.h"

namespace {

// The contact properties, in the order of TContact's values.
constexpr std::array<std::string_view, 12> kContactProperties = {
    "FirstName",        "LastName",           "HomeAddressStreet",   "HomeAddressCity",       "HomeAddressPostalCode",
    "HomeAddressState", "HomeAddressCountry", "HomeTelephoneNumber", "MobileTelephoneNumber", "CompanyName",
    "WebPage",          "Email1Address"};
enum : std::size_t {
  kFirstName,
  kLastName,
  kStreet,
  kCity,
  kPostalCode,
  kState,
  kCountry,
  kHomePhone,
  kMobilePhone,
  kCompany,
  kWebPage,
  kEmail
};

using TContact = std::array<QString, kContactProperties.size()>;

struct TContactData {
  QString Versions;
  std::vector<TContact> Contacts;
};

const TVCardProperty* First(const TVCard& card, QStringView name,
                            const std::function<bool(const TVCardProperty&)>& fits) {
  for (const TVCardProperty& property : card.Properties)
    if (property.Name == name && fits(property)) return &property;
  return nullptr;
}

bool Any(const TVCardProperty&) {
  return true;
}

// A telephone number without the "tel:" of a URI value.
QString Number(const TVCardProperty* tel) {
  if (!tel) return {};
  QString number = tel->Value().trimmed();
  if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive)) number.remove(0, 4);
  return number;
}

// A part of the structured name: its several values ("Mary,Ann") joined by blanks.
QString NamePart(const TVCardProperty& n, int index) {
  QStringList words;
  for (const QString& value : n.ComponentValues(index))
    if (!value.trimmed().isEmpty()) words << value.trimmed();
  return words.join(u' ');
}

// The name of a card that gives only its display name: its last word is the surname, the rest the
// first name; a company's card (display name and organisation the same) keeps it whole as the surname.
void NameFromDisplayName(const TVCard& card, TContact& contact) {
  const TVCardProperty* fn = First(card, u"FN", Any);
  const QString display = fn ? fn->Value().simplified() : QString();
  if (display.isEmpty()) return;
  const qsizetype blank = display.lastIndexOf(u' ');
  if (display == contact[kCompany].simplified() || blank < 0) {
    contact[kLastName] = display;
  } else {
    contact[kLastName] = display.mid(blank + 1);
    contact[kFirstName] = display.left(blank);
  }
}

// The street part of an address followed by its extended part ("Suite 5").
QString Street(const TVCardProperty& adr) {
  const QString street = adr.Component(2);
  const QString extended = adr.Component(1);
  if (extended.trimmed().isEmpty()) return street;
  if (street.trimmed().isEmpty()) return extended;
  return street + u' ' + extended;
}

TContact ContactOf(const TVCard& card) {
  TContact contact;
  if (const TVCardProperty* org = First(card, u"ORG", Any)) contact[kCompany] = org->Component(0);
  if (const TVCardProperty* n = First(card, u"N", Any)) {
    contact[kLastName] = NamePart(*n, 0);
    contact[kFirstName] = NamePart(*n, 1);
  }
  if (contact[kLastName].isEmpty() && contact[kFirstName].isEmpty()) NameFromDisplayName(card, contact);
  const TVCardProperty* adr = First(card, u"ADR", [](const TVCardProperty& p) { return p.HasType(u"home"); });
  if (!adr) adr = First(card, u"ADR", Any);
  if (adr) {
    contact[kStreet] = Street(*adr);
    contact[kCity] = adr->Component(3);
    contact[kState] = adr->Component(4);
    contact[kPostalCode] = adr->Component(5);
    contact[kCountry] = adr->Component(6);
  }
  const auto otherLine = [](const TVCardProperty& p) {
    return p.HasType(u"cell") || p.HasType(u"fax") || p.HasType(u"pager") || p.HasType(u"work");
  };
  const TVCardProperty* home =
      First(card, u"TEL", [&](const TVCardProperty& p) { return p.HasType(u"home") && !otherLine(p); });
  if (!home)
    home = First(card, u"TEL", [](const TVCardProperty& p) {
      for (const QString& type : p.Types)
        if (type != u"voice" && type != u"pref") return false;
      return true;
    });
  contact[kHomePhone] = Number(home);
  contact[kMobilePhone] = Number(First(card, u"TEL", [](const TVCardProperty& p) { return p.HasType(u"cell"); }));
  const TVCardProperty* email = nullptr;
  for (const TVCardProperty& property : card.Properties)
    if (property.Name == u"EMAIL" &&
        (!email || (property.Pref > 0 && (email->Pref == 0 || property.Pref < email->Pref))))
      email = &property;
  if (email) contact[kEmail] = email->Value().trimmed();
  if (const TVCardProperty* url = First(card, u"URL", Any)) contact[kWebPage] = url->Value().trimmed();
  return contact;
}

std::shared_ptr<const TContactData> ReadContacts(std::string_view vcardData) {
  auto data = std::make_shared<TContactData>();
  QStringList versions;
  for (const TVCard& card : ParseVCards(vcardData)) {
    data->Contacts.push_back(ContactOf(card));
    if (!card.Version.isEmpty() && !versions.contains(card.Version)) versions << card.Version;
  }
  data->Versions = versions.join(QStringLiteral(", "));
  return data;
}

void ExpectArguments(std::string_view name, const std::vector<Variant>& args, std::size_t count) {
  if (args.size() != count)
    throw EOleError(Format("Invalid number of parameters for %.*s", static_cast<int>(name.size()), name.data()));
}

[[noreturn]] void UnknownName(std::string_view name) {
  throw EOleError(Format("Unknown name \"%.*s\"", static_cast<int>(name.size()), name.data()));
}

class TContactItem final : public IDispatch {
 public:
  TContactItem(std::shared_ptr<const TContactData> data, std::size_t index) : Data(std::move(data)), Index(index) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    for (std::size_t p = 0; p < kContactProperties.size(); ++p)
      if (SameMemberName(Name, kContactProperties[p])) {
        ExpectArguments(Name, Args, 0);
        return Data->Contacts[Index][p];
      }
    UnknownName(Name);
  }

 private:
  std::shared_ptr<const TContactData> Data;
  std::size_t Index;
};

Variant ItemAt(const std::shared_ptr<const TContactData>& data, const Variant& number) {
  const int index = number.ToInteger();
  if (index < 1 || static_cast<std::size_t>(index) > data->Contacts.size())
    throw EOleError("Array index out of bounds");
  return IDispatchPtr(std::make_shared<TContactItem>(data, static_cast<std::size_t>(index - 1)));
}

class TItems final : public IDispatch {
 public:
  explicit TItems(std::shared_ptr<const TContactData> data) : Data(std::move(data)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    if (SameMemberName(Name, "Count")) {
      ExpectArguments(Name, Args, 0);
      return static_cast<int>(Data->Contacts.size());
    }
    if (SameMemberName(Name, "Item")) {
      ExpectArguments(Name, Args, 1);
      return ItemAt(Data, Args[0]);
    }
    UnknownName(Name);
  }

 private:
  std::shared_ptr<const TContactData> Data;
};

class TContactsFolder final : public IDispatch {
 public:
  explicit TContactsFolder(std::shared_ptr<const TContactData> data) : Data(std::move(data)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    if (!SameMemberName(Name, "Items")) UnknownName(Name);
    if (Args.empty()) return IDispatchPtr(std::make_shared<TItems>(Data));
    ExpectArguments(Name, Args, 1);
    return ItemAt(Data, Args[0]);
  }

 private:
  std::shared_ptr<const TContactData> Data;
};

class TNamespace final : public IDispatch {
 public:
  explicit TNamespace(std::shared_ptr<const TContactData> data) : Data(std::move(data)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    if (!SameMemberName(Name, "GetDefaultFolder")) UnknownName(Name);
    ExpectArguments(Name, Args, 1);
    constexpr int kContactsFolder = 10;
    if (Args[0].ToInteger() != kContactsFolder) throw EOleError("The operation failed");
    return IDispatchPtr(std::make_shared<TContactsFolder>(Data));
  }

 private:
  std::shared_ptr<const TContactData> Data;
};

class TContactsApplication final : public IDispatch {
 public:
  explicit TContactsApplication(std::shared_ptr<const TContactData> data) : Data(std::move(data)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    if (SameMemberName(Name, "Version")) {
      ExpectArguments(Name, Args, 0);
      return Data->Versions;
    }
    if (SameMemberName(Name, "GetNamespace")) {
      ExpectArguments(Name, Args, 1);
      if (Args[0].ToText().compare(QStringLiteral("MAPI"), Qt::CaseInsensitive) != 0)
        throw EOleError("The operation failed");
      return IDispatchPtr(std::make_shared<TNamespace>(Data));
    }
    UnknownName(Name);
  }

 private:
  std::shared_ptr<const TContactData> Data;
};

IDispatchPtr StartServer() {
  OpenDialogRequest request;
  request.Title = "Open vCard Contacts";
  request.Filter = "vCard Files|*.vcf;*.vcard|All Files|*";
  if (const char* home = std::getenv("HOME")) request.InitialDir = home;
  const std::optional<AnsiString> file = ExecuteOpenDialog(request);
  if (!file) throw EOleError("Server execution failed");
  std::size_t size = 0;
  const auto bytes = ReadWholeFile(*file, size);
  return CreateContactsServer(std::string_view(bytes.get(), size));
}

}  // namespace

IDispatchPtr CreateContactsServer(std::string_view vcardData) {
  return std::make_shared<TContactsApplication>(ReadContacts(vcardData));
}

void RegisterContactsServer() {
  RegisterOleClass(kMailClientProgID, StartServer);
}
