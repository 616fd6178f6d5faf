#pragma once
// A fake desktop opener: an "xdg-open" first on PATH that records its arguments, one per line.

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "TestSupport.h"

namespace testing_support {

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
  FakeOpener(const FakeOpener&) = delete;
  FakeOpener& operator=(const FakeOpener&) = delete;

  // Waits for the detached opener to have written lines lines.
  [[nodiscard]] std::string Opened(int lines) const {
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

}  // namespace testing_support
