// The serial device on POSIX systems: a terminal device in raw mode.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "board/ComPort.h"
#include "board/ComPortDevice.h"

namespace {

// Closes a descriptor that never became a device object.
void Discard(int fd) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
}

void ApplyLineSettings(int fd) {
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

class TPosixDevice : public TComPortDevice {
 public:
  explicit TPosixDevice(int fd) : FHandle(fd) {}

  ~TPosixDevice() override {
    // Unread replies are dropped; written bytes are left to drain. The
    // exclusive flag lives on the device, not on this descriptor, so it is
    // lifted before closing or the next opener would be refused.
    ::tcflush(FHandle, TCIFLUSH);
    ::ioctl(FHandle, TIOCNXCL);
    ::close(FHandle);
  }

  int Write(const void* buffer, int count) override {
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

  int Read(void* buffer, int count) override {
    if (count <= 0) return 0;
    for (;;) {
      const ssize_t n = ::read(FHandle, buffer, std::size_t(count));
      if (n >= 0) return int(n);
      if (errno == EINTR) continue;
      if (errno == EAGAIN) return 0;
      throw EComPort(CError_ReadFailed, errno);
    }
  }

 private:
  int FHandle;
};

}  // namespace

std::unique_ptr<TComPortDevice> TComPortDevice::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    // Serial devices belong to root and the dialout group: an ordinary user
    // is refused until one of the two is done.
    if (error == EACCES || error == EPERM)
      throw EComPort(CError_OpenFailed, error,
                     "No permission to use " + path +
                         ": add the user to the dialout group (sudo usermod -aG dialout <user>, then log in again) "
                         "or install Sulo's udev rule (70-sulo-board.rules in /usr/lib/udev/rules.d).");
    throw EComPort(CError_OpenFailed, error);
  }
  // TIOCEXCL keeps ordinary openers out; the lock also stops privileged ones
  // that TIOCEXCL lets through (another instance of this program).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    Discard(fd);
    throw EComPort(CError_OpenFailed, error);
  }
  auto device = std::make_unique<TPosixDevice>(fd);
  ApplyLineSettings(fd);  // a refusal destroys the device, which closes it
  // Whatever arrived while nobody had the port open is stale.
  ::tcflush(fd, TCIFLUSH);
  return device;
}
