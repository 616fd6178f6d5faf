#include "Files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <vector>

#include "CodePage.h"
#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

TEST(FilesMask, MatchesAsWindowsDoesWithCaseIgnored) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"a.jpg", "*.jpg", true},
      {"A.JPG", "*.jpg", true},
      {"photo.Jpg", "*.JPG", true},
      {"a.jpeg", "*.jpg", false},
      {"a.jpg.bak", "*.jpg", false},
      {"jpg", "*.jpg", false},
      {".jpg", "*.jpg", true},
      {"ab.jpg", "?b.jpg", true},
      {"b.jpg", "?b.jpg", false},
      {"x", "*", true},
      {"", "*", true},
      {"\xC9T\xC9.jpg", "\xE9t\xE9*", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST(FilesFolder, ProgramFolderEndsWithSeparatorAndFollowsTheSeam) {
  SetProgramFolder("");
  const AnsiString running = ProgramFolder();
  ASSERT_FALSE(running.empty());
  EXPECT_EQ(running.back(), '/');
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  EXPECT_EQ(running + "vab_platform_runtime_tests", std::string(exe));
  SetProgramFolder("/tmp/elsewhere");
  EXPECT_EQ(ProgramFolder(), "/tmp/elsewhere/");
  SetProgramFolder("");
  EXPECT_EQ(ProgramFolder(), running);
}

TEST(FilesFind, ListsMatchingFilesOnlySorted) {
  TempProgramFolder folder;
  std::filesystem::create_directory(folder.Path / "skins");
  for (const char* name : {"b1.JPG", "a2.jpg", "a1.jpg", "notes.txt", "c.jpeg"})
    WriteBytes(folder.Path / "skins" / name, "x");
  std::filesystem::create_directory(folder.Path / "skins" / "dir.jpg");
  EXPECT_EQ(FindFiles(folder.File("skins/"), "*.jpg"), (std::vector<AnsiString>{"a1.jpg", "a2.jpg", "b1.JPG"}));
  EXPECT_EQ(FindFiles(folder.File("SKINS"), "*.JPG").size(), 3u);  // the folder is found with case ignored too
  EXPECT_TRUE(FindFiles(folder.File("missing"), "*").empty());
}

TEST(FilesNames, ExistenceAndCopyIgnoreCase) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "Photo.JPG", "jpeg");
  EXPECT_TRUE(FileExists(folder.File("photo.jpg")));
  EXPECT_TRUE(FileExists(folder.File("PHOTO.JPG")));
  EXPECT_FALSE(FileExists(folder.File("photo.jpeg")));
  EXPECT_FALSE(FileExists(folder.Path.string()));  // a folder is no file
  EXPECT_TRUE(DirectoryExists(folder.Path.string()));
  EXPECT_TRUE(CopyFile(folder.File("photo.jpg"), folder.File("copy.jpg"), true));
  EXPECT_EQ(ReadBytes(folder.Path / "copy.jpg"), "jpeg");
  EXPECT_FALSE(CopyFile(folder.File("photo.jpg"), folder.File("COPY.JPG"), true));  // exists already
  // Writing to an existing name in another case replaces that file rather than adding one.
  EXPECT_EQ(ResolvePathForWrite(folder.File("PHOTO.jpg")), folder.Path / "Photo.JPG");
  EXPECT_EQ(ResolvePathForWrite(folder.File("new.jpg")), folder.Path / "new.jpg");
}

TEST(FilesNames, RenameNeverReplacesAndDeleteReports) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "a.abk", "A");
  WriteBytes(folder.Path / "b.bkp", "B");
  EXPECT_FALSE(RenameFile(folder.File("a.abk"), folder.File("b.bkp")));
  EXPECT_EQ(ReadBytes(folder.Path / "b.bkp"), "B");
  EXPECT_TRUE(DeleteFile(folder.File("B.BKP")));
  EXPECT_FALSE(DeleteFile(folder.File("b.bkp")));
  EXPECT_TRUE(RenameFile(folder.File("A.abk"), folder.File("b.bkp")));
  EXPECT_EQ(ReadBytes(folder.Path / "b.bkp"), "A");
  EXPECT_FALSE(RenameFile(folder.File("a.abk"), folder.File("c.bkp")));
}

