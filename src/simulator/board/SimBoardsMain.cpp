// sulo_sim_boards JOURNAL NAME=REPLY...
//
// Simulated controller boards for programs that run outside this process:
// the Windows build's tests under Wine reach them as COM ports that the test
// run maps to the boards' pseudo-terminals. Each REPLY is how that board
// answers the probe: ack, silent, wrongchecksum, shortack, lateack or
// ackwithextra.
//
// Prints "NAME DEVICE" for every board, then "ready", and serves until it is
// terminated (or its parent ends). Every packet a board receives is appended
// to JOURNAL, flushed at once, as
//   NAME HEX SPEED FRAME FLOW MODE      e.g. "COM12 AAC1007F00EABB 9600 8N1 noflow raw"
// where the last four are the line settings the program had left on the port
// when the packet came.
#include <signal.h>
#include <sys/prctl.h>
#include <termios.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "simulator/board/SimBoard.h"

namespace {

std::atomic<bool> gQuit{false};

void Quit(int) { gQuit = true; }

const std::map<std::string, TSimBoardReply> Replies = {
    {"ack", TSimBoardReply::Ack},
    {"silent", TSimBoardReply::Silent},
    {"wrongchecksum", TSimBoardReply::WrongChecksum},
    {"shortack", TSimBoardReply::ShortAck},
    {"lateack", TSimBoardReply::LateAck},
    {"ackwithextra", TSimBoardReply::AckWithExtra},
};

std::string Speed(const termios& tio) {
  switch (cfgetospeed(&tio)) {
    case B1200: return "1200";
    case B2400: return "2400";
    case B4800: return "4800";
    case B9600: return "9600";
    case B19200: return "19200";
    case B38400: return "38400";
    case B57600: return "57600";
    case B115200: return "115200";
    default: return "other";
  }
}

std::string Frame(const termios& tio) {
  const tcflag_t size = tio.c_cflag & CSIZE;
  const char bits = size == CS5 ? '5' : size == CS6 ? '6' : size == CS7 ? '7' : '8';
  const char parity = !(tio.c_cflag & PARENB) ? 'N' : (tio.c_cflag & PARODD) ? 'O' : 'E';
  const char stop = (tio.c_cflag & CSTOPB) ? '2' : '1';
  return {bits, parity, stop};
}

std::string Flow(const termios& tio) {
  if (tio.c_cflag & CRTSCTS) return "rtscts";
  if (tio.c_iflag & (IXON | IXOFF)) return "xonxoff";
  return "noflow";
}

// Raw: bytes pass both ways untouched.
std::string Mode(const termios& tio) {
  const bool cooked = (tio.c_lflag & (ICANON | ECHO | ISIG)) || (tio.c_oflag & OPOST) ||
                      (tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
  return cooked ? "cooked" : "raw";
}

std::string Hex(const std::array<std::uint8_t, 7>& bytes) {
  std::string text;
  char cell[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(cell, sizeof cell, "%02X", b);
    text += cell;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s JOURNAL NAME=REPLY...\n", argv[0]);
    return 2;
  }
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  ::signal(SIGTERM, Quit);
  ::signal(SIGINT, Quit);
  std::FILE* journal = std::fopen(argv[1], "a");
  if (!journal) {
    std::perror(argv[1]);
    return 1;
  }
  struct TServed {
    std::unique_ptr<TSimBoard> Board;
    std::size_t Written = 0;
  };
  std::vector<TServed> boards;
  for (int i = 2; i < argc; ++i) {
    const std::string entry = argv[i];
    const auto eq = entry.find('=');
    const auto reply = eq == std::string::npos ? Replies.end() : Replies.find(entry.substr(eq + 1));
    if (reply == Replies.end()) {
      std::fprintf(stderr, "%s: not NAME=REPLY with a known reply\n", argv[i]);
      return 2;
    }
    boards.push_back({std::make_unique<TSimBoard>(entry.substr(0, eq), reply->second), 0});
    std::printf("%s %s\n", boards.back().Board->Name().c_str(), boards.back().Board->DevicePath().c_str());
  }
  std::printf("ready\n");
  std::fflush(stdout);

  while (!gQuit) {
    for (auto& served : boards) {
      const auto packets = served.Board->Packets();
      if (packets.size() == served.Written) continue;
      const termios tio = served.Board->LineSettings();
      for (; served.Written < packets.size(); ++served.Written)
        std::fprintf(journal, "%s %s %s %s %s %s\n", served.Board->Name().c_str(),
                     Hex(packets[served.Written].Bytes).c_str(), Speed(tio).c_str(), Frame(tio).c_str(),
                     Flow(tio).c_str(), Mode(tio).c_str());
      std::fflush(journal);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::fclose(journal);
  return 0;
}
