#include "Registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Another program rewrites the store between this one's read and write, keeping the file's size and
// (within the same clock tick) its modification time: the outside change is seen and kept.
TEST(Registry, AnOutsideWriteOfTheSameSizeAndTimeIsKept) {
  const struct {
    const char* what;
    std::string_view before;
    std::string_view after;
  } edits[] = {
      {"a value changed", "\"CurrentSkin\"=dword:00000000", "\"CurrentSkin\"=dword:00000003"},
      {"a value deleted and another added", "\"CurrentSkin\"=dword:00000000", "\"OtherSkins\"=dword:00000000"},
  };
  for (const auto& edit : edits) {
    TempProgramFolder folder;
    {
      TRegistry setup;
      ASSERT_TRUE(setup.OpenKey("\\Software\\Quillmere\\VAB\\", true));
      setup.WriteInteger("CurrentSkin", 0);
      setup.WriteInteger("PlaySounds", 1);
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB\\", false));
    ASSERT_EQ(registry.ReadInteger("PlaySounds"), 1);

    struct stat old {};
    ASSERT_EQ(stat(StoreFile().c_str(), &old), 0);
    std::string contents = ReadBytes(StoreFile());
    const std::size_t at = contents.find(edit.before);
    ASSERT_NE(at, std::string::npos) << contents;
    contents.replace(at, edit.before.size(), edit.after);
    WriteBytes(StoreFile(), contents);
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, StoreFile().c_str(), times, 0), 0);

    registry.WriteInteger("PlaySounds", 0);
    registry.CloseKey();
    const std::string written = ReadBytes(StoreFile());
    EXPECT_NE(written.find(edit.after), std::string::npos) << edit.what << "\n" << written;
    EXPECT_NE(written.find("\"PlaySounds\"=dword:00000000"), std::string::npos) << edit.what << "\n" << written;

    // A later reader in this process sees the file as it is, too.
    struct stat last {};
    ASSERT_EQ(stat(StoreFile().c_str(), &last), 0);
    WriteBytes(StoreFile(), contents);
    const struct timespec lastTimes[2] = {last.st_atim, last.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, StoreFile().c_str(), lastTimes, 0), 0);
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("\\Software\\Quillmere\\VAB", false));
    EXPECT_EQ(reader.ReadInteger("PlaySounds"), 1) << edit.what;
    EXPECT_EQ(reader.ValueExists("CurrentSkin"), edit.after.find("CurrentSkin") != std::string_view::npos) << edit.what;
  }
}

// Several programs write their own values into one store at the same time: none is lost.
TEST(Registry, ConcurrentWritersFromSeveralProcessesLoseNoValue) {
  TempProgramFolder folder;
  constexpr int kWriters = 4;
  constexpr int kValues = 25;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int failures = 0;
      for (int i = 0; i < kValues; ++i) {
        try {
          TRegistry registry;
          if (!registry.OpenKey("\\Software\\Quillmere\\VAB", true)) ++failures;
          registry.WriteInteger("W" + std::to_string(writer) + "_" + std::to_string(i), i);
        } catch (const ERegistryException&) {
          ++failures;
        }
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("\\Software\\Quillmere\\VAB", false));
  for (int writer = 0; writer < kWriters; ++writer)
    for (int i = 0; i < kValues; ++i)
      EXPECT_TRUE(registry.ValueExists("W" + std::to_string(writer) + "_" + std::to_string(i))) << writer << " " << i;
}

}  // namespace
