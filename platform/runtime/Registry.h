#pragma once
// The current user's registry: typed values (REG_SZ, REG_DWORD) under keys, kept in one
// human-readable store file ("REGEDIT4" layout) under $XDG_CONFIG_HOME, written atomically.
// Key and value names are matched with case ignored. A missing or unreadable store reads as an
// empty registry; a damaged one gives the values it still holds, and is kept aside as
// "registry.reg.corrupt". Every change reads the file afresh and writes it back whole under a lock
// beside it ("registry.reg.lock"), so that several programs may change the store at once; an open
// key's values are read once, when it is opened.

#include <QString>
#include <string_view>

#include "RegistryStore.h"
#include "SysUtils.h"

using HKEY = unsigned;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// The folder of the program's settings: $XDG_CONFIG_HOME (or ~/.config) + "/velmora-address-book".
[[nodiscard]] AnsiString SettingsFolder();

// The store file: SettingsFolder() + "/registry.reg". Only the current user's keys are kept: under
// any other root no key opens.
[[nodiscard]] AnsiString RegistryStoreFile();

class TRegistry final {
 public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey = HKEY_CURRENT_USER;
  [[nodiscard]] const AnsiString& CurrentPath() const { return Path; }

  // Opens key: a path from the root when it begins with "\", else below the current key.
  // Creates the missing keys when canCreate is set; returns whether the key is open.
  bool OpenKey(std::string_view key, bool canCreate);
  void CloseKey();
  // Deletes key (relative as in OpenKey) with its values and sub-keys; false when it is missing.
  bool DeleteKey(std::string_view key);
  [[nodiscard]] bool KeyExists(std::string_view key) const;
  [[nodiscard]] bool ValueExists(std::string_view name) const;

  // A missing value reads as "" through ReadString. Otherwise these raise ERegistryException:
  // "Failed to get data for '%s'" for a missing integer, "Invalid data
  // type for '%s'" for a value of the other type, "Failed to set data for '%s'" when the store
  // cannot be written.
  [[nodiscard]] AnsiString ReadString(std::string_view name) const;
  [[nodiscard]] int ReadInteger(std::string_view name) const;
  void WriteString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, int value);
  bool DeleteValue(std::string_view name);

 private:
  [[nodiscard]] AnsiString AbsolutePath(std::string_view key) const;
  [[nodiscard]] QString ValueKey(const RegistryValues& values, std::string_view name) const;
  [[nodiscard]] QVariant Value(std::string_view name) const;
  void Write(std::string_view name, const QVariant& value);

  RegistryValues Values;  // the store as read when the key was opened, or last changed
  AnsiString Path;        // the open key, "" for the root
  QString Group;          // the open key as the store spells it
  bool Open = false;
};
