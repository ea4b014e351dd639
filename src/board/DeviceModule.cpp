#include "board/DeviceModule.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "logging/Log.h"
#include "notification/Interfaces.h"

TDeviceModule* DeviceModule = nullptr;

namespace {

constexpr std::uint8_t Header = 0xAA;
constexpr std::uint8_t Trailer = 0xBB;
constexpr std::uint8_t CmdLights = 0xC1;
constexpr std::uint8_t CmdTimedMove = 0xC2;
constexpr std::uint8_t CmdMotor = 0xC3;
constexpr std::uint8_t CmdAck = 0xAC;

// trunc(Brightness * 255 / 10); 64-bit so that no input overflows.
int LightLevel(int brightness) { return int((std::int64_t(brightness) * 255 / 10) & 0xFF); }
int SpeedCode(int speed) { return int((std::int64_t(speed) * 10 + 155) & 0xFF); }

TPacket Build(std::uint8_t command, int p1, int p2, int p3) {
  TPacket packet{};
  packet[0] = Header;
  packet[1] = command;
  packet[2] = std::uint8_t(p1 & 0xFF);
  packet[3] = std::uint8_t(p2 & 0xFF);
  packet[4] = std::uint8_t(p3 & 0xFF);
  packet[5] = TDeviceModule::Checksum(packet);
  packet[6] = Trailer;
  return packet;
}

}  // namespace

TDeviceModule::TDeviceModule(IDispatcher& dispatcher, std::shared_ptr<const IPortDirectory> ports)
    : ComPort(ports), FDispatcher(dispatcher), FPorts(ports ? std::move(ports) : SystemPortDirectory()) {
  Trace("TDeviceModule.Create");
}

TDeviceModule::~TDeviceModule() {
  *FAlive = false;  // a ScanComplete still queued for the UI thread is dropped
  {
    std::lock_guard guard(FLock);
    FStop = true;
  }
  FStopSignal.notify_all();
  if (FScanThread.joinable()) FScanThread.join();
  ComPort.Close();
  Trace("TDeviceModule.Destroy");
}

std::uint8_t TDeviceModule::Checksum(const TPacket& packet) {
  unsigned sum = 0;
  for (int i = 0; i < 5; ++i) sum += packet[i];
  return std::uint8_t(sum & 0xFF);
}

bool TDeviceModule::ComparePacket(const TPacket& a, const TPacket& b) { return a == b; }

void TDeviceModule::AckPacket(TPacket& packet) { packet = Build(CmdAck, 0, 0, 0); }

void TDeviceModule::Send(std::uint8_t command, int p1, int p2, int p3) {
  const TPacket packet = Build(command, p1, p2, p3);
  // A board that stops taking bytes lets the write run out of time with the
  // packet not (or only partly) sent: that command is lost, and its caller
  // must know, as when the port fails outright.
  if (ComPort.Write(packet.data(), int(packet.size())) != int(packet.size())) throw EComPort(CError_WriteFailed);
}

void TDeviceModule::LEDOff() { Send(CmdLights, 0, 0, 0); }
void TDeviceModule::WhiteOn(int Brightness) { Send(CmdLights, 0, LightLevel(Brightness), 0); }
void TDeviceModule::UVOn(int Brightness) { Send(CmdLights, 0, 0, LightLevel(Brightness)); }
void TDeviceModule::WarmWhiteOn(int Brightness) { Send(CmdLights, LightLevel(Brightness), 0, 0); }
void TDeviceModule::WhiteAndWarmWhiteOn(int Brightness) {
  Send(CmdLights, LightLevel(Brightness), LightLevel(Brightness), 0);
}
void TDeviceModule::WhiteAndWarmWhiteAndUVOn(int Brightness) {
  Send(CmdLights, LightLevel(Brightness), LightLevel(Brightness), LightLevel(Brightness));
}
void TDeviceModule::MotorUp(int Speed) { Send(CmdMotor, 1, SpeedCode(Speed), 0); }
void TDeviceModule::MotorDown(int Speed) { Send(CmdMotor, 0, SpeedCode(Speed), 0); }
void TDeviceModule::MotorStop() { Send(CmdMotor, 1, 0, 0); }
void TDeviceModule::MotorSulo(int Duration, int Speed) { Send(CmdTimedMove, Duration, SpeedCode(Speed), 0); }

void TDeviceModule::Open() {
  ComPort.SetPort(FoundPort());
  ComPort.Open();
}

void TDeviceModule::Close() { ComPort.Close(); }

bool TDeviceModule::IsComportConnected() const { return ComPort.Connected(); }

std::string TDeviceModule::FoundPort() const {
  std::lock_guard guard(FLock);
  return FPort;
}

void TDeviceModule::ComportScan() {
  if (FScanning) {
    Trace("TDeviceModule.ComportScan : already running");
    return;
  }
  if (FScanThread.joinable()) FScanThread.join();  // an earlier scan, finished
  FScanning = true;
  Trace("TDeviceModule.ComportScan");
  FScanThread = std::thread([this] { Scan(); });
}

bool TDeviceModule::WaitOrStop(int ms) {
  std::unique_lock lock(FLock);
  return !FStopSignal.wait_for(lock, std::chrono::milliseconds(ms), [&] { return FStop; });
}

void TDeviceModule::Scan() {
  TLog::SetThreadName("board-scan");
  std::vector<std::string> names;
  EnumComPorts(names, *FPorts);
  TPacket ack;
  AckPacket(ack);
  bool found = false;
  for (const std::string& name : names) {
    {
      std::lock_guard guard(FLock);
      if (FStop) break;
    }
    ComPort.Close();
    ComPort.SetPort(name);
    try {
      ComPort.Open();
      ComPort.Write(ProbePacket.data(), int(ProbePacket.size()));
      if (!WaitOrStop(FScanReplyWaitMs)) break;
      TPacket reply{};
      ComPort.Read(reply.data(), int(reply.size()));
      if (ComparePacket(reply, ack)) {
        std::lock_guard guard(FLock);
        FPort = name;
        found = true;
        break;
      }
      Trace("Scan no board : " + name);
    } catch (const EComPort& e) {
      Trace("Scan skipped : " + name + " : " + e.what());
    }
  }
  if (!found) ComPort.Close();
  Trace(found ? "Scan found : " + FoundPort() : std::string("Scan found no board"));
  // The port is no longer touched by this thread; the result goes to the UI
  // thread, unless the module has been destroyed by then.
  FDispatcher.Post([this, alive = FAlive] {
    if (*alive) on_ScanningTerminate();
  });
}

void TDeviceModule::on_ScanningTerminate() {
  if (FScanThread.joinable()) FScanThread.join();
  FScanning = false;
  const bool found = ComPort.Connected();
  Trace(std::string("TDeviceModule.on_ScanningTerminate : ") + (found ? "found" : "not found"));
  Notify<IDeviceScanning>(&IDeviceScanning::ScanComplete, found);
}

void TCommandCenter::MoveMotor() {
  if (!DeviceModule) throw EComPort(CError_PortNotOpen);
  DeviceModule->MotorSulo(10, 20);
}

bool TCommandCenter::IsComportConnected() { return DeviceModule && DeviceModule->IsComportConnected(); }
