#include "simulator/board/SimBoard.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "logging/Log.h"
#include "simulator/lights/SimLights.h"

namespace {

using TBytes = std::array<std::uint8_t, 7>;

std::uint8_t Sum(const TBytes& p) { return std::uint8_t((p[0] + p[1] + p[2] + p[3] + p[4]) & 0xFF); }

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  char cell[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", bytes[i]);
    text += cell;
  }
  return text;
}

const char* MotorName(TSimMotor motor) {
  switch (motor) {
    case TSimMotor::Up: return "up";
    case TSimMotor::Down: return "down";
    case TSimMotor::Timed: return "timed move";
    case TSimMotor::Stopped: break;
  }
  return "stopped";
}

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

const TBytes Probe = {0xAA, 0xC0, 0x78, 0x00, 0x00, 0xE2, 0xBB};
const TBytes Ack = {0xAA, 0xAC, 0x00, 0x00, 0x00, 0x56, 0xBB};

}  // namespace

TSimBoard::TSimBoard(std::string name, TSimBoardReply reply) : FName(std::move(name)), FReply(reply) {
  FMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (FMaster < 0) Fail("posix_openpt");
  char path[128];
  if (::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0 || ::ptsname_r(FMaster, path, sizeof path) != 0) {
    ::close(FMaster);
    Fail("pseudo-terminal");
  }
  FDevicePath = path;
  FSlave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (FSlave < 0 || ::pipe2(FWake, O_CLOEXEC) != 0) {
    const int error = errno;
    if (FSlave >= 0) ::close(FSlave);
    ::close(FMaster);
    errno = error;
    Fail("pseudo-terminal slave");
  }
  // Raw until the program sets its own line settings.
  termios tio{};
  ::tcgetattr(FSlave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(FSlave, TCSANOW, &tio);
  Trace("SimBoard " + FName + " on " + FDevicePath);
  FLights = SimLights::Claim();
  FThread = std::thread([this] { Serve(); });
}

TSimBoard::~TSimBoard() {
  {
    std::lock_guard guard(FLock);
    FQuit = true;
  }
  const char wake = 1;
  (void)!::write(FWake[1], &wake, 1);
  if (FThread.joinable()) FThread.join();
  SimLights::Release(FLights);
  if (FMaster >= 0) ::close(FMaster);
  if (FSlave >= 0) ::close(FSlave);
  ::close(FWake[0]);
  ::close(FWake[1]);
}

void TSimBoard::SetReply(TSimBoardReply reply) {
  std::lock_guard guard(FLock);
  FReply = reply;
}

std::vector<TSimBoardPacket> TSimBoard::Packets() const {
  std::lock_guard guard(FLock);
  return FPackets;
}

bool TSimBoard::WaitForPackets(std::size_t count, int timeoutMs) const {
  std::unique_lock lock(FLock);
  return FArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return FPackets.size() >= count; });
}

std::size_t TSimBoard::GarbageBytes() const {
  std::lock_guard guard(FLock);
  return FGarbage;
}

TSimBoardState TSimBoard::State() const {
  std::lock_guard guard(FLock);
  return FState;
}

termios TSimBoard::LineSettings() const {
  termios tio{};
  std::lock_guard guard(FLock);
  if (FSlave >= 0) ::tcgetattr(FSlave, &tio);
  return tio;
}

void TSimBoard::Send(const std::vector<std::uint8_t>& bytes) {
  std::lock_guard guard(FLock);
  if (FMaster >= 0) Answer(bytes);
}

void TSimBoard::Vanish() {
  {
    std::lock_guard guard(FLock);
    if (FVanish) return;
    FVanish = true;
  }
  const char wake = 1;
  (void)!::write(FWake[1], &wake, 1);
  if (FThread.joinable()) FThread.join();
  std::lock_guard guard(FLock);
  ::close(FMaster);
  ::close(FSlave);
  FMaster = FSlave = -1;
  Trace("SimBoard " + FName + " vanished");
}

void TSimBoard::Stall(bool stalled) {
  std::lock_guard guard(FLock);
  if (FSlave < 0) return;
  // Output stopped on the terminal holds whatever the program writes to it.
  ::tcflow(FSlave, stalled ? TCOOFF : TCOON);
  Trace("SimBoard " + FName + (stalled ? " stalled" : " taking bytes again"));
}

