#include "Shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "TestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

// Puts a fake opener first on PATH that records its arguments, one per line.
class FakeOpener {
 public:
  explicit FakeOpener(const TempProgramFolder& folder) : Log(folder.Path / "opened.log"), OldPath(getenv("PATH")) {
    const auto bin = folder.Path / "bin";
    std::filesystem::create_directory(bin);
    WriteBytes(bin / "xdg-open",
               "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + Log.string() + "'; done\n");
    chmod((bin / "xdg-open").c_str(), 0755);
    setenv("PATH", (bin.string() + ":" + OldPath).c_str(), 1);
  }
  ~FakeOpener() { setenv("PATH", OldPath.c_str(), 1); }

  // Waits for the detached opener to have written lines lines.
  std::string Opened(int lines) const {
    for (int i = 0; i < 200; ++i) {
      const std::string text = ReadBytes(Log);
      if (std::count(text.begin(), text.end(), '\n') >= lines) return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ReadBytes(Log);
  }

  std::filesystem::path Log;
  std::string OldPath;
};

TEST(Shell, HandsTheTextOnAsOneArgumentWithoutAShell) {
  TempProgramFolder folder;
  FakeOpener opener(folder);
  const std::string tricky = "http://example.invalid/a b;$(touch " + folder.File("pwned") + ")'\"";
  EXPECT_GT(ShellExecuteA(nullptr, nullptr, tricky, nullptr, nullptr, SW_SHOWNORMAL), 32);
  EXPECT_GT(ShellExecuteA(nullptr, "open", "mailto:someone@example.invalid", nullptr, nullptr, SW_SHOWNORMAL), 32);
  EXPECT_GT(ShellExecuteA(nullptr, nullptr, "--help", nullptr, nullptr, SW_SHOWNORMAL), 32);
  const std::string opened = opener.Opened(3);
  EXPECT_NE(opened.find(tricky + "\n"), std::string::npos);
  EXPECT_NE(opened.find("mailto:someone@example.invalid\n"), std::string::npos);
  EXPECT_NE(opened.find("./--help\n"), std::string::npos);  // never read as an option
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "pwned"));
}

TEST(Shell, MissingOpenerOrEmptyTextIsAFailureCode) {
  const std::string oldPath = getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  EXPECT_LE(ShellExecuteA(nullptr, nullptr, "http://example.invalid", nullptr, nullptr, SW_SHOWNORMAL), 32);
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_LE(ShellExecuteA(nullptr, nullptr, "", nullptr, nullptr, SW_SHOWNORMAL), 32);
  EXPECT_EQ(ShellOpenerArgument("-x"), "./-x");
  EXPECT_EQ(ShellOpenerArgument("x-"), "x-");
}

}  // namespace
