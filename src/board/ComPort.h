// The serial port the controller board is reached on.
//
// One fixed line setting: 9600 bit/s, 8 data bits, no parity, 1 stop bit, raw
// binary bytes, no flow control, DTR and RTS de-asserted. A port is chosen by
// name (SetPort); the port directory turns the name into a device path
// ("/dev/ttyS0", "\\.\COM3").
//
// Open takes the device exclusively (on POSIX systems TIOCEXCL and an flock,
// so a second opener is refused even when it runs with privileges that pass
// TIOCEXCL; on Windows a handle without sharing). Read returns at once with
// what has arrived; Write gives up after 100 ms per byte plus 1000 ms and
// returns how many bytes went out. Failures are raised as EComPort; Close
// never raises, so owners may close from destructors.
//
// On Windows a line-event thread waits for the port's line events between
// Open and Close. Nothing consumes the events (arriving bytes wait in the
// driver until read), so POSIX builds do without it.
//
// The object is meant for one thread at a time (the board scan, then the UI
// thread). Its own state is nevertheless kept consistent under a lock, so a
// stray call from another thread cannot write to a closed or reused device.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "board/PortDirectory.h"

// windows.h names its printer-port call SetPort through a macro, which would
// rename TCustomComPort::SetPort wherever windows.h comes first.
#ifdef SetPort
#undef SetPort
#endif

// Error codes of EComPort (the numbering is the port object's own table of
// 24; ErrorText gives each code's text). Only these can arise here.
constexpr int CError_OpenFailed = 1;
constexpr int CError_WriteFailed = 2;
constexpr int CError_ReadFailed = 3;
constexpr int CError_PurgeFailed = 5;
constexpr int CError_SetStateFailed = 7;
constexpr int CError_TimeoutsFailed = 8;
constexpr int CError_SetupComFailed = 9;
constexpr int CError_PortNotOpen = 24;

// The text of an EComPort code, from "Unable to open com port" (1) to "Port
// Not Open" (24); codes outside the table read "Com port error <code>".
std::string ErrorText(int code);

class EComPort : public std::runtime_error {
 public:
  // `systemError` is the number the system gave (errno, or GetLastError on
  // Windows), if any. "Port Not Open" never carries one. `hint` tells the
  // operator how to put the fault right; it is shown beside the message,
  // which stays the code's text for everyone who matches on it.
  explicit EComPort(int code, std::optional<int> systemError = std::nullopt, std::string hint = {});

  int Code() const { return FCode; }
  std::optional<int> SystemError() const { return FSystemError; }
  const std::string& Hint() const { return FHint; }

 private:
  int FCode;
  std::optional<int> FSystemError;
  std::string FHint;
};

// Line timing: a write of n bytes may take 100 * n + 1000 ms.
constexpr int WriteTotalMultiplierMs = 100;
constexpr int WriteTotalConstantMs = 1000;

class TComPortDevice;  // the open device, per platform

class TCustomComPort {
 public:
  // Names resolve through `ports`; null means the machine's own serial ports.
  explicit TCustomComPort(std::shared_ptr<const IPortDirectory> ports = nullptr);
  virtual ~TCustomComPort();
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  // Same name: nothing happens. Another name: an open port is closed and
  // opened again under the new name.
  void SetPort(const std::string& name);
  std::string Port() const;

  // No-op when open. Raises EComPort (code 1 with the system's error number
  // when the device cannot be had; 7, 8 or 9 when the line settings,
  // time-outs or queue sizes are refused); a failed Open leaves the port
  // closed.
  void Open();
  // No-op when closed. Discards unread input (written bytes are left to
  // drain), stops the line-event thread where there is one, releases the
  // device. Never raises (a failure to abort a read is only traced).
  void Close() noexcept;
  bool Connected() const { return FConnected.load(); }

  // Returns the number of bytes written (fewer than `count` when the write
  // bound ran out). Raises "Port Not Open" when closed, code 2 on failure.
  int Write(const void* buffer, int count);
  // Returns at once with 0 to `count` bytes; bytes of `buffer` beyond those
  // are left as they were. Raises "Port Not Open" when closed, code 3 on failure.
  int Read(void* buffer, int count);

 private:
  void OpenLocked();
  void CloseLocked() noexcept;

  std::shared_ptr<const IPortDirectory> FPorts;
  mutable std::mutex FLock;
  std::string FPort = "COM1";
  std::unique_ptr<TComPortDevice> FDevice;
  std::atomic<bool> FConnected{false};
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};

// Replaces `list` with the port names of `ports` (default: the machine's),
// sorted case-insensitively (COM1, COM10, COM2). When the device list cannot
// be read, `list` is left as it was. Never raises.
void EnumComPorts(std::vector<std::string>& list, const IPortDirectory& ports = *SystemPortDirectory());
