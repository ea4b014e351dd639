// Shared pieces of the board tests: simulated ports under chosen names, the
// UI thread's dispatcher and event bus, and a ScanComplete listener.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "board/ComPort.h"
#include "notification/Dispatcher.h"
#include "notification/Interfaces.h"
#include "simulator/board/SimBoard.h"
#include "PortReading.h"
#include "support/ScanListener.h"

inline std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, 7>& packet) {
  return {packet.begin(), packet.end()};
}

// Simulated boards listed under logical names, plus the UI side of a scan.
class BoardFixture : public ::testing::Test {
 protected:
  BoardFixture() : FPorts(std::make_shared<TListedPortDirectory>()) {
    TNotificationCenter::FInstance = &FCenter;
    FCenter.Add<IDeviceScanning>(&FListener);
  }
  ~BoardFixture() override {
    FCenter.Remove<IDeviceScanning>(&FListener);
    TNotificationCenter::FInstance = nullptr;
  }

  TSimBoard& AddBoard(const std::string& name, TSimBoardReply reply = TSimBoardReply::Ack) {
    FBoards.push_back(std::make_unique<TSimBoard>(name, reply));
    FPorts->Add(name, FBoards.back()->DevicePath());
    return *FBoards.back();
  }

  // Runs the UI thread's queue until ScanComplete has arrived (or 20 s passed).
  bool WaitForScan() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (FListener.FResults.empty() && std::chrono::steady_clock::now() < until) FDispatcher.WaitAndProcess(50);
    return !FListener.FResults.empty();
  }

  TManualDispatcher FDispatcher;
  TNotificationCenter FCenter;
  TScanListener FListener;
  std::shared_ptr<TListedPortDirectory> FPorts;
  std::vector<std::unique_ptr<TSimBoard>> FBoards;
};
