// A fresh folder under /tmp, removed with everything in it at the end of the test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sulo-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) FPath = made;
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(FPath, ignored);
  }
  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};
