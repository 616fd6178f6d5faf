#include "IniFiles.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

constexpr std::string_view kSample =
    "; settings\r\n"
    "[Main]\r\n"
    "  Name = Ada Lovelace  \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Twice=\"\"x\"\"\r\n"
    "OneEnd=\"x\r\n"
    "Hex=0x1F\r\n"
    "Dollar=$ff\r\n"
    "Bad=12a\r\n"
    "Minus=-7\r\n"
    "\r\n"
    "[Other]\r\n"
    "Name=second\r\n";

TEST(IniText, ReadsValuesWithCaseIgnoredTrimmedAndOnePairOfQuotesStripped) {
  const TIniText text(kSample);
  const struct {
    const char* section;
    const char* key;
    std::optional<AnsiString> value;
  } cases[] = {
      {"Main", "Name", "Ada Lovelace"},  {"MAIN", "name", "Ada Lovelace"},
      {"Main", "Quoted", "  spaced  "},  {"Main", "Single", "x"},
      {"Main", "Twice", "\"x\""},        {"Main", "OneEnd", "\"x"},
      {"other", "NAME", "second"},       {"Main", "Missing", std::nullopt},
      {"Nowhere", "Name", std::nullopt}, {"Main", "; settings", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(text.Value(c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST(IniFile, IntegersReadAsDecimalOrHexAndFallBackToTheDefault) {
  TempProgramFolder folder;
  std::filesystem::create_directories(folder.Path / "config/velmora-address-book");
  WriteBytes(folder.Path / "config/velmora-address-book/a.ini", kSample);
  const TIniFile ini("a.ini");
  EXPECT_EQ(ini.FileName(), folder.File("config/velmora-address-book/a.ini"));
  const struct {
    const char* key;
    int value;
  } cases[] = {{"Hex", 31}, {"Dollar", 255}, {"Minus", -7}, {"Bad", 99}, {"Name", 99}, {"Missing", 99}};
  for (const auto& c : cases) EXPECT_EQ(ini.ReadInteger("Main", c.key, 99), c.value) << c.key;
  EXPECT_TRUE(ini.ReadBool("Main", "Minus", false));
  EXPECT_FALSE(ini.ReadBool("Main", "Missing", false));
}

TEST(IniFile, WritesKeepTheRestOfTheFileAndAddKeysAndSectionsWhereTheyBelong) {
  TempProgramFolder folder;
  const std::string path = folder.File("settings.ini");
  WriteBytes(path,
             "; kept\n"
             "[Main]\n"
             "Width=10\n"
             "\n"
             "[Tail]\n"
             "x=1\n");
  TIniFile ini(path);
  ini.WriteInteger("MAIN", "width", 20);  // the stored spelling stays
  ini.WriteString("Main", "Height", "30");
  ini.WriteBool("New", "Visible", true);
  EXPECT_EQ(ReadBytes(path),
            "; kept\n"
            "[Main]\n"
            "Width=20\n"
            "Height=30\n"
            "\n"
            "[Tail]\n"
            "x=1\n"
            "\n"
            "[New]\n"
            "Visible=1\n");
  ini.EraseSection("main");
  EXPECT_EQ(ReadBytes(path), "; kept\n[Tail]\nx=1\n\n[New]\nVisible=1\n");
  EXPECT_EQ(ini.ReadString("Main", "Width", "gone"), "gone");
}

TEST(IniFile, NamesAndValuesThatWouldChangeTheFileStructureAreRefused) {
  TempProgramFolder folder;
  const std::string path = folder.File("refuse.ini");
  TIniFile ini(path);
  ini.WriteString("S", "K", "v");
  const AnsiString before = ReadBytes(path);
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"S", "K", "v\n[Injected]"},
      {"S", "K", "v\rX=1"},
      {"S", "A=B", "v"},
      {"S", "[X]", "v"},
      {"S", ";c", "v"},
      {"S", "", "v"},
      {"S]", "K", "v"},
      {"S\nT", "K", "v"},
      {"S", "K\n", "v"},
  };
  for (const auto& c : cases)
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException) << c.section << "/" << c.key;
  EXPECT_EQ(ReadBytes(path), before);
  ini.WriteString("S", "K", "a=b ] [c]");  // harmless inside a value
  EXPECT_EQ(ini.ReadString("S", "K", ""), "a=b ] [c]");
}

TEST(IniFile, AWriteThatCannotBeMadeRaisesAndReadsGiveDefaults) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "plain", "not a folder");
  TIniFile ini(folder.File("plain/a.ini"));
  EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("S", "K", 4), 4);
  EXPECT_THROW(ini.WriteString("S", "K", "v"), EIniFileException);
  EXPECT_EQ(ReadBytes(folder.Path / "plain"), "not a folder");

  // A file that cannot be read is not replaced by a write.
  std::filesystem::create_directories(folder.Path / "dir.ini");
  TIniFile unreadable(folder.File("dir.ini"));
  EXPECT_EQ(unreadable.ReadString("S", "K", "d"), "d");
  EXPECT_THROW(unreadable.WriteString("S", "K", "v"), EIniFileException);
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path / "dir.ini"));
}

