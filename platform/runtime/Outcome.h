#pragma once
// What an operation that can fail gives back: success, or the failure's description for the user.

#include <utility>

#include "SysUtils.h"

class [[nodiscard]] TOutcome {
 public:
  TOutcome() = default;  // success
  // A failure always says something, so that it can never pass for a success.
  [[nodiscard]] static TOutcome Failure(AnsiString error) {
    return TOutcome(error.empty() ? AnsiString("unknown failure") : std::move(error));
  }

  [[nodiscard]] bool ok() const { return FError.empty(); }
  explicit operator bool() const { return ok(); }
  // Empty on success.
  [[nodiscard]] const AnsiString& Error() const { return FError; }

 private:
  explicit TOutcome(AnsiString error) : FError(std::move(error)) {}
  AnsiString FError;
};

// A TOutcome that carries a value on success.
template <typename T>
class [[nodiscard]] TResult : public TOutcome {
 public:
  TResult(T value) : FValue(std::move(value)) {}
  // From a failure, which passes on as it is.
  TResult(TOutcome failure) : TOutcome(std::move(failure)) {}
  // Meaningful only on success.
  [[nodiscard]] const T& Value() const { return FValue; }

 private:
  T FValue{};
};
