// What the start-up board scan reported: one entry a ScanComplete, in order.
// Shared by the board tests, the scan's benchmark and its fuzzer.
#pragma once

#include <vector>

#include "notification/Interfaces.h"

class TScanListener : public IDeviceScanning {
 public:
  void ScanComplete(const bool Found) override { FResults.push_back(Found); }
  bool Done() const { return !FResults.empty(); }
  // What the last scan found.
  bool Found() const { return !FResults.empty() && FResults.back(); }
  std::vector<bool> FResults;
};
