#include "board/PortDirectory.h"

TSystemPortDirectory::TSystemPortDirectory(std::filesystem::path deviceList, std::filesystem::path deviceRoot)
    : FDeviceList(std::move(deviceList)), FDeviceRoot(std::move(deviceRoot)) {}

std::shared_ptr<const IPortDirectory> SystemPortDirectory() {
  static const auto instance = std::make_shared<const TSystemPortDirectory>();
  return instance;
}

void TListedPortDirectory::Add(const std::string& name, const std::string& devicePath) {
  std::lock_guard guard(FLock);
  FPorts.emplace_back(name, devicePath);
}

void TListedPortDirectory::SetReadable(bool readable) {
  std::lock_guard guard(FLock);
  FReadable = readable;
}

bool TListedPortDirectory::List(std::vector<std::string>& names) const {
  std::lock_guard guard(FLock);
  if (!FReadable) return false;
  names.clear();
  for (const auto& port : FPorts) names.push_back(port.first);
  return true;
}

std::string TListedPortDirectory::DevicePath(const std::string& name) const {
  {
    std::lock_guard guard(FLock);
    for (const auto& port : FPorts)
      if (port.first == name) return port.second;
  }
  return TSystemPortDirectory().DevicePath(name);
}
