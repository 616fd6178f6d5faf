#pragma once
// Fixtures shared by the tests: a temporary folder that serves as the program folder and as the
// settings home, and helpers to read and write whole files.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "Files.h"

namespace testing_support {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed at the end; it is the program folder and $XDG_CONFIG_HOME meanwhile, and
// its "data" (made only when needed) is $XDG_DATA_HOME.
class TempProgramFolder {
 public:
  TempProgramFolder() {
    std::random_device random;
    Path = std::filesystem::temp_directory_path() / ("vab-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(Path / "config");
    SetProgramFolder(Path.string() + "/");
    setenv("XDG_CONFIG_HOME", (Path / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (Path / "data").c_str(), 1);
  }
  ~TempProgramFolder() {
    SetProgramFolder("");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    std::error_code ec;
    std::filesystem::permissions(Path, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(Path, ec);
  }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  [[nodiscard]] std::string File(std::string_view name) const { return (Path / name).string(); }
  std::filesystem::path Path;
};

}  // namespace testing_support
