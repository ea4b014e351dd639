// Any bytes as the answer to the board scan's probe, sent from the far side of
// a pseudo-terminal: the scan always completes, never takes a wrong answer
// for the board, and leaves nothing open behind it.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "board/DeviceModule.h"
#include "board/PortDirectory.h"
#include "notification/Interfaces.h"
#include "notification/NotificationCenter.h"
#include "support/ScanListener.h"

namespace {

// Reads the probe off the master side, then sends `answer` (as much of it as
// the terminal takes without waiting).
void Answer(int master, const std::vector<std::uint8_t>& answer) {
  std::size_t probe = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (probe < ProbePacket.size() && std::chrono::steady_clock::now() < until) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    std::uint8_t buffer[64];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n > 0) probe += static_cast<std::size_t>(n);
    else if (n == 0 || (errno != EAGAIN && errno != EINTR)) return;
  }
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const ssize_t n = ::write(master, answer.data() + sent, answer.size() - sent);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) std::abort();
  const std::string device = ::ptsname(master);

  auto ports = std::make_shared<TListedPortDirectory>();
  ports->Add("COM3", device);
  TManualDispatcher dispatcher;
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  TScanListener listener;
  center.Add<IDeviceScanning>(&listener);
  {
    TDeviceModule module(dispatcher, ports);
    module.SetScanReplyWait(20);
    std::thread responder(Answer, master, std::vector<std::uint8_t>(data, data + size));
    module.ComportScan();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listener.Done() && std::chrono::steady_clock::now() < until) dispatcher.WaitAndProcess(20);
    responder.join();
    if (!listener.Done()) std::abort();  // the scan hung
    TPacket ack;
    TDeviceModule::AckPacket(ack);
    // Found means the first seven bytes were the acknowledgement.
    if (listener.Found() && (size < ack.size() || !std::equal(ack.begin(), ack.end(), data))) std::abort();
    if (listener.Found() != module.IsComportConnected()) std::abort();
    if (listener.Found() && module.FoundPort() != "COM3") std::abort();
  }
  center.Remove<IDeviceScanning>(&listener);
  TNotificationCenter::FInstance = nullptr;
  ::close(master);
  return 0;
}
