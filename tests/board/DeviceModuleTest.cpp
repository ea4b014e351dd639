#include <gtest/gtest.h>

#include "BoardTestSupport.h"
#include "PacketTable.h"
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

TEST_F(DeviceModuleTest, EveryCommandWritesItsPacket) {
  DeviceModule = &FModule;
  const auto cases = PacketCases();
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
