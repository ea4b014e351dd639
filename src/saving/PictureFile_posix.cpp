#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "saving/PictureFile.h"
#include "saving/PictureFileSystem.h"

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
}  // namespace

namespace PictureFileSystem {

std::string WriteTemporary(const std::string& dir, const std::vector<std::uint8_t>& bytes) {
  std::string temp = dir + ".sulo-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(errno));
  // Readable by others, as any picture written in the folder would be.
  ::fchmod(fd, 0644);
  if (!WriteAll(fd, bytes)) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    throw EPictureSave("The picture could not be saved in " + dir + ": " + Reason(error));
  }
  ::close(fd);
  return temp;
}

// A hard link claims the name and fills it in one step, so the name never
// holds anything but the whole picture; where the file system has no hard
// links, the name is claimed by creating it exclusively and the temporary
// file then renamed over it.
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

void Discard(const std::string& temp) noexcept { ::unlink(temp.c_str()); }

void SyncFolder(const std::string& dir) noexcept {
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

bool IsSeparator(char c) { return c == '/'; }

}  // namespace PictureFileSystem
