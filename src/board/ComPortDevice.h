// One open serial device, the platform's part of the port object (internal to
// the board library; ComPort_posix.cpp and ComPort_win.cpp implement it).
//
// The port object (ComPort.cpp) keeps the name, the lock and the connected
// flag and decides when to open and close; a device only opens one path with
// the board's line settings, moves bytes, and lets go of the device when
// destroyed. Failures are raised as EComPort with the system's error number.
#pragma once

#include <memory>
#include <string>

class TComPortDevice {
 public:
  // Opens `path` exclusively with 9600 8N1, no flow control, DTR and RTS
  // inactive, reads that return at once and writes bounded by 100 ms per byte
  // plus 1000 ms. Raises EComPort: code 1 when the device cannot be had, 7, 8
  // or 9 when the line settings, time-outs or queue sizes are refused (the
  // device is then closed again).
  static std::unique_ptr<TComPortDevice> Open(const std::string& path);
  // Drops unread input, leaves written bytes to drain and releases the
  // device. Never raises.
  virtual ~TComPortDevice() = default;

  // As TCustomComPort::Write and Read, on an open device.
  virtual int Write(const void* buffer, int count) = 0;
  virtual int Read(void* buffer, int count) = 0;
};
