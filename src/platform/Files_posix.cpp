#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/Files.h"

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::string Utf8FromPath(const std::filesystem::path& path) { return path.string(); }

std::FILE* OpenFile(const std::string& path, const char* mode) noexcept { return std::fopen(path.c_str(), mode); }

bool MoveFileReplacing(const std::string& from, const std::string& to) noexcept {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) noexcept {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  // Root may write a file without write permission; a file marked read-only
  // is refused all the same.
  if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) return false;

  std::string tmp = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  // The new file keeps the old one's permissions (mkstemp makes it private).
  if (ok) ::fchmod(fd, exists ? existing.st_mode & 07777 : 0644);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

std::string ExecutablePath() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.string();
}
