#pragma once
// The settings store over the current user's registry, and the shell request for links.
// No operation raises: a failed read gives its default, a failed write is dropped.

#include <memory>

#include "SysUtils.h"

class TRegistry;

inline constexpr const char* kSettingsKey = "\\Software\\Quillmere\\VAB\\";

class TRegLib final {
 public:
  TRegLib();
  ~TRegLib();
  TRegLib(const TRegLib&) = delete;
  TRegLib& operator=(const TRegLib&) = delete;

  [[nodiscard]] int ReadInteger(const AnsiString& Key, const AnsiString& Name, int Default, bool CreateIfMissing);
  void WriteInteger(const AnsiString& Key, const AnsiString& Name, int Value);
  [[nodiscard]] AnsiString ReadString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Default,
                                      bool CreateIfMissing);
  void WriteString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Value);

 private:
  std::unique_ptr<TRegistry> Registry;
};

// Asks the shell to open FileName (a file, a web address, a "mailto:" address) with its default
// action. Failures are ignored.
void ExecuteFile(HWND Window, const AnsiString& FileName);