// A failure stays a failure even when nothing could say why.
TEST(FilesOutcome, AFailureIsNeverTakenForSuccess) {
  EXPECT_TRUE(TOutcome().ok());
  EXPECT_EQ(TOutcome().Error(), "");
  for (const char* error : {"cannot write: No space left on device", ""}) {
    const TOutcome failed = TOutcome::Failure(error);
    EXPECT_FALSE(failed) << error;
    EXPECT_NE(failed.Error(), "") << error;
    const TResult<AnsiString> result = failed;
    EXPECT_FALSE(result.ok()) << error;
    EXPECT_EQ(result.Error(), failed.Error());
  }
  const TResult<AnsiString> named = AnsiString("book-rescued.abk");
  EXPECT_TRUE(named.ok());
  EXPECT_EQ(named.Value(), "book-rescued.abk");
}

TEST(FilesReplace, KeepsPermissionsBackupAndNoTemporaryFile) {
  TempProgramFolder folder;
  const auto book = folder.Path / "book.abk";
  WriteBytes(book, "old");
  ASSERT_EQ(chmod(book.c_str(), 0640), 0);
  EXPECT_EQ(ReplaceFileDurably(book.string(), folder.File("book.bkp"), "new").Error(), "");
  EXPECT_EQ(ReadBytes(book), "new");
  EXPECT_EQ(ReadBytes(folder.Path / "book.bkp"), "old");
  struct stat info {};
  ASSERT_EQ(stat(book.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path), {}), 3);  // config, book, backup
  // No backup asked for: the previous file is simply replaced.
  EXPECT_EQ(ReplaceFileDurably(book.string(), "", "newer").Error(), "");
  EXPECT_EQ(ReadBytes(folder.Path / "book.bkp"), "old");
}

TEST(FilesReplace, FailureIsReportedAndCreatesNothing) {
  TempProgramFolder folder;
  const auto target = folder.Path / "missing" / "book.abk";
  EXPECT_FALSE(ReplaceFileDurably(target.string(), "", "new").ok());
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "missing"));
}

}  // namespace

namespace {

TEST(FilesReplace, ALinkedFileIsReplacedWhereItPointsAndTheLinkStays) {
  TempProgramFolder folder;
  std::filesystem::create_directory(folder.Path / "synced");
  WriteBytes(folder.Path / "synced" / "real.abk", "old");
  std::filesystem::create_symlink("synced/real.abk", folder.Path / "book.abk");
  EXPECT_EQ(ReplaceFileDurably(folder.File("book.abk"), folder.File("book.bkp"), "new").Error(), "");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.Path / "book.abk"));
  EXPECT_EQ(ReadBytes(folder.Path / "synced" / "real.abk"), "new");
  EXPECT_EQ(ReadBytes(folder.Path / "book.bkp"), "old");
}

TEST(FilesReplace, ABackupNamedAsTheFileItselfKeepsNoCopyAndLeavesNothingBehind) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "book.bkp", "old");
  EXPECT_EQ(ReplaceFileDurably(folder.File("book.bkp"), folder.File("book.bkp"), "new").Error(), "");
  EXPECT_EQ(ReadBytes(folder.Path / "book.bkp"), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path), {}), 2);  // config and the book
}

TEST(FilesNames, EmptyPathsAndFileNamesWithATrailingSeparatorDoNotExist) {
  TempProgramFolder folder;
  WriteBytes(folder.Path / "file", "x");
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(ResolveExistingPath("").has_value());
  EXPECT_FALSE(ResolveExistingPath(folder.File("file") + "/").has_value());
  EXPECT_TRUE(ResolveExistingPath(folder.Path.string() + "/").has_value());
}

TEST(FilesNames, AFolderNameTheCodePageCannotHoldStillWorks) {
  TempProgramFolder folder;
  const auto foreign = folder.Path / "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // Cyrillic, in UTF-8
  std::filesystem::create_directory(foreign);
  const AnsiString name = NativeToAnsi(foreign);
  ASSERT_FALSE(QStringToAnsi(QFile::decodeName(foreign.c_str())).has_value());
  EXPECT_TRUE(DirectoryExists(name));
  EXPECT_EQ(ReplaceFileDurably(name + "/book.abk", name + "/book.bkp", "cards").Error(), "");
  EXPECT_EQ(ReadBytes(foreign / "book.abk"), "cards");
  EXPECT_TRUE(FileExists(name + "/book.abk"));
}