void TSimBoard::Serve() {
  TLog::SetThreadName("sim-board");
  std::uint8_t buffer[256];
  bool deaf = false;  // the line failed: only the owner's signal is awaited
  for (;;) {
    int timeout = -1;
    {
      std::lock_guard guard(FLock);
      if (FQuit || FVanish) return;
      const auto now = Clock::now();
      auto until = [&](Clock::time_point due) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
        const int wait = int(std::max<std::int64_t>(0, ms));
        timeout = timeout < 0 ? wait : std::min(timeout, wait);
      };
      if (FState.Motor == TSimMotor::Timed) until(FTimedEnd);
      if (!FLateReply.empty()) until(FLateDue);
    }
    pollfd fds[2] = {{deaf ? -1 : FMaster, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    if (::poll(fds, 2, timeout) < 0 && errno != EINTR) return;
    if (fds[1].revents) return;  // quit or vanish; the owner cleans up
    if (fds[0].revents & POLLIN) {
      const ssize_t n = ::read(FMaster, buffer, sizeof buffer);
      if (n > 0) Take(buffer, std::size_t(n));
      if (n < 0 && errno != EINTR && errno != EAGAIN) deaf = true;
    } else if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      deaf = true;
    }
    std::lock_guard guard(FLock);
    const auto now = Clock::now();
    if (FState.Motor == TSimMotor::Timed && now >= FTimedEnd) SetMotor(TSimMotor::Stopped, 0, "timed move ended");
    if (!FLateReply.empty() && now >= FLateDue) {
      Answer(FLateReply);
      FLateReply.clear();
    }
  }
}

void TSimBoard::Take(const std::uint8_t* bytes, std::size_t count) {
  std::lock_guard guard(FLock);
  FPending.insert(FPending.end(), bytes, bytes + count);
  const std::size_t garbageBefore = FGarbage;
  std::size_t start = 0;
  while (start < FPending.size()) {
    if (FPending[start] != 0xAA) {
      ++start;
      ++FGarbage;
      continue;
    }
    if (FPending.size() - start < 7) break;  // the rest of the packet is still on its way
    TBytes packet;
    std::copy_n(FPending.begin() + std::ptrdiff_t(start), 7, packet.begin());
    if (packet[6] != 0xBB || packet[5] != Sum(packet)) {
      ++start;  // a stray 0xAA: look for the next header
      ++FGarbage;
      continue;
    }
    start += 7;
    Handle(packet);
  }
  if (FGarbage != garbageBefore)
    Trace("SimBoard " + FName + " skipped bytes : " + std::to_string(FGarbage - garbageBefore));
  FPending.erase(FPending.begin(), FPending.begin() + std::ptrdiff_t(start));
}

void TSimBoard::Handle(const TBytes& packet) {
  FPackets.push_back({packet, Clock::now()});
  FArrived.notify_all();
  Trace("SimBoard " + FName + " <- " + Hex(packet.data(), packet.size()));
  switch (packet[1]) {
    case 0xC0:
      if (packet != Probe) break;
      switch (FReply) {
        case TSimBoardReply::Ack: Answer({Ack.begin(), Ack.end()}); break;
        case TSimBoardReply::Silent: break;
        case TSimBoardReply::WrongChecksum: {
          TBytes bad = Ack;
          bad[5] ^= 0x01;
          Answer({bad.begin(), bad.end()});
          break;
        }
        case TSimBoardReply::ShortAck: Answer({Ack.begin(), Ack.begin() + 6}); break;
        case TSimBoardReply::LateAck:
          FLateReply.assign(Ack.begin(), Ack.end());
          FLateDue = Clock::now() + std::chrono::milliseconds(LateReplyMs);
          break;
        case TSimBoardReply::AckWithExtra: {
          std::vector<std::uint8_t> reply(Ack.begin(), Ack.end());
          for (std::uint8_t extra : {0xAA, 0xAC, 0x00, 0x55, 0x13}) reply.push_back(extra);
          Answer(reply);
          break;
        }
      }
      break;
    case 0xC1:
      FState.WarmWhite = packet[2];
      FState.White = packet[3];
      FState.UV = packet[4];
      SimLights::Set(FLights, {packet[2], packet[3], packet[4]});
      Trace("SimBoard " + FName + " lights : warm white " + std::to_string(packet[2]) + ", white " +
            std::to_string(packet[3]) + ", UV " + std::to_string(packet[4]));
      break;
    case 0xC2:
      FState.Duration = packet[2];
      FTimedEnd = Clock::now() + std::chrono::milliseconds(10 * packet[2]);
      SetMotor(TSimMotor::Timed, packet[3], "timed move");
      break;
    case 0xC3:
      if (packet[3] == 0)
        SetMotor(TSimMotor::Stopped, 0, "stop");
      else
        SetMotor(packet[2] ? TSimMotor::Up : TSimMotor::Down, packet[3], "run");
      break;
    default: Trace("SimBoard " + FName + " unknown command"); break;
  }
}

void TSimBoard::Answer(const std::vector<std::uint8_t>& bytes) {
  Trace("SimBoard " + FName + " -> " + Hex(bytes.data(), bytes.size()));
  (void)!::write(FMaster, bytes.data(), bytes.size());
}

void TSimBoard::SetMotor(TSimMotor motor, std::uint8_t speed, const char* why) {
  FState.Motor = motor;
  FState.SpeedCode = speed;
  Trace("SimBoard " + FName + " motor : " + MotorName(motor) + ", speed " + std::to_string(speed) + " (" + why + ")");
}
