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

// The machine's serial devices, read from sysfs: every tty with hardware
// behind it ("device" link), leaving out the legacy UART slots that the
// kernel reserves without a chip (type 0). A name opens "/dev/<name>"; an
// absolute path is taken as it is.
class TSystemPortDirectory : public IPortDirectory {
 public:
  explicit TSystemPortDirectory(std::filesystem::path ttyClass = "/sys/class/tty", std::filesystem::path devRoot = "/dev");
  bool List(std::vector<std::string>& names) const override;
  std::string DevicePath(const std::string& name) const override;

 private:
  std::filesystem::path FTtyClass;
  std::filesystem::path FDevRoot;
};

// The process-wide system directory.
std::shared_ptr<const IPortDirectory> SystemPortDirectory();

// Names given by the owner, each with its device path. A name it does not
// know opens "/dev/<name>", like the system directory.
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
