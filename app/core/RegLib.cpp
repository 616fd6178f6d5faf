#include "RegLib.h"

#include "Registry.h"
#include "Shell.h"

TRegLib::TRegLib() : Registry(std::make_unique<TRegistry>()) {
  Registry->RootKey = HKEY_CURRENT_USER;
}

TRegLib::~TRegLib() = default;

namespace {

template <typename T, typename Read, typename Write>
T ReadValue(TRegistry& registry, const AnsiString& key, const AnsiString& name, const T& defaultValue,
            bool createIfMissing, Read read, Write write) {
  try {
    registry.OpenKey("\\", false);
    registry.OpenKey(key, createIfMissing);  // success not examined
    T result = defaultValue;
    if (registry.ValueExists(name))
      result = read(name);
    else if (createIfMissing)
      write(name, defaultValue);
    registry.CloseKey();
    return result;
  } catch (const std::exception&) {
    return defaultValue;
  }
}

template <typename Write>
void WriteValue(TRegistry& registry, const AnsiString& key, Write write) {
  try {
    registry.OpenKey("\\", false);
    registry.OpenKey(key, !registry.KeyExists(key));
    write();
    registry.CloseKey();
  } catch (const std::exception&) {
    // dropped: the value is simply not written
  }
}

}  // namespace

int TRegLib::ReadInteger(const AnsiString& Key, const AnsiString& Name, int Default, bool CreateIfMissing) {
  TRegistry& r = *Registry;
  return ReadValue<int>(
      r, Key, Name, Default, CreateIfMissing, [&](const AnsiString& n) { return r.ReadInteger(n); },
      [&](const AnsiString& n, int v) { r.WriteInteger(n, v); });
}

void TRegLib::WriteInteger(const AnsiString& Key, const AnsiString& Name, int Value) {
  WriteValue(*Registry, Key, [&] { Registry->WriteInteger(Name, Value); });
}

AnsiString TRegLib::ReadString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Default,
                               bool CreateIfMissing) {
  TRegistry& r = *Registry;
  return ReadValue<AnsiString>(
      r, Key, Name, Default, CreateIfMissing, [&](const AnsiString& n) { return r.ReadString(n); },
      [&](const AnsiString& n, const AnsiString& v) { r.WriteString(n, v); });
}

void TRegLib::WriteString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Value) {
  WriteValue(*Registry, Key, [&] { Registry->WriteString(Name, Value); });
}

void ExecuteFile(HWND Window, const AnsiString& FileName) {
  try {
    ShellExecuteA(Window, nullptr, FileName, nullptr, nullptr, SW_SHOWNORMAL);
  } catch (const std::exception&) {
    // ignored: nothing is reported
  }
}
