#pragma once
// INI files and the registry seen as one: sections of "key=value" lines. TIniFile keeps 8-bit
// text in a file (a relative name lives in the settings folder); TRegIniFile keeps each section as
// a sub-key of its key in the registry store. Section and key names are matched with case ignored.

#include <memory>
#include <string_view>
#include <vector>

#include "Registry.h"
#include "SysUtils.h"

class EIniFileException : public Exception {
  using Exception::Exception;
};

// The text of an INI file, read and edited in memory. Lines that are neither a section header nor
// a key (comments, blank lines, anything else) are kept as they are.
class TIniText final {
 public:
  explicit TIniText(std::string_view text = {});

  // The value of key in section: blanks around it trimmed and one pair of outer quotes (" or ')
  // stripped; nullopt when there is none.
  [[nodiscard]] std::optional<AnsiString> Value(std::string_view section, std::string_view key) const;
  // Sets the value, adding the key (and the section) when missing. Raises EIniFileException for a
  // name or value that would change the file's structure: a line break anywhere, "]" in a section,
  // "=" in a key, a key that is empty or begins with "[" or ";".
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  void EraseSection(std::string_view section);
  [[nodiscard]] std::vector<AnsiString> Sections() const;
  [[nodiscard]] std::vector<AnsiString> Keys(std::string_view section) const;
  [[nodiscard]] AnsiString Text() const;

 private:
  struct Line {
    AnsiString Text;
    AnsiString Section;  // the header's name, for a section header
    AnsiString Key;      // the key, for a key line
    bool Header = false;
    bool HasKey = false;
  };
  // [first, end) of the section's lines after its header; both npos when there is no such section.
  [[nodiscard]] std::pair<std::size_t, std::size_t> Find(std::string_view section) const;

  std::vector<Line> Lines;
};

// The class library's INI file: every read looks at the file, every write replaces it atomically.
// A missing or unreadable file reads as empty; a write that cannot be made (an unreadable file
// included) raises EIniFileException and leaves the file as it was.
class TIniFile {
 public:
  explicit TIniFile(const AnsiString& FileName);
  virtual ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  // The path the file is kept at.
  [[nodiscard]] const AnsiString& FileName() const { return FFileName; }

  [[nodiscard]] AnsiString ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const;
  void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
  // Decimal, or hexadecimal after "0x" or "$"; anything else gives Default.
  [[nodiscard]] int ReadInteger(std::string_view Section, std::string_view Ident, int Default) const;
  void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
  [[nodiscard]] bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;
  void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
  void EraseSection(std::string_view Section);

 private:
  [[nodiscard]] TIniText Load(bool forWrite = false) const;
  void Save(const TIniText& text);
  AnsiString FFileName;
};

// The registry's INI-like face: the object opens (creating) FileName as a key under the current
// user; a section is a sub-key of it, a key a value. Integers are stored as dwords; a string that
// holds a number reads as that integer too.
enum : unsigned { KEY_ALL_ACCESS = 0xF003F, KEY_READ = 0x20019 };

class TRegIniFile {
 public:
  explicit TRegIniFile(const AnsiString& FileName);
  virtual ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  [[nodiscard]] const AnsiString& FileName() const { return FFileName; }
  // With KEY_READ, opening keys never creates them.
  unsigned Access = KEY_ALL_ACCESS;
  [[nodiscard]] HKEY RootKey() const { return Registry.RootKey; }
  // Switches the root and closes the open key.
  void SetRootKey(HKEY root);
  // Opens key (from the root when it begins with "\"), creating it when canCreate is set and the
  // access allows writing.
  bool OpenKey(std::string_view key, bool canCreate);

  [[nodiscard]] AnsiString ReadString(std::string_view Section, std::string_view Ident, std::string_view Default);
  void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
  [[nodiscard]] int ReadInteger(std::string_view Section, std::string_view Ident, int Default);
  void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
  [[nodiscard]] bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
  void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
  void EraseSection(std::string_view Section);

 private:
  // The section's key below the open key, opened for a read or a write; false when missing.
  bool EnterSection(TRegistry& section, std::string_view name, bool write) const;

  TRegistry Registry;
  AnsiString FFileName;
  bool KeyOpen = false;
};
