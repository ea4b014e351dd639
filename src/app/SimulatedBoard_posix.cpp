#include "app/SimulatedBoard.h"

#include "board/PortDirectory.h"
#include "simulator/board/SimBoard.h"

struct TSimulatedBoard::TBoard {
  explicit TBoard(bool silent) : Board("COM3", silent ? TSimBoardReply::Silent : TSimBoardReply::Ack) {}
  TSimBoard Board;
};

TSimulatedBoard::TSimulatedBoard(bool silent)
    : FBoard(std::make_unique<TBoard>(silent)) {
  auto listed = std::make_shared<TListedPortDirectory>();
  listed->Add(FBoard->Board.Name(), FBoard->Board.DevicePath());
  FPorts = listed;
}

TSimulatedBoard::~TSimulatedBoard() = default;
