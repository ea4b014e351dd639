#include <gtest/gtest.h>

#include "BoardTestSupport.h"
#include "board/DeviceModule.h"
#include "simulator/lights/SimLights.h"
#include "support/TraceCapture.h"

namespace {

class SimBoardTest : public BoardFixture {};

// Packets cut across writes, and surrounded by noise and broken packets, are
// still found; the noise is counted and nothing else is recorded.
TEST_F(SimBoardTest, ResynchronisesOnGarbageAndSplitPackets) {
  TTraceCapture trace;
  TSimBoard& board = AddBoard("COM1");
  TComPort port(FPorts);
  port.SetPort("COM1");
  port.Open();
  const std::vector<std::vector<std::uint8_t>> writes = {
      {0x00, 0x13, 0xBB},                                     // noise
      {0xAA, 0xC1, 0x00, 0x7F, 0x00, 0x00, 0xBB},             // bad checksum
      {0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBC},             // bad trailer
      {0xAA, 0xAA, 0xC3},                                     // a stray header, then the start of a packet
      {0x01, 0x9B, 0x00},                                     //
      {0x09, 0xBB, 0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB}  // its end, and a whole packet
  };
  for (const auto& w : writes) {
    ASSERT_EQ(port.Write(w.data(), int(w.size())), int(w.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the reads split
  }
  ASSERT_TRUE(board.WaitForPackets(2, 5000));
  const auto packets = board.Packets();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(Bytes(packets[0].Bytes), (std::vector<std::uint8_t>{0xAA, 0xC3, 0x01, 0x9B, 0x00, 0x09, 0xBB}));
  EXPECT_EQ(Bytes(packets[1].Bytes), (std::vector<std::uint8_t>{0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB}));
  EXPECT_LE(packets[0].Time, packets[1].Time);
  EXPECT_EQ(board.GarbageBytes(), 3u + 7u + 7u + 1u);
  EXPECT_EQ(board.State().White, 0x7F);
  EXPECT_EQ(board.State().Motor, TSimMotor::Up);
  EXPECT_TRUE(trace.Contains("SimBoard COM1 <- AA C3 01 9B 00 09 BB"));
  EXPECT_TRUE(trace.Contains("SimBoard COM1 motor : up, speed 155"));
}

// A stalled board holds the line: the program's write runs out of time with
// nothing sent, and the board module raises rather than lose the command
// without a word. Once the board takes bytes again, commands go through whole.
TEST_F(SimBoardTest, AStalledBoardMakesCommandsRaiseUntilItTakesBytesAgain) {
  TSimBoard& board = AddBoard("COM1");
  TDeviceModule module(FDispatcher, FPorts);
  module.ComPort.SetPort("COM1");
  module.ComPort.Open();
  module.LEDOff();
  ASSERT_TRUE(board.WaitForPackets(1, 5000));
  board.Stall(true);
  const auto start = std::chrono::steady_clock::now();
  try {
    module.MotorStop();
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), CError_WriteFailed);
    EXPECT_STREQ(e.what(), "WriteFile function failed");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(WriteTotalConstantMs));
  board.Stall(false);
  module.WhiteOn(5);
  ASSERT_TRUE(board.WaitForPackets(2, 5000));
  const auto packets = board.Packets();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(Bytes(packets[1].Bytes), (std::vector<std::uint8_t>{0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB}));
  EXPECT_EQ(board.GarbageBytes(), 0u);
}

// The board speaks for the booth's lights in its process: all off from the
// start, each light packet as it arrives, and nothing known once it is gone.
TEST_F(SimBoardTest, LightPacketsSetTheLightsTheCameraSees) {
  {
    TSimBoard board("COM1");
    FPorts->Add("COM1", board.DevicePath());
    ASSERT_EQ(SimLights::Current(), SimLights::TLevels{});
    TDeviceModule module(FDispatcher, FPorts);
    module.ComPort.SetPort("COM1");
    module.ComPort.Open();
    module.WarmWhiteOn(6);
    module.UVOn(8);
    module.MotorUp(5);  // not a light: the lights stay
    ASSERT_TRUE(board.WaitForPackets(3, 5000));
    EXPECT_EQ(SimLights::Current(), (SimLights::TLevels{0, 0, 204}));
  }
  EXPECT_FALSE(SimLights::Current().has_value());
}

}  // namespace
