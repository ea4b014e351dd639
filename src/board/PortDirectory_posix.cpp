// The machine's serial devices on POSIX systems, from sysfs.
#include <fstream>
#include <system_error>

#include "board/PortDirectory.h"

namespace fs = std::filesystem;

const fs::path TSystemPortDirectory::DefaultDeviceList = "/sys/class/tty";
const fs::path TSystemPortDirectory::DefaultDeviceRoot = "/dev";

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
  fs::directory_iterator it(FDeviceList, error);
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
  return (FDeviceRoot / name).string();
}
