// The machine's serial ports on Windows, from the serial-device map.
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "board/PortDirectory.h"
#include "platform/WideText.h"

namespace fs = std::filesystem;

const fs::path TSystemPortDirectory::DefaultDeviceList = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const fs::path TSystemPortDirectory::DefaultDeviceRoot = L"\\\\.\\";

bool TSystemPortDirectory::List(std::vector<std::string>& names) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, FDeviceList.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  std::vector<std::string> found;
  for (DWORD index = 0;; ++index) {
    // The value's name is the driver's device name, which nobody needs; the
    // data is the port's name.
    wchar_t device[256];
    DWORD deviceLength = DWORD(std::size(device));
    wchar_t port[128] = {};
    DWORD portBytes = sizeof port;
    DWORD type = 0;
    const LSTATUS status =
        RegEnumValueW(key, index, device, &deviceLength, nullptr, &type, reinterpret_cast<BYTE*>(port), &portBytes);
    if (status != ERROR_SUCCESS) break;  // no more entries, or one that cannot be read: keep what was read
    // The data is taken as text up to its NUL, which need not be inside the
    // buffer.
    std::wstring_view name(port, std::min<std::size_t>(portBytes / sizeof(wchar_t), std::size(port)));
    name = name.substr(0, name.find(L'\0'));
    if (!name.empty()) found.push_back(Utf8FromWide(name));
  }
  RegCloseKey(key);
  names = std::move(found);
  return true;
}

std::string TSystemPortDirectory::DevicePath(const std::string& name) const {
  if (name.rfind("\\\\", 0) == 0) return name;
  return Utf8FromWide(FDeviceRoot.native()) + name;
}
