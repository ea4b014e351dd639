#include "saving/PictureFile.h"

#include <filesystem>
#include <system_error>

#include "platform/Files.h"
#include "saving/PictureFileSystem.h"

namespace fs = std::filesystem;

std::string PictureFileName(const QDateTime& when) {
  return when.toString("yyyyMMddhhmmss").toStdString() + ".jpg";
}

std::string SavePictureFile(const std::string& folder, const std::vector<std::uint8_t>& jpeg, const QDateTime& when,
                            bool* madeFolder) {
  if (madeFolder) *madeFolder = false;
  if (folder.empty()) throw EPictureSave("No save folder is chosen.");
  std::string dir = folder;
  if (!PictureFileSystem::IsSeparator(dir.back())) dir += '/';
  // The system's own form of the name: on Windows a narrow name would be read
  // in the local code page and lose a Korean folder.
  const fs::path path = PathFromUtf8(dir);
  std::error_code ec;
  const bool existed = fs::is_directory(path, ec);
  fs::create_directories(path, ec);
  // Asked without throwing: a folder that cannot be looked at (no access on
  // the way, a name part too long, a share that is gone) is a refusal like
  // any other, not an error of another kind.
  std::error_code probe;
  if (!fs::is_directory(path, probe)) {
    if (!ec) ec = probe;
    throw EPictureSave("The save folder " + dir + " does not exist and could not be made" +
                       (ec ? ": " + ec.message() : std::string()) + ".");
  }

  // The picture goes to a temporary file first, so the final name only ever
  // holds a whole picture.
  const std::string temp = PictureFileSystem::WriteTemporary(dir, jpeg);
  const std::string stem = when.toString("yyyyMMddhhmmss").toStdString();
  std::string target;
  try {
    for (int n = 1;; ++n) {
      // Appended piece by piece: GCC 12 at -O2 warns (-Wrestrict) about a
      // literal joined to a temporary string here.
      target = dir + stem;
      if (n > 1) target.append("-").append(std::to_string(n));
      target += ".jpg";
      if (PictureFileSystem::Publish(temp, target)) break;
      if (n > 10000) throw EPictureSave("No free name for the picture in " + dir + ".");
    }
  } catch (...) {
    PictureFileSystem::Discard(temp);
    throw;
  }
  if (madeFolder) *madeFolder = !existed;
  PictureFileSystem::SyncFolder(dir);
  return target;
}
