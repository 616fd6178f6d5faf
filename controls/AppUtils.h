#pragma once
// Placement storage: default names for the storage, one set of reads and writes that serve an INI
// file and the registry alike, a window's placement written and read back, and two word routines.

#include <QObject>
#include <QWidget>
#include <functional>
#include <string_view>
#include <variant>

#include "IniFiles.h"
#include "SysUtils.h"

// An INI file or the registry; none (or anything else) reads the defaults and writes nothing.
using TStorageObject = std::variant<std::monostate, TRegIniFile*, TIniFile*>;

// The 1-based position of the n-th word (a run of characters not in delimiters), 0 when there is
// none.
[[nodiscard]] int WordStartIndex(int n, std::string_view text, std::string_view delimiters);
[[nodiscard]] AnsiString NthWord(int n, std::string_view text, std::string_view delimiters);

// Unit settings that change the default names.
extern std::function<AnsiString()> DefaultIniNameFunc;
extern bool UseApplicationTitle;
extern AnsiString RegistrySubKey;

// The program's file name with the extension ".INI", or DefaultIniNameFunc's result.
[[nodiscard]] AnsiString DefaultIniFileName();
// "Software\" + [RegistrySubKey + "\"] + the program's name (or the application title).
[[nodiscard]] AnsiString DefaultRegistryKey();
// A form: its class name; a control: its form's class name (else its parent's name) followed by
// its name; another component: "<owner form's class>.<name>", or its name.
[[nodiscard]] AnsiString DefaultSectionName(const QObject* component);
// The class name of an object as its class is declared.
[[nodiscard]] AnsiString ClassNameOf(const QObject* object);

[[nodiscard]] AnsiString StorageReadString(TStorageObject storage, std::string_view section, std::string_view key,
                                           std::string_view defaultValue);
// An INI value that begins and ends with the same quote goes inside one more pair of double quotes.
void StorageWriteString(TStorageObject storage, std::string_view section, std::string_view key, std::string_view value);
[[nodiscard]] int StorageReadInteger(TStorageObject storage, std::string_view section, std::string_view key,
                                     int defaultValue);
void StorageWriteInteger(TStorageObject storage, std::string_view section, std::string_view key, int value);
void StorageEraseSection(TStorageObject storage, std::string_view section);

// "(<width>x<height>)" of the screen.
[[nodiscard]] AnsiString ScreenSizeSuffix();
// The key with the screen-size suffix, else the bare key.
[[nodiscard]] AnsiString ReadScreenString(TStorageObject storage, std::string_view section, std::string_view key);
void WriteScreenString(TStorageObject storage, std::string_view section, std::string_view key, std::string_view value);

// "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos" of the form's window.
void WriteWindowPlacement(QWidget* form, TStorageObject storage, std::string_view section);
// Applies what WriteWindowPlacement stored: the position (a rectangle that is empty or lies off
// every screen is not applied) and the window state.
void ReadWindowPlacement(QWidget* form, TStorageObject storage, std::string_view section, bool loadState,
                         bool loadPosition);