TEST(RegIniFile, SectionsAreSubKeysAndIntegersAreDwords) {
  TempProgramFolder folder;
  {
    TRegIniFile reg("Software\\Editor");
    reg.WriteInteger("TMainForm", "Flags", 0);
    reg.WriteString("TMainForm", "NormPos", "\"quoted\"");
    reg.WriteBool("TMainForm", "Visible", true);
    reg.WriteString("Other", "Count", " 12 ");
  }
  EXPECT_EQ(ReadBytes(RegistryStoreFile()),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Editor]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Editor\\Other]\n"
            "\"Count\"=\" 12 \"\n\n"
            "[HKEY_CURRENT_USER\\Software\\Editor\\TMainForm]\n"
            "\"Flags\"=dword:00000000\n"
            "\"NormPos\"=\"\\\"quoted\\\"\"\n"
            "\"Visible\"=dword:00000001\n");
  TRegIniFile reg("software\\editor");
  EXPECT_EQ(reg.ReadString("tmainform", "normpos", ""), "\"quoted\"");
  EXPECT_EQ(reg.ReadString("TMainForm", "Flags", ""), "0");
  EXPECT_EQ(reg.ReadInteger("Other", "Count", -1), 12);
  EXPECT_EQ(reg.ReadInteger("Other", "Missing", -1), -1);
  EXPECT_EQ(reg.ReadInteger("NoSection", "Count", -1), -1);
  reg.EraseSection("TMAINFORM");
  EXPECT_EQ(reg.ReadInteger("TMainForm", "Flags", 5), 5);
  EXPECT_EQ(reg.ReadString("Other", "Count", ""), " 12 ");
}

TEST(RegIniFile, ReadAccessCreatesNoSectionAndOtherRootsHoldNothing) {
  TempProgramFolder folder;
  TRegIniFile reg("Software\\Editor");
  reg.Access = KEY_READ;
  EXPECT_EQ(reg.ReadString("Sec", "K", "d"), "d");
  TRegistry registry;
  EXPECT_FALSE(registry.KeyExists("\\Software\\Editor\\Sec"));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("Software\\Editor", true));
  EXPECT_EQ(reg.ReadInteger("Sec", "K", 3), 3);
  EXPECT_THROW(reg.WriteInteger("Sec", "K", 1), ERegistryException);
}

}  // namespace

TEST(IniText, ASectionWhoseHeaderIsTheLastLineTakesItsKeysAndGoesWhole) {
  TIniText text("[Main]\nName=x\n[Empty]");
  text.SetValue("empty", "Key", "v");
  EXPECT_EQ(text.Text(), "[Main]\nName=x\n[Empty]\nKey=v\n") << "no second header for the same section";
  EXPECT_EQ(text.Value("Empty", "Key"), AnsiString("v"));
  TIniText erased("[Main]\nName=x\n[Empty]");
  erased.EraseSection("Empty");
  EXPECT_EQ(erased.Text(), "[Main]\nName=x\n");
}
