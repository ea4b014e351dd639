#include "board/ComPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>

#include "logging/Log.h"

namespace {

std::string ErrorText(int code) {
  switch (code) {
    case CError_OpenFailed: return "Unable to open com port";
    case CError_WriteFailed: return "WriteFile function failed";
    case CError_ReadFailed: return "ReadFile function failed";
    case CError_SetStateFailed: return "SetCommState function failed";
    case CError_PortNotOpen: return "Port Not Open";
    default: return "Com port error " + std::to_string(code);
  }
}

std::string Message(int code, std::optional<int> systemError) {
  std::string text = ErrorText(code);
  if (systemError) text += " (Error: " + std::to_string(*systemError) + ")";
  return text;
}

std::optional<int> NumberFor(int code, std::optional<int> systemError) {
  return code == CError_PortNotOpen ? std::nullopt : systemError;
}

// Closes a descriptor that was never handed to the object.
void Discard(int fd) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
}

}  // namespace

EComPort::EComPort(int code, std::optional<int> systemError)
    : std::runtime_error(Message(code, NumberFor(code, systemError))),
      FCode(code),
      FSystemError(NumberFor(code, systemError)) {}

TCustomComPort::TCustomComPort(std::shared_ptr<const IPortDirectory> ports)
    : FPorts(ports ? std::move(ports) : SystemPortDirectory()) {}

TCustomComPort::~TCustomComPort() { Close(); }

void TCustomComPort::SetPort(const std::string& name) {
  std::lock_guard guard(FLock);
  if (name == FPort) return;
  FPort = name;
  if (FHandle >= 0) {
    CloseLocked();
    OpenLocked();
  }
}

std::string TCustomComPort::Port() const {
  std::lock_guard guard(FLock);
  return FPort;
}

void TCustomComPort::Open() {
  std::lock_guard guard(FLock);
  OpenLocked();
}

void TCustomComPort::OpenLocked() {
  if (FHandle >= 0) return;
  const std::string path = FPorts->DevicePath(FPort);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw EComPort(CError_OpenFailed, errno);
  // TIOCEXCL keeps ordinary openers out; the lock also stops privileged ones
  // that TIOCEXCL lets through (another instance of this program).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    Discard(fd);
    throw EComPort(CError_OpenFailed, error);
  }
  FHandle = fd;
  FConnected = true;
  try {
    ApplyLineSettings(fd);
  } catch (...) {
    CloseLocked();
    throw;
  }
  // Whatever arrived while nobody had the port open is stale.
  ::tcflush(fd, TCIFLUSH);
  Trace("TComPort.Open " + FPort + " (" + path + ")");
}

void TCustomComPort::ApplyLineSettings(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) throw EComPort(CError_SetStateFailed, errno);
  // Raw binary bytes both ways: no line editing, echo, signals or character
  // translation; no parity check; no XON/XOFF or RTS/CTS flow control.
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  // Reads return at once with what has arrived (the descriptor is also
  // non-blocking, so an empty queue gives 0 bytes).
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, B9600) != 0 || ::cfsetospeed(&tio, B9600) != 0 || ::tcsetattr(fd, TCSANOW, &tio) != 0)
    throw EComPort(CError_SetStateFailed, errno);
  // The kernel raises DTR and RTS on open; the board wants both inactive. A
  // pseudo-terminal has no modem lines, which is not an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (::ioctl(fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL)
    throw EComPort(CError_SetStateFailed, errno);
}

void TCustomComPort::Close() noexcept {
  std::lock_guard guard(FLock);
  CloseLocked();
}

void TCustomComPort::CloseLocked() noexcept {
  if (FHandle < 0) return;
  const int fd = FHandle;
  FHandle = -1;
  FConnected = false;
  // Unread replies are dropped; written bytes are left to drain. The
  // exclusive flag lives on the device, not on this descriptor, so it is
  // lifted before closing or the next opener would be refused.
  ::tcflush(fd, TCIFLUSH);
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);
  Trace("TComPort.Close " + FPort);
}

int TCustomComPort::Write(const void* buffer, int count) {
  std::lock_guard guard(FLock);
  if (FHandle < 0) throw EComPort(CError_PortNotOpen);
  if (count <= 0) return 0;
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(std::int64_t(WriteTotalMultiplierMs) * count + WriteTotalConstantMs);
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  int done = 0;
  while (done < count) {
    const ssize_t n = ::write(FHandle, bytes + done, std::size_t(count - done));
    if (n > 0) {
      done += int(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) throw EComPort(CError_WriteFailed, errno);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;  // the write bound ran out: report what went out
    pollfd wait{FHandle, POLLOUT, 0};
    const int ready = ::poll(&wait, 1, int(left));
    if (ready < 0 && errno != EINTR) throw EComPort(CError_WriteFailed, errno);
    if (ready > 0 && (wait.revents & POLLNVAL)) throw EComPort(CError_WriteFailed, EBADF);
    // POLLERR/POLLHUP: the next write reports the failure itself.
  }
  return done;
}

int TCustomComPort::Read(void* buffer, int count) {
  std::lock_guard guard(FLock);
  if (FHandle < 0) throw EComPort(CError_PortNotOpen);
  if (count <= 0) return 0;
  for (;;) {
    const ssize_t n = ::read(FHandle, buffer, std::size_t(count));
    if (n >= 0) return int(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN) return 0;
    throw EComPort(CError_ReadFailed, errno);
  }
}

void EnumComPorts(std::vector<std::string>& list, const IPortDirectory& ports) {
  std::vector<std::string> names;
  if (!ports.List(names)) return;
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
      return std::tolower(x) < std::tolower(y);
    });
  });
  list = std::move(names);
}
