#include "app/SimulatedBoard.h"

#include "board/PortDirectory.h"

struct TSimulatedBoard::TBoard {};

TSimulatedBoard::TSimulatedBoard(bool) {}

TSimulatedBoard::~TSimulatedBoard() = default;