// One holder per folder; the system releases the lock when its holder ends, even by SIGKILL.
TEST(FilesLock, OneHolderPerFolderUntilItEndsHoweverItEnds) {
  TempProgramFolder folder;
  const AnsiString path = folder.Path.string();
  {
    const TFolderLock first(path);
    EXPECT_EQ(first.State(), TFolderLock::TState::Locked);
    EXPECT_EQ(TFolderLock(path).State(), TFolderLock::TState::HeldElsewhere);
    EXPECT_EQ(TFolderLock(folder.File("config")).State(), TFolderLock::TState::Locked);  // another folder
  }
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const TFolderLock held(path);
    const char byte = held.State() == TFolderLock::TState::Locked ? 1 : 0;
    [[maybe_unused]] const ssize_t written = write(ready[1], &byte, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_EQ(byte, 1);
  EXPECT_EQ(TFolderLock(path).State(), TFolderLock::TState::HeldElsewhere);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(TFolderLock(path).State(), TFolderLock::TState::Locked);
  EXPECT_EQ(TFolderLock(folder.File("missing")).State(), TFolderLock::TState::Unavailable);
  close(ready[0]);
  close(ready[1]);
}

// While the contents are written the temporary file has no name, so a crash then leaves nothing;
// where it must have one (SetNamedTemporaryFiles), it is named as IsTemporaryFileOf says.
TEST(FilesReplace, TheTemporaryFileHasNoNameWhileItIsWritten) {
  TempProgramFolder folder;
  const auto book = folder.Path / "book.abk";
  WriteBytes(book, "old");
  for (const bool named : {false, true}) {
    SetNamedTemporaryFiles(named);
    std::vector<std::string> during;
    const TOutcome replaced = ReplaceFileDurably(book.string(), folder.File("book.bkp"), [&](TFileSink& file) {
      file.Append("new");
      for (const auto& entry : std::filesystem::directory_iterator(folder.Path))
        if (entry.path().filename() != "config") during.push_back(entry.path().filename().string());
    });
    SetNamedTemporaryFiles(false);
    EXPECT_EQ(replaced.Error(), "");
    if (named) {
      ASSERT_EQ(during.size(), 3u);  // the book, the backup of the first round, the temporary file
      EXPECT_EQ(std::count_if(during.begin(), during.end(),
                              [](const std::string& name) { return IsTemporaryFileOf(name, "book.abk"); }),
                1);
    } else {
      EXPECT_EQ(during, std::vector<std::string>{"book.abk"});
    }
    EXPECT_EQ(ReadBytes(book), "new");
  }
}

// A name the program makes up itself: the link is replaced by a new file of the folder's own, with
// fresh permissions, whatever the link leads to; nothing is written where it pointed.
TEST(FilesReplace, ReplacingTheLinkLeavesWhatItLedToAsItWas) {
  TempProgramFolder folder;
  const auto outside = folder.Path / "outside";
  std::filesystem::create_directory(outside);
  WriteBytes(outside / "victim.txt", "precious");
  ASSERT_EQ(chmod((outside / "victim.txt").c_str(), 0600), 0);
  const std::pair<const char*, std::filesystem::path> links[] = {
      {"page.html", outside / "victim.txt"},
      {"dangling.html", outside / "none.txt"},
      {"folder.html", outside},
  };
  const mode_t umaskBefore = umask(022);
  for (const bool named : {false, true}) {
    SetNamedTemporaryFiles(named);
    for (const auto& [name, target] : links) {
      const auto link = folder.Path / name;
      std::filesystem::remove(link);
      std::filesystem::create_symlink(target, link);
      const TOutcome replaced = ReplaceFileDurably(
          link.string(), "", [](TFileSink& file) { file.Append("page"); }, TFileSync::NoSync,
          TFileLink::ReplaceTheLink);
      EXPECT_EQ(replaced.Error(), "") << name;
      EXPECT_FALSE(std::filesystem::is_symlink(link)) << name;
      EXPECT_EQ(ReadBytes(link), "page") << name;
      struct stat info {};
      EXPECT_EQ(stat(link.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, 0644u) << name;
    }
    SetNamedTemporaryFiles(false);
  }
  umask(umaskBefore);
  EXPECT_EQ(ReadBytes(outside / "victim.txt"), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside), {}), 1);
}

}  // namespace
