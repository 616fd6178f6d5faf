#include "Registry.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

std::filesystem::path StoreFile() {
  return RegistryStoreFile();
}

TEST(Registry, TypedValuesPersistInAReadableFile) {
  TempProgramFolder folder;
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB\\", true));
    registry.WriteString("InstallPath", "/opt/vab/");
    registry.WriteInteger("Count", 42);
    registry.WriteInteger("Skin", -1);
    registry.WriteString("Quote", "say \"hi\"\\ \xE9");
  }
  EXPECT_EQ(ReadBytes(StoreFile()),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Quillmere\\VAB]\n"
            "\"Count\"=dword:0000002a\n"
            "\"InstallPath\"=\"/opt/vab/\"\n"
            "\"Quote\"=\"say \\\"hi\\\"\\\\ \xC3\xA9\"\n"
            "\"Skin\"=dword:ffffffff\n");
  TRegistry registry;  // a new reader sees the types as they were written
  ASSERT_TRUE(registry.OpenKey("\\software\\quillmere\\vab", false));
  EXPECT_EQ(registry.ReadInteger("count"), 42);
  EXPECT_EQ(registry.ReadInteger("Skin"), -1);
  EXPECT_EQ(registry.ReadString("INSTALLPATH"), "/opt/vab/");
  EXPECT_EQ(registry.ReadString("Quote"), "say \"hi\"\\ \xE9");
}

TEST(Registry, TypeMismatchAndMissingValues) {
  TempProgramFolder folder;
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB", true));
  registry.WriteString("PlaySounds", "1");
  registry.WriteInteger("Number", 7);
  EXPECT_THROW((void)registry.ReadInteger("PlaySounds"), ERegistryException);
  EXPECT_THROW((void)registry.ReadString("Number"), ERegistryException);
  EXPECT_THROW((void)registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_EQ(registry.ReadString("Missing"), "");
  EXPECT_TRUE(registry.ValueExists("playsounds"));
  EXPECT_FALSE(registry.ValueExists("Missing"));
}

TEST(Registry, KeysAreOpenedRelativeOrFromTheRootAndCreatedOnRequest) {
  TempProgramFolder folder;
  TRegistry registry;
  EXPECT_TRUE(registry.OpenKey("\\", false));
  EXPECT_FALSE(registry.OpenKey("\\Software\\Nothing", false));
  EXPECT_FALSE(registry.KeyExists("\\Software\\Nothing"));
  EXPECT_TRUE(registry.OpenKey("Software", true));
  EXPECT_TRUE(registry.OpenKey("Quillmere\\VAB", true));
  EXPECT_EQ(registry.CurrentPath(), "Software\\Quillmere\\VAB");
  registry.CloseKey();
  EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\quillmere\\Vab\\"));  // an empty key exists too
}

TEST(Registry, MissingUnreadableOrCorruptStoreReadsEmpty) {
  const std::string_view corrupt[] = {
      "",                                                         // empty file
      "garbage\n",                                                // no header
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n\"X\"=\"y\"\n",  // another root
      "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",                 // an open section
      "\xFF\xFE\x00\x01 binary",
  };
  for (std::string_view contents : corrupt) {
    TempProgramFolder folder;
    std::filesystem::create_directories(StoreFile().parent_path());
    WriteBytes(StoreFile(), contents);
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\Software", false)) << contents;
    // The store can still be written, and then holds what was written.
    ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB", true));
    EXPECT_NO_THROW(registry.WriteInteger("PlaySounds", 1)) << contents;
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("\\Software\\Quillmere\\VAB", false));
    EXPECT_EQ(reader.ReadInteger("PlaySounds"), 1);
  }
  TempProgramFolder folder;  // no store file at all
  TRegistry registry;
  EXPECT_FALSE(registry.OpenKey("\\Software", false));
}

// One bad line costs only itself: every other value is still read, and the damaged file is kept
// aside as it was.
TEST(Registry, AStoreWithABadLineKeepsItsOtherValues) {
  const std::string good =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\VAB]\n\"AddressBook\"=\"MyBook.abk\"\n";
  const std::string_view badLines[] = {
      "\"PlaySounds\"=dword:zz\n",               // a bad number
      "\"CurrentSkin\"=\"open\n",                // an open quote
      "no name\n",                               // no value at all
      "[HKEY_LOCAL_MACHINE\\X]\n\"Y\"=\"z\"\n",  // another root: its values are skipped
  };
  for (std::string_view bad : badLines) {
    TempProgramFolder folder;
    std::filesystem::create_directories(StoreFile().parent_path());
    const std::string contents = good + std::string(bad) + "[HKEY_CURRENT_USER\\Software\\Quillmere\\VAB]\n" +
                                 "\"Version\"=\"ABK10\"\n\"Count\"=dword:0000002a\n";
    WriteBytes(StoreFile(), contents);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB", false)) << bad;
    EXPECT_EQ(registry.ReadString("AddressBook"), "MyBook.abk") << bad;
    EXPECT_EQ(registry.ReadString("Version"), "ABK10") << bad;
    EXPECT_EQ(registry.ReadInteger("Count"), 42) << bad;
    EXPECT_FALSE(registry.ValueExists("Y")) << bad;
    registry.CloseKey();
    EXPECT_EQ(ReadBytes(StoreFile().string() + ".corrupt"), contents) << bad;
    // The store itself is whole again.
    const std::string rewritten = ReadBytes(StoreFile());
    EXPECT_NE(rewritten.find("\"AddressBook\"=\"MyBook.abk\""), std::string::npos) << rewritten;
    EXPECT_EQ(rewritten.find(bad), std::string::npos) << rewritten;
  }
}

TEST(Registry, UnwritableStoreRaisesOnWrite) {
  TempProgramFolder folder;
  // A folder in the store file's place cannot be replaced by a file.
  std::filesystem::create_directories(StoreFile());
  TRegistry registry;
  EXPECT_FALSE(registry.OpenKey("\\Software", true));
  EXPECT_THROW(registry.WriteInteger("X", 1), ERegistryException);
}

}  // namespace
