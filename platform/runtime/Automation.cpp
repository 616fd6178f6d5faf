#include "Automation.h"

#include <map>

namespace {

struct TOleClass {
  TOleClassFactory Factory;
  std::weak_ptr<IDispatch> Running;
};

std::map<AnsiString, TOleClass>& Classes() {
  static std::map<AnsiString, TOleClass> classes;
  return classes;
}

}  // namespace

bool SameMemberName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool Variant::IsEmpty() const {
  return std::holds_alternative<std::monostate>(Value);
}

QString Variant::ToText() const {
  if (const auto* text = std::get_if<QString>(&Value)) return *text;
  if (const auto* number = std::get_if<int>(&Value)) return QString::number(*number);
  if (IsEmpty()) return {};
  throw EOleError("Could not convert variant of type (Dispatch) into type (String)");
}

int Variant::ToInteger() const {
  if (const auto* number = std::get_if<int>(&Value)) return *number;
  if (const auto* text = std::get_if<QString>(&Value)) {
    bool ok = false;
    const int number = text->trimmed().toInt(&ok);
    if (ok) return number;
  }
  throw EOleError("Could not convert variant into type (Integer)");
}

IDispatchPtr Variant::ToDispatch() const {
  if (const auto* object = std::get_if<IDispatchPtr>(&Value); object && *object) return *object;
  throw EOleError("Variant does not reference an automation object");
}

Variant Variant::Invoke(std::string_view Name, const std::vector<Variant>& Args) const {
  return ToDispatch()->Invoke(Name, Args);
}

void RegisterOleClass(const AnsiString& ProgID, TOleClassFactory Factory) {
  Classes()[ProgID] = {std::move(Factory), {}};
}

void UnregisterOleClass(const AnsiString& ProgID) {
  Classes().erase(ProgID);
}

Variant CreateOleObject(const AnsiString& ProgID) {
  const auto found = Classes().find(ProgID);
  if (found == Classes().end()) throw EOleError("Invalid class string");
  IDispatchPtr object = found->second.Factory();
  if (!object) throw EOleError("Server execution failed");
  found->second.Running = object;
  return Variant(std::move(object));
}

Variant GetActiveOleObject(const AnsiString& ProgID) {
  const auto found = Classes().find(ProgID);
  if (found == Classes().end()) throw EOleError("Invalid class string");
  IDispatchPtr running = found->second.Running.lock();
  if (!running) throw EOleError("Operation unavailable");
  return Variant(std::move(running));
}
