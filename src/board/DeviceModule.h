// The controller board: lights (warm white, white, UV) and the camera rig's
// motor, driven over one serial port with 7-byte packets.
//
// How the application uses it:
//
//   // start-up, on the UI thread, before the main window:
//   DeviceModule = new TDeviceModule(dispatcher);          // real serial ports
//   DeviceModule = new TDeviceModule(dispatcher, ports);   // or a port directory
//                                                          // (simulated build)
//   // the main window registers under IDeviceScanning, then:
//   DeviceModule->ComportScan();   // returns at once; later, on the UI thread,
//                                  // IDeviceScanning::ScanComplete(found)
//   // afterwards, on the UI thread only:
//   DeviceModule->Open();  DeviceModule->WhiteOn(5);  DeviceModule->MotorStop();
//   TCommandCenter::MoveMotor();  TCommandCenter::IsComportConnected();
//   // program end, after the views:
//   delete DeviceModule; DeviceModule = nullptr;
//
// Between ComportScan and ScanComplete the scan thread alone uses the port;
// the UI thread must leave the board alone in that window. Commands are
// written and never answered; a command on a closed port, on a board that has
// gone away, or on one that does not take the whole packet within the write's
// time (a write never blocks longer than 1700 ms), raises EComPort to its
// caller.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "board/ComPort.h"
#include "notification/Dispatcher.h"

using TPacket = std::array<std::uint8_t, 7>;

// The probe the scan sends and how long it waits for the acknowledgement.
constexpr TPacket ProbePacket = {0xAA, 0xC0, 0x78, 0x00, 0x00, 0xE2, 0xBB};
constexpr int ScanReplyWaitMs = 1000;

class TDeviceModule {
 public:
  // `dispatcher` reaches the UI thread (ScanComplete is delivered through it);
  // `ports` names the serial ports and their devices (null: the machine's).
  explicit TDeviceModule(IDispatcher& dispatcher, std::shared_ptr<const IPortDirectory> ports = nullptr);
  // Stops a running scan (cutting its wait short), then closes the port.
  ~TDeviceModule();
  TDeviceModule(const TDeviceModule&) = delete;
  TDeviceModule& operator=(const TDeviceModule&) = delete;

  TComPort ComPort;

  // Packet helpers. Checksum: bytes 0 to 4 summed modulo 256.
  static std::uint8_t Checksum(const TPacket& packet);
  static bool ComparePacket(const TPacket& a, const TPacket& b);
  static void AckPacket(TPacket& packet);

  // Light and motor commands: one packet each, written and not answered.
  // Brightness is 0 to 10, speed 1 to 10, duration the configured motor
  // location; values outside are not refused, only their low 8 bits are sent.
  void LEDOff();
  void WhiteOn(int Brightness);
  void UVOn(int Brightness);
  void WarmWhiteOn(int Brightness);
  void WhiteAndWarmWhiteOn(int Brightness);
  void WhiteAndWarmWhiteAndUVOn(int Brightness);
  void MotorUp(int Speed);
  void MotorDown(int Speed);
  void MotorStop();
  void MotorSulo(int Duration, int Speed);

  // Opens the port the scan found (an open port under that name stays as it is).
  void Open();
  void Close();
  bool IsComportConnected() const;

  // Starts the board scan on a thread of its own and returns at once. Each
  // listed port is probed in sorted order; the first one that acknowledges is
  // left open and remembered. ScanComplete(found) follows on the UI thread
  // after the scan thread has finished with the port. A call while a scan is
  // still running is ignored.
  void ComportScan();

  // The port the board answered on; empty until a scan finds it.
  std::string FoundPort() const;
  // How long the scan waits for the acknowledgement after each probe
  // (ScanReplyWaitMs unless changed; tools that probe many times shorten it).
  // Set it before ComportScan.
  void SetScanReplyWait(int ms) { FScanReplyWaitMs = ms; }

 private:
  void Send(std::uint8_t command, int p1, int p2, int p3);
  void Scan();
  bool WaitOrStop(int ms);
  void on_ScanningTerminate();

  IDispatcher& FDispatcher;
  std::shared_ptr<const IPortDirectory> FPorts;
  mutable std::mutex FLock;  // FPort and the stop request
  std::condition_variable FStopSignal;
  bool FStop = false;
  std::string FPort;
  bool FScanning = false;  // UI thread only
  int FScanReplyWaitMs = ScanReplyWaitMs;
  std::thread FScanThread;
  std::shared_ptr<std::atomic<bool>> FAlive = std::make_shared<std::atomic<bool>>(true);
};

// The board module of the program; set by the application at start-up.
extern TDeviceModule* DeviceModule;

// Two board operations for the save-location view, acting on DeviceModule.
class TCommandCenter {
 public:
  // The timed motor move MotorSulo(10, 20). Raises "Port Not Open" without a
  // module or an open port.
  static void MoveMotor();
  static bool IsComportConnected();
};
