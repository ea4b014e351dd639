#include "board/ComPort.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cctype>

#include "board/ComPortDevice.h"
#include "logging/Log.h"

namespace {

// The port object's error table, code 1 first.
constexpr std::array<const char*, 24> ErrorTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
    "Port Not Open",
};

std::string Message(int code, std::optional<int> systemError) {
  std::string text = ErrorText(code);
  if (systemError) text += " (Error: " + std::to_string(*systemError) + ")";
  return text;
}

std::optional<int> NumberFor(int code, std::optional<int> systemError) {
  return code == CError_PortNotOpen ? std::nullopt : systemError;
}

}  // namespace

std::string ErrorText(int code) {
  if (code >= 1 && code <= int(ErrorTexts.size())) return ErrorTexts[std::size_t(code - 1)];
  return "Com port error " + std::to_string(code);
}

EComPort::EComPort(int code, std::optional<int> systemError, std::string hint)
    : std::runtime_error(Message(code, NumberFor(code, systemError))),
      FCode(code),
      FSystemError(NumberFor(code, systemError)),
      FHint(std::move(hint)) {}

TCustomComPort::TCustomComPort(std::shared_ptr<const IPortDirectory> ports)
    : FPorts(ports ? std::move(ports) : SystemPortDirectory()) {}

TCustomComPort::~TCustomComPort() { Close(); }

void TCustomComPort::SetPort(const std::string& name) {
  std::lock_guard guard(FLock);
  if (name == FPort) return;
  FPort = name;
  if (FDevice) {
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
  if (FDevice) return;
  const std::string path = FPorts->DevicePath(FPort);
  FDevice = TComPortDevice::Open(path);
  FConnected = true;
  Trace("TComPort.Open " + FPort + " (" + path + ")");
}

void TCustomComPort::Close() noexcept {
  std::lock_guard guard(FLock);
  CloseLocked();
}

void TCustomComPort::CloseLocked() noexcept {
  if (!FDevice) return;
  FConnected = false;
  FDevice.reset();
  Trace("TComPort.Close " + FPort);
}

int TCustomComPort::Write(const void* buffer, int count) {
  std::lock_guard guard(FLock);
  if (!FDevice) throw EComPort(CError_PortNotOpen);
  return FDevice->Write(buffer, count);
}

int TCustomComPort::Read(void* buffer, int count) {
  std::lock_guard guard(FLock);
  if (!FDevice) throw EComPort(CError_PortNotOpen);
  return FDevice->Read(buffer, count);
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
