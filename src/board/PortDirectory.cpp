#include "board/PortDirectory.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

TSystemPortDirectory::TSystemPortDirectory(fs::path ttyClass, fs::path devRoot)
    : FTtyClass(std::move(ttyClass)), FDevRoot(std::move(devRoot)) {}

namespace {

// The serial core reports a slot without a chip as type 0 (unknown port).
bool IsPlaceholderUart(const fs::path& entry) {
  std::ifstream type(entry / "type");
  if (!type) return false;  // not a serial-core port (USB adapters, ACM modems)
  int value = -1;
  type >> value;
  return value == 0;
}

}  // namespace

bool TSystemPortDirectory::List(std::vector<std::string>& names) const {
  std::error_code error;
  fs::directory_iterator it(FTtyClass, error);
  if (error) return false;
  std::vector<std::string> found;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;  // keep what was read so far
    const fs::path entry = it->path();
    std::error_code ignored;
    if (!fs::exists(entry / "device", ignored)) continue;  // virtual terminals, ptys, console
    if (IsPlaceholderUart(entry)) continue;
    found.push_back(entry.filename().string());
  }
  names = std::move(found);
  return true;
}

std::string TSystemPortDirectory::DevicePath(const std::string& name) const {
  if (!name.empty() && name.front() == '/') return name;
  return (FDevRoot / name).string();
}

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
