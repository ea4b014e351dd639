// Where serial port names come from and which device each name opens.
//
// The port object and the board scan never read the system directly: they ask
// a port directory. The system directory lists the machine's real serial
// devices; a listed directory holds names chosen by its owner (tests, and the
// simulated build, which lists the simulated board's pseudo-terminal under a
// name such as "COM3").
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IPortDirectory {
 public:
  virtual ~IPortDirectory() = default;
  // Puts the port names into `names` (any order). Returns false, leaving
  // `names` alone, when the device list cannot be read.
  virtual bool List(std::vector<std::string>& names) const = 0;
  // The device path that opening port `name` uses.
  virtual std::string DevicePath(const std::string& name) const = 0;
};

// The machine's serial devices.
//
// POSIX systems: every tty in sysfs with hardware behind it ("device" link),
// leaving out the legacy UART slots that the kernel reserves without a chip
// (type 0). A name opens "/dev/<name>"; an absolute path is taken as it is.
//
// Windows: the system's serial-device map, the values of the registry key
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, whose data are the port
// names ("COM3"). A name opens "\\.\<name>" (which also reaches COM10 and
// above); a name that is already a device path is taken as it is.
class TSystemPortDirectory : public IPortDirectory {
 public:
  // Where the list is read (the sysfs tty class folder; on Windows the key
  // under HKEY_LOCAL_MACHINE) and what a name is put under to make its device
  // path.
  static const std::filesystem::path DefaultDeviceList;
  static const std::filesystem::path DefaultDeviceRoot;

  explicit TSystemPortDirectory(std::filesystem::path deviceList = DefaultDeviceList,
                                std::filesystem::path deviceRoot = DefaultDeviceRoot);
  bool List(std::vector<std::string>& names) const override;
  std::string DevicePath(const std::string& name) const override;

 private:
  std::filesystem::path FDeviceList;
  std::filesystem::path FDeviceRoot;
};

// The process-wide system directory.
std::shared_ptr<const IPortDirectory> SystemPortDirectory();

// Names given by the owner, each with its device path. A name it does not
// know opens what the system directory would open for it.
class TListedPortDirectory : public IPortDirectory {
 public:
  void Add(const std::string& name, const std::string& devicePath);
  // An unreadable directory behaves like a machine whose device list cannot
  // be opened.
  void SetReadable(bool readable);

  bool List(std::vector<std::string>& names) const override;
  std::string DevicePath(const std::string& name) const override;

 private:
  mutable std::mutex FLock;
  std::vector<std::pair<std::string, std::string>> FPorts;
  bool FReadable = true;
};
