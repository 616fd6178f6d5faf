#include "BenchFolders.h"

#include <stdlib.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "Files.h"

namespace fs = std::filesystem;

TTemporaryFolder::TTemporaryFolder(std::string_view prefix) {
  std::string name = (fs::temp_directory_path() / (std::string(prefix) + ".XXXXXX")).string();
  if (!::mkdtemp(name.data())) throw std::runtime_error("cannot create a temporary folder");
  Path = name;
}

TTemporaryFolder::~TTemporaryFolder() {
  std::error_code ec;
  fs::remove_all(Path, ec);
}

TProgramFolder::TProgramFolder(std::string_view prefix) : TTemporaryFolder(prefix) {
  fs::create_directories(Path / "config");
  SetProgramFolder(Path.string() + "/");
  setenv("XDG_CONFIG_HOME", (Path / "config").c_str(), 1);
}

TProgramFolder::~TProgramFolder() {
  SetProgramFolder("");
  unsetenv("XDG_CONFIG_HOME");
}

void TProgramFolder::CopyFromSource(std::initializer_list<std::string_view> folders) const {
  for (std::string_view folder : folders)
    fs::copy(fs::path(VAB_SOURCE_DIR) / folder, Path / folder, fs::copy_options::recursive);
}

const fs::path& BenchDataFolder() {
  if (const char* dir = std::getenv("VAB_BENCH_DIR"); dir && *dir) {
    static const fs::path given = dir;
    return given;
  }
  static const TTemporaryFolder temporary("vab-bench");
  return temporary.Path;
}
