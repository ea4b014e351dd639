#include <gtest/gtest.h>

#include <functional>

#include "BoardTestSupport.h"
#include "board/DeviceModule.h"

namespace {

class DeviceModuleTest : public BoardFixture {
 protected:
  DeviceModuleTest() : FBoard(AddBoard("COM1")), FModule(FDispatcher, FPorts) {
    FModule.ComPort.SetPort("COM1");
    FModule.ComPort.Open();
  }
  // The packets the board has received since the last call.
  std::vector<std::vector<std::uint8_t>> Received(std::size_t total) {
    EXPECT_TRUE(FBoard.WaitForPackets(total, 5000));
    std::vector<std::vector<std::uint8_t>> bytes;
    for (const auto& p : FBoard.Packets()) bytes.push_back(Bytes(p.Bytes));
    return bytes;
  }
  TSimBoard& FBoard;
  TDeviceModule FModule;
};

struct TPacketCase {
  const char* Name;
  std::function<void(TDeviceModule&)> Send;
  std::vector<std::uint8_t> Bytes;
};

TEST_F(DeviceModuleTest, EveryCommandWritesItsPacket) {
  DeviceModule = &FModule;
  const TPacketCase cases[] = {
      {"LEDOff", [](TDeviceModule& m) { m.LEDOff(); }, {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB}},
      {"WhiteOn(5)", [](TDeviceModule& m) { m.WhiteOn(5); }, {0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB}},
      {"UVOn(7)", [](TDeviceModule& m) { m.UVOn(7); }, {0xAA, 0xC1, 0x00, 0x00, 0xB2, 0x1D, 0xBB}},
      {"WhiteOn(10)", [](TDeviceModule& m) { m.WhiteOn(10); }, {0xAA, 0xC1, 0x00, 0xFF, 0x00, 0x6A, 0xBB}},
      {"WhiteOn(11)", [](TDeviceModule& m) { m.WhiteOn(11); }, {0xAA, 0xC1, 0x00, 0x18, 0x00, 0x83, 0xBB}},
      {"WarmWhiteOn(1)", [](TDeviceModule& m) { m.WarmWhiteOn(1); }, {0xAA, 0xC1, 0x19, 0x00, 0x00, 0x84, 0xBB}},
      {"WhiteAndWarmWhiteOn(2)", [](TDeviceModule& m) { m.WhiteAndWarmWhiteOn(2); },
       {0xAA, 0xC1, 0x33, 0x33, 0x00, 0xD1, 0xBB}},
      {"WhiteAndWarmWhiteAndUVOn(3)", [](TDeviceModule& m) { m.WhiteAndWarmWhiteAndUVOn(3); },
       {0xAA, 0xC1, 0x4C, 0x4C, 0x4C, 0x4F, 0xBB}},
      {"MotorUp(0)", [](TDeviceModule& m) { m.MotorUp(0); }, {0xAA, 0xC3, 0x01, 0x9B, 0x00, 0x09, 0xBB}},
      {"MotorDown(10)", [](TDeviceModule& m) { m.MotorDown(10); }, {0xAA, 0xC3, 0x00, 0xFF, 0x00, 0x6C, 0xBB}},
      {"MotorStop", [](TDeviceModule& m) { m.MotorStop(); }, {0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB}},
      {"MotorSulo(47, 5)", [](TDeviceModule& m) { m.MotorSulo(47, 5); }, {0xAA, 0xC2, 0x2F, 0xCD, 0x00, 0x68, 0xBB}},
      // 0x0A in a parameter must pass the line untranslated.
      {"MoveMotor", [](TDeviceModule&) { TCommandCenter::MoveMotor(); }, {0xAA, 0xC2, 0x0A, 0x63, 0x00, 0xD9, 0xBB}},
  };
  std::size_t sent = 0;
  for (const auto& c : cases) {
    c.Send(FModule);
    const auto received = Received(++sent);
    ASSERT_EQ(received.size(), sent) << c.Name;
    EXPECT_EQ(received.back(), c.Bytes) << c.Name;
  }
  EXPECT_EQ(FBoard.GarbageBytes(), 0u);
  EXPECT_TRUE(TCommandCenter::IsComportConnected());
  DeviceModule = nullptr;
}

TEST(DeviceModulePacketTest, FixedPacketsAndHelpers) {
  EXPECT_EQ(TDeviceModule::Checksum(ProbePacket), 0xE2);
  TPacket ack{};
  TDeviceModule::AckPacket(ack);
  EXPECT_EQ(Bytes(ack), (std::vector<std::uint8_t>{0xAA, 0xAC, 0x00, 0x00, 0x00, 0x56, 0xBB}));
  TPacket other = ack;
  EXPECT_TRUE(TDeviceModule::ComparePacket(ack, other));
  other[6] = 0xBC;  // the trailer counts too
  EXPECT_FALSE(TDeviceModule::ComparePacket(ack, other));
}

TEST_F(DeviceModuleTest, BoardFollowsLightAndMotorCommands) {
  FModule.WhiteAndWarmWhiteAndUVOn(10);
  FModule.UVOn(4);  // a light packet switches the other channels off
  FModule.MotorUp(3);
  Received(3);
  TSimBoardState state = FBoard.State();
  EXPECT_EQ(state.WarmWhite, 0);
  EXPECT_EQ(state.White, 0);
  EXPECT_EQ(state.UV, 102);
  EXPECT_EQ(state.Motor, TSimMotor::Up);
  EXPECT_EQ(state.SpeedCode, 185);
  FModule.MotorStop();
  Received(4);
  EXPECT_EQ(FBoard.State().Motor, TSimMotor::Stopped);
  FModule.MotorSulo(20, 5);  // 0.20 s, then the board stops by itself
  Received(5);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (FBoard.State().Motor != TSimMotor::Stopped && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  state = FBoard.State();
  EXPECT_EQ(state.Motor, TSimMotor::Stopped);
  EXPECT_EQ(state.Duration, 20);
}

TEST_F(DeviceModuleTest, CommandsOnAClosedPortRaisePortNotOpen) {
  FModule.Close();
  EXPECT_FALSE(FModule.IsComportConnected());
  try {
    FModule.LEDOff();
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_STREQ(e.what(), "Port Not Open");
  }
  // No module at all.
  ASSERT_EQ(DeviceModule, nullptr);
  EXPECT_THROW(TCommandCenter::MoveMotor(), EComPort);
  EXPECT_FALSE(TCommandCenter::IsComportConnected());
}

TEST_F(DeviceModuleTest, ABoardThatVanishesRaisesToTheCaller) {
  FModule.LEDOff();
  Received(1);
  FBoard.Vanish();
  EXPECT_THROW(FModule.MotorStop(), EComPort);
  FModule.Close();
  EXPECT_THROW(FModule.Open(), EComPort);  // no scan has found a port, and COM1 is gone
}

}  // namespace
