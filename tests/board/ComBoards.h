// Boards on the machine's COM ports, for the Windows build's tests.
//
// The boards are simulated on the Linux side of a Wine run:
// scripts/windows-check.sh starts sulo_sim_boards, maps each board's
// pseudo-terminal to a COM port of the Wine prefix, and tells the tests
// through two variables which port answers how and where the boards write
// down what they received:
//   SULO_TEST_BOARDS         "COM11=silent,COM12=ack,..." (each board's answer
//                            to the probe, as sulo_sim_boards spells it)
//   SULO_TEST_BOARD_JOURNAL  the journal: one line per packet received,
//                            "<port> <packet in hex> <speed> <frame> <flow> <mode>",
//                            the last four being the line settings the board saw.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/ComPort.h"
#include "notification/Dispatcher.h"
#include "notification/Interfaces.h"
#include "platform/Files.h"
#include "support/ScanListener.h"

struct TJournalLine {
  std::string Port;
  std::vector<std::uint8_t> Bytes;
  std::string Speed;  // "9600"
  std::string Frame;  // "8N1"
  std::string Flow;   // "noflow", "rtscts", "xonxoff"
  std::string Mode;   // "raw" or "cooked"
};

class TComBoards {
 public:
  TComBoards() {
    if (const char* journal = std::getenv("SULO_TEST_BOARD_JOURNAL")) FJournal = journal;
    std::stringstream list(std::getenv("SULO_TEST_BOARDS") ? std::getenv("SULO_TEST_BOARDS") : "");
    for (std::string entry; std::getline(list, entry, ',');) {
      const auto eq = entry.find('=');
      if (eq != std::string::npos) FPorts[entry.substr(eq + 1)] = entry.substr(0, eq);
    }
  }

  bool Present() const { return !FJournal.empty() && !FPorts.empty(); }
  // The port of the board that answers `reply` ("ack", "silent", ...).
  std::string Port(const std::string& reply) const {
    const auto it = FPorts.find(reply);
    return it == FPorts.end() ? std::string() : it->second;
  }
  std::vector<std::string> Ports() const {
    std::vector<std::string> ports;
    for (const auto& [reply, port] : FPorts) ports.push_back(port);
    return ports;
  }

  std::vector<TJournalLine> Journal() const {
    std::vector<TJournalLine> lines;
    std::ifstream in(PathFromUtf8(FJournal));
    for (std::string text; std::getline(in, text);) {
      std::istringstream words(text);
      TJournalLine line;
      std::string hex;
      if (!(words >> line.Port >> hex >> line.Speed >> line.Frame >> line.Flow >> line.Mode))
        continue;  // being written
      for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        line.Bytes.push_back(std::uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
      lines.push_back(std::move(line));
    }
    return lines;
  }

 private:
  std::string FJournal;
  std::map<std::string, std::string> FPorts;  // reply -> port
};

// The UI side of the board tests, and the journal lines of the current test.
class ComBoardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FBoards.Present()) << "no boards on COM ports: run these tests through scripts/windows-check.sh";
    FStart = FBoards.Journal().size();
    TNotificationCenter::FInstance = &FCenter;
    FCenter.Add<IDeviceScanning>(&FListener);
  }
  void TearDown() override {
    FCenter.Remove<IDeviceScanning>(&FListener);
    TNotificationCenter::FInstance = nullptr;
  }

  // The packets `port` has received since the test began, once there are
  // `count` of them (fewer after `timeoutMs`).
  std::vector<TJournalLine> Received(const std::string& port, std::size_t count, int timeoutMs = 5000) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      std::vector<TJournalLine> mine;
      const auto all = FBoards.Journal();
      for (std::size_t i = FStart; i < all.size(); ++i)
        if (all[i].Port == port) mine.push_back(all[i]);
      if (mine.size() >= count || std::chrono::steady_clock::now() >= until) return mine;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // Every packet of the test so far, in the order the boards got them.
  std::vector<TJournalLine> AllReceived() const {
    const auto all = FBoards.Journal();
    return {all.begin() + std::ptrdiff_t(std::min(FStart, all.size())), all.end()};
  }

  // Runs the UI thread's queue until ScanComplete has arrived (or 30 s passed).
  bool WaitForScan() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (FListener.FResults.empty() && std::chrono::steady_clock::now() < until) FDispatcher.WaitAndProcess(50);
    return !FListener.FResults.empty();
  }

  TComBoards FBoards;
  std::size_t FStart = 0;
  TManualDispatcher FDispatcher;
  TNotificationCenter FCenter;
  TScanListener FListener;
};
