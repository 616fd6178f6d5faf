#pragma once
// Late-bound automation: objects whose members are called by name, values that carry text, an
// integer or an object, and classes found by their programmatic identifier (ProgID), created anew
// or taken from the running instance.

#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

#include "SysUtils.h"

// A failed automation call: an unknown member, a wrong argument, a class that cannot be had.
class EOleError : public Exception {
  using Exception::Exception;
};

class IDispatch;
using IDispatchPtr = std::shared_ptr<IDispatch>;

class Variant {
 public:
  Variant() = default;
  Variant(int value) : Value(value) {}  // NOLINT: a value converts as in a call by name
  Variant(QString value) : Value(std::move(value)) {}
  Variant(const char* value) : Value(QString::fromUtf8(value)) {}
  Variant(IDispatchPtr value) : Value(std::move(value)) {}

  [[nodiscard]] bool IsEmpty() const;
  // The value as text: text as it is, an integer in decimal, empty as "". Raises EOleError for an
  // object.
  [[nodiscard]] QString ToText() const;
  // The value as an integer: an integer, or text that reads as one. Raises EOleError otherwise.
  [[nodiscard]] int ToInteger() const;
  // The object; raises EOleError when the value holds none.
  [[nodiscard]] IDispatchPtr ToDispatch() const;
  // Calls member Name of the object the value holds (a method, a property read or an indexed
  // property read).
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args = {}) const;
  // Empties the value, releasing the object it held.
  void Clear() { Value = std::monostate(); }

 private:
  std::variant<std::monostate, int, QString, IDispatchPtr> Value;
};

// An object called by member name; names are matched with case ignored.
class IDispatch {
 public:
  virtual ~IDispatch() = default;
  // Raises EOleError for a member the object does not have, or for arguments it cannot take.
  virtual Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) = 0;
};

// The platform's class registration: a factory per ProgID.
using TOleClassFactory = std::function<IDispatchPtr()>;
void RegisterOleClass(const AnsiString& ProgID, TOleClassFactory Factory);
void UnregisterOleClass(const AnsiString& ProgID);

// A new instance of the class registered under ProgID; it becomes the running instance. Raises
// EOleError when no class is registered under it or the class cannot start.
[[nodiscard]] Variant CreateOleObject(const AnsiString& ProgID);
// The running instance of that class; raises EOleError when none runs.
[[nodiscard]] Variant GetActiveOleObject(const AnsiString& ProgID);

// True when two member names are the same, case ignored.
[[nodiscard]] bool SameMemberName(std::string_view a, std::string_view b);
