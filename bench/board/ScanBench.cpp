// What the start-up board scan costs: each port that opens but stays silent
// holds the scan for its one-second wait, so N silent ports should cost about
// N seconds and no more; a port that cannot be opened should cost nothing.
// Also the cost of one command packet, written through a pseudo-terminal.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "board/DeviceModule.h"
#include "notification/Interfaces.h"
#include "simulator/board/SimBoard.h"
#include "support/ScanListener.h"

namespace {

// One scan over `silent` silent boards and `missing` ports without a device.
void RunScan(benchmark::State& state, int silent, int missing) {
  TManualDispatcher dispatcher;
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  TScanListener result;
  center.Add<IDeviceScanning>(&result);
  auto ports = std::make_shared<TListedPortDirectory>();
  std::vector<std::unique_ptr<TSimBoard>> boards;
  for (int i = 0; i < silent; ++i) {
    boards.push_back(std::make_unique<TSimBoard>("COM" + std::to_string(i + 1), TSimBoardReply::Silent));
    ports->Add(boards.back()->Name(), boards.back()->DevicePath());
  }
  for (int i = 0; i < missing; ++i) ports->Add("COM" + std::to_string(100 + i), "/nonexistent/board");

  for (auto _ : state) {
    TDeviceModule module(dispatcher, ports);
    result.FResults.clear();
    const auto start = std::chrono::steady_clock::now();
    module.ComportScan();
    while (!result.Done()) dispatcher.WaitAndProcess(10);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (result.Found()) state.SkipWithError("a silent port was taken for a board");
  }
  state.counters["ports"] = silent + missing;
  center.Remove<IDeviceScanning>(&result);
  TNotificationCenter::FInstance = nullptr;
}

void BM_ScanSilentPorts(benchmark::State& state) { RunScan(state, int(state.range(0)), 0); }
BENCHMARK(BM_ScanSilentPorts)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ScanMissingPorts(benchmark::State& state) { RunScan(state, 0, int(state.range(0))); }
BENCHMARK(BM_ScanMissingPorts)->Arg(8)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CommandPacket(benchmark::State& state) {
  TManualDispatcher dispatcher;
  TSimBoard board("COM1");
  auto ports = std::make_shared<TListedPortDirectory>();
  ports->Add(board.Name(), board.DevicePath());
  TDeviceModule module(dispatcher, ports);
  module.ComPort.SetPort("COM1");
  module.ComPort.Open();
  for (auto _ : state) module.WhiteOn(5);
  board.WaitForPackets(std::size_t(state.iterations()), 10000);
}
BENCHMARK(BM_CommandPacket)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
