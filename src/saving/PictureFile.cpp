#include "saving/PictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string Reason(int error) { return std::strerror(error); }

// Writes every byte and flushes it to the disk; false with errno set.
bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0;
}

// Puts the finished temporary file under `path` unless that name is taken.
// A hard link claims the name and fills it in one step, so the name never
// holds anything but the whole picture; where the file system has no hard
// links, the name is claimed by creating it exclusively and the temporary
// file then renamed over it. False when the name is taken.
bool Publish(const std::string& temp, const std::string& path) {
  if (::link(temp.c_str(), path.c_str()) == 0) {
    ::unlink(temp.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
    throw EPictureSave("The picture could not be saved as " + path + ": " + Reason(errno));
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    throw EPictureSave("The picture could not be saved as " + path + ": " + Reason(errno));
  }
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(path.c_str());
    throw EPictureSave("The picture could not be saved as " + path + ": " + Reason(error));
  }
  return true;
}
}  // namespace

std::string PictureFileName(const QDateTime& when) {
  return when.toString("yyyyMMddhhmmss").toStdString() + ".jpg";
}

std::string SavePictureFile(const std::string& folder, const std::vector<std::uint8_t>& jpeg, const QDateTime& when,
                            bool* madeFolder) {
  if (madeFolder) *madeFolder = false;
  if (folder.empty()) throw EPictureSave("No save folder is chosen.");
  std::string dir = folder;
  if (dir.back() != '/') dir += '/';
  std::error_code ec;
  const bool existed = fs::is_directory(dir, ec);
  fs::create_directories(dir, ec);
  // Asked without throwing: a folder that cannot be looked at (no access on
  // the way, a name part too long, a share that is gone) is a refusal like
  // any other, not an error of another kind.
  std::error_code probe;
  if (!fs::is_directory(dir, probe)) {
    if (!ec) ec = probe;
    throw EPictureSave("The save folder " + dir + " does not exist and could not be made" +
                       (ec ? ": " + ec.message() : std::string()) + ".");
  }

  // The picture goes to a temporary file first, so the final name only ever
  // holds a whole picture.
  std::string temp = dir + ".sulo-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(errno));
  // Readable by others, as any picture written in the folder would be.
  ::fchmod(fd, 0644);
  if (!WriteAll(fd, jpeg)) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(error));
  }
  ::close(fd);

  const std::string stem = when.toString("yyyyMMddhhmmss").toStdString();
  std::string target;
  try {
    for (int n = 1;; ++n) {
      // Appended piece by piece: GCC 12 at -O2 warns (-Wrestrict) about a
      // literal joined to a temporary string here.
      target = dir + stem;
      if (n > 1) target.append("-").append(std::to_string(n));
      target += ".jpg";
      if (Publish(temp, target)) break;
      if (n > 10000) throw EPictureSave("No free name for the picture in " + dir + ".");
    }
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  if (madeFolder) *madeFolder = !existed;
  // The new name reaches the disk with the folder.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return target;
}
