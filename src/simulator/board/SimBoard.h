// A simulated controller board on a pseudo-terminal.
//
// The board opens a pseudo-terminal pair and serves the far side on a thread
// of its own: the program opens DevicePath() as its serial port. Incoming
// bytes are cut into 7-byte packets (header 0xAA, trailer 0xBB, checksum of
// bytes 0 to 4), skipping garbage and joining packets split across reads.
// The probe is acknowledged (or not, see TSimBoardReply); light and motor
// packets change the state a real board would have. Every packet is recorded
// with a monotonic time stamp, and packets and state changes are traced.
// The board speaks for the booth's lights in its process (SimLights.h): the
// simulated camera's pictures show what its light packets switched on.
//
// Typical use:
//   TSimBoard board("COM3");
//   ports->Add(board.Name(), board.DevicePath());   // TListedPortDirectory
//   ... board.WaitForPackets(1, 5000); board.State().White ...
#pragma once

#include <termios.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the board answers the probe.
enum class TSimBoardReply {
  Ack,            // AA AC 00 00 00 56 BB at once
  Silent,         // no answer
  WrongChecksum,  // the acknowledgement with a bad checksum byte
  ShortAck,       // only the first 6 bytes of the acknowledgement
  LateAck,        // the acknowledgement, LateReplyMs after the probe
  AckWithExtra,   // the acknowledgement followed by more bytes
};

enum class TSimMotor { Stopped, Up, Down, Timed };

struct TSimBoardState {
  std::uint8_t WarmWhite = 0;
  std::uint8_t White = 0;
  std::uint8_t UV = 0;
  TSimMotor Motor = TSimMotor::Stopped;
  std::uint8_t SpeedCode = 0;  // of the running move; 0 when stopped
  std::uint8_t Duration = 0;   // of the last timed move, hundredths of a second
};

struct TSimBoardPacket {
  std::array<std::uint8_t, 7> Bytes;
  std::chrono::steady_clock::time_point Time;
};

class TSimBoard {
 public:
  static constexpr int LateReplyMs = 2500;

  explicit TSimBoard(std::string name = "SIM", TSimBoardReply reply = TSimBoardReply::Ack);
  ~TSimBoard();
  TSimBoard(const TSimBoard&) = delete;
  TSimBoard& operator=(const TSimBoard&) = delete;

  const std::string& Name() const { return FName; }
  // The serial device the program opens.
  const std::string& DevicePath() const { return FDevicePath; }

  void SetReply(TSimBoardReply reply);

  // Every well-formed packet received so far, in order.
  std::vector<TSimBoardPacket> Packets() const;
  // Waits until at least `count` packets have arrived; false on time-out.
  bool WaitForPackets(std::size_t count, int timeoutMs) const;
  // Bytes skipped while looking for the next packet.
  std::size_t GarbageBytes() const;
  TSimBoardState State() const;
  // The line settings the program left on the port.
  termios LineSettings() const;

  // Sends raw bytes to the program, as if the board had spoken unasked.
  void Send(const std::vector<std::uint8_t>& bytes);

  // Unplugs the board: the far side closes, so the program's next write fails.
  void Vanish();
  // The board stops taking bytes (or takes them again): while stalled the
  // line is held, so the program's writes wait and then time out with nothing
  // sent, as on a board that has hung with its input full.
  void Stall(bool stalled);

 private:
  void Serve();
  void Take(const std::uint8_t* bytes, std::size_t count);
  void Handle(const std::array<std::uint8_t, 7>& packet);
  void Answer(const std::vector<std::uint8_t>& bytes);
  void SetMotor(TSimMotor motor, std::uint8_t speed, const char* why);

  using Clock = std::chrono::steady_clock;
  std::string FName;
  std::string FDevicePath;
  int FMaster = -1;
  int FSlave = -1;  // held open so the far side never sees a hang-up between openers
  int FWake[2] = {-1, -1};

  mutable std::mutex FLock;
  mutable std::condition_variable FArrived;
  TSimBoardReply FReply;
  std::vector<TSimBoardPacket> FPackets;
  std::vector<std::uint8_t> FPending;  // bytes not yet making a whole packet
  std::size_t FGarbage = 0;
  TSimBoardState FState;
  Clock::time_point FTimedEnd{};
  std::vector<std::uint8_t> FLateReply;
  Clock::time_point FLateDue{};
  bool FQuit = false;
  bool FVanish = false;
  std::uint64_t FLights = 0;  // the token it speaks for the lights with
  std::thread FThread;
};
