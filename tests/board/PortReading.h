// Reading from a port until enough has come, for the board tests on every
// platform.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "board/ComPort.h"

// Calls Read until it has delivered `want` bytes into `buffer` or `timeoutMs` passed.
inline int ReadAtLeast(TComPort& port, std::uint8_t* buffer, int want, int timeoutMs = 5000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int got = 0;
  while (got < want && std::chrono::steady_clock::now() < until) {
    const int n = port.Read(buffer + got, want - got);
    if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    got += n;
  }
  return got;
}
