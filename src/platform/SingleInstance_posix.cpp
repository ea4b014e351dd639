#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/SingleInstance.h"

TSingleInstanceLock::TSingleInstanceLock(const std::string& name) {
  FSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (FSocket < 0) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // An abstract name: a leading zero byte, then the name (no file is made).
  const std::size_t length = std::min(name.size(), sizeof(address.sun_path) - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  FAcquired = ::bind(FSocket, reinterpret_cast<const sockaddr*>(&address), size) == 0;
  if (!FAcquired) {
    ::close(FSocket);
    FSocket = -1;
  }
}

TSingleInstanceLock::~TSingleInstanceLock() {
  if (FSocket >= 0) ::close(FSocket);
}
