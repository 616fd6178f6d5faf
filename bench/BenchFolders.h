#pragma once
// Folders for the benchmarks' files.

#include <filesystem>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TTemporaryFolder {
 public:
  explicit TTemporaryFolder(std::string_view prefix);
  ~TTemporaryFolder();
  TTemporaryFolder(const TTemporaryFolder&) = delete;
  TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

  std::filesystem::path Path;
};

// A temporary folder that is the program folder, with the settings home in its "config", while it
// lives.
class TProgramFolder : public TTemporaryFolder {
 public:
  explicit TProgramFolder(std::string_view prefix);
  ~TProgramFolder();
  TProgramFolder(const TProgramFolder&) = delete;
  TProgramFolder& operator=(const TProgramFolder&) = delete;

  // Copies folders of the source tree ("skins", "images") into this one.
  void CopyFromSource(std::initializer_list<std::string_view> folders) const;
};

// $VAB_BENCH_DIR, or a temporary folder removed at exit.
[[nodiscard]] const std::filesystem::path& BenchDataFolder();
