#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/UserFolders.h"

namespace {

// The base directory variables name absolute paths only; a relative one is
// to be ignored, as if unset.
std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// $HOME, else the password database's home of the running user.
std::string HomeFolder() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384u);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    home = found->pw_dir;
  return home;
}

std::string BaseFolder(const char* variable, const char* underHome) {
  std::string base = AbsoluteVariable(variable);
  if (base.empty()) {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    base = home + "/" + underHome;
  }
  return base + "/sulo";
}

}  // namespace

TUserFolders UserFolders() {
  try {
    return {BaseFolder("XDG_CONFIG_HOME", ".config"), BaseFolder("XDG_STATE_HOME", ".local/state")};
  } catch (...) {
    return {};
  }
}
