#include "Shell.h"

#include <gtest/gtest.h>

#include "FakeOpener.h"
#include "TestSupport.h"

namespace {

using testing_support::FakeOpener;
using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

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

TEST(Shell, OtherVerbsGoToTheirRegisteredHandler) {
  EXPECT_EQ(ShellExecuteA(nullptr, "print", "/tmp/page.html", nullptr, nullptr, SW_SHOWNORMAL), 31);
  std::vector<std::string> handled;
  EXPECT_FALSE(SetShellVerbHandler("print", [&](HWND, std::string_view file, int show) {
    handled.push_back(std::string(file) + " " + std::to_string(show));
    return 33;
  }));
  EXPECT_EQ(ShellExecuteA(nullptr, "print", "/tmp/page.html", nullptr, nullptr, SW_SHOWMAXIMIZED), 33);
  EXPECT_EQ(ShellExecuteA(nullptr, "print", "", nullptr, nullptr, SW_SHOWNORMAL), 2);
  EXPECT_EQ(ShellExecuteA(nullptr, "edit", "/tmp/page.html", nullptr, nullptr, SW_SHOWNORMAL), 31);
  EXPECT_TRUE(SetShellVerbHandler("print", {}));
  EXPECT_EQ(ShellExecuteA(nullptr, "print", "/tmp/page.html", nullptr, nullptr, SW_SHOWNORMAL), 31);
  EXPECT_EQ(handled, (std::vector<std::string>{"/tmp/page.html 3"}));
}

}  // namespace
