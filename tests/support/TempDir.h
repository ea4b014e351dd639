// A fresh folder under the system's temporary folder, removed with everything
// in it at the end of the test. File() gives UTF-8 paths, as the program
// uses them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class TTempDir {
 public:
  TTempDir() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t(seed()) << 32) ^ seed());
    // create_directory reports whether it made the folder, so a name another
    // test took at the same moment is never shared.
    for (int attempt = 0; attempt < 100 && FPath.empty(); ++attempt) {
      const std::filesystem::path candidate = base / ("sulo-test-" + std::to_string(random() % 1000000000000ull));
      if (std::filesystem::create_directory(candidate, error)) FPath = candidate;
    }
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(FPath, ignored);
  }
  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& name) const {
    const std::u8string path = (FPath / std::u8string(name.begin(), name.end())).u8string();
    return std::string(path.begin(), path.end());
  }

 private:
  std::filesystem::path FPath;
};
