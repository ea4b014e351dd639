// The controller board of a build with the simulated camera. Where the system
// has pseudo-terminals the program brings its own simulated board on one and
// the board module scans only that port. On Windows the board module scans
// the machine's COM ports as always: a simulated board is mapped to one from
// outside.
#pragma once

#include <memory>

class IPortDirectory;

class TSimulatedBoard {
 public:
  // `silent`: the board does not answer the probe.
  explicit TSimulatedBoard(bool silent);
  ~TSimulatedBoard();
  TSimulatedBoard(const TSimulatedBoard&) = delete;
  TSimulatedBoard& operator=(const TSimulatedBoard&) = delete;

  // The ports the board module scans; null: the machine's own.
  std::shared_ptr<const IPortDirectory> Ports() const { return FPorts; }

 private:
  struct TBoard;
  std::unique_ptr<TBoard> FBoard;
  std::shared_ptr<const IPortDirectory> FPorts;
};
