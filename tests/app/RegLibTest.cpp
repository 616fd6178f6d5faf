#include "RegLib.h"

#include <gtest/gtest.h>

#include "Registry.h"
#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

TEST(RegLib, ReadsGiveDefaultsAndCreateMissingValues) {
  TempProgramFolder folder;
  TRegLib settings;
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "PlaySounds", 1, true), 1);
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "CurrentSkin", 0, true), 0);
  EXPECT_EQ(settings.ReadString(kSettingsKey, "AddressBook", "New.abk", true), "New.abk");
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "NotCreated", 5, false), 5);
  EXPECT_EQ(settings.ReadString("\\Software\\Other\\", "Name", "dflt", false), "dflt");

  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
  EXPECT_EQ(registry.ReadInteger("PlaySounds"), 1);
  EXPECT_EQ(registry.ReadInteger("CurrentSkin"), 0);
  EXPECT_EQ(registry.ReadString("AddressBook"), "New.abk");
  EXPECT_FALSE(registry.ValueExists("NotCreated"));
  EXPECT_FALSE(registry.KeyExists("\\Software\\Other"));
  // A stored value wins over the default from then on.
  EXPECT_EQ(settings.ReadString(kSettingsKey, "AddressBook", "Other.abk", true), "New.abk");
}

TEST(RegLib, WritesCreateTheKeyAndReadBack) {
  TempProgramFolder folder;
  TRegLib settings;
  settings.WriteString(kSettingsKey, "InstallPath", "/opt/vab/");
  settings.WriteString(kSettingsKey, "Version", "ABK10");
  settings.WriteInteger(kSettingsKey, "CurrentSkin", -1);
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "CurrentSkin", 0, true), -1);
  EXPECT_EQ(settings.ReadString(kSettingsKey, "Version", "", false), "ABK10");
  TRegLib other;  // a second store, as the options window keeps, sees the same values
  EXPECT_EQ(other.ReadString(kSettingsKey, "InstallPath", "", false), "/opt/vab/");
}

TEST(RegLib, AValueOfTheWrongTypeGivesTheDefaultAndIsKept) {
  TempProgramFolder folder;
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
    registry.WriteString("PlaySounds", "0");
    registry.WriteInteger("AddressBook", 3);
  }
  TRegLib settings;
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "PlaySounds", 1, true), 1);
  EXPECT_EQ(settings.ReadString(kSettingsKey, "AddressBook", "x.abk", true), "x.abk");
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
  EXPECT_EQ(registry.ReadString("PlaySounds"), "0");  // not overwritten by the default
  // The next read recovers after the failure.
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "CurrentSkin", 0, true), 0);
}

TEST(RegLib, NeverRaisesWhenTheStoreIsUnusable) {
  TempProgramFolder folder;
  std::filesystem::create_directories(RegistryStoreFile());  // a folder where the file should be
  TRegLib settings;
  EXPECT_EQ(settings.ReadInteger(kSettingsKey, "PlaySounds", 1, true), 1);
  EXPECT_EQ(settings.ReadString(kSettingsKey, "AddressBook", "a.abk", true), "a.abk");
  EXPECT_NO_THROW(settings.WriteInteger(kSettingsKey, "CurrentSkin", 2));
  EXPECT_NO_THROW(settings.WriteString(kSettingsKey, "Version", "ABK10"));
}

}  // namespace
