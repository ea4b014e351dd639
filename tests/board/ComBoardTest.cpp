// The port object, the board module and the scan on Windows, against boards
// on COM ports (see ComBoards.h): what the tests send is checked in what the
// boards received.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "ComBoards.h"
#include "PacketTable.h"
#include "PortReading.h"
#include "board/DeviceModule.h"

namespace {

const std::vector<std::uint8_t> LedOff = {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB};

// Wine lets a second handle open a port that is held without sharing.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class ComPortOnComTest : public ComBoardFixture {};

TEST_F(ComPortOnComTest, OpenOfAMissingPortCarriesTheSystemError) {
  TComPort port;
  port.SetPort("COM250");
  try {
    port.Open();
    FAIL() << "opened a port the machine does not have";
  } catch (const EComPort& e) {
    EXPECT_STREQ(e.what(), "Unable to open com port (Error: 2)");
    EXPECT_EQ(e.Code(), CError_OpenFailed);
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortOnComTest, ReadAndWriteOnAClosedPortRaisePortNotOpen) {
  TComPort port;
  port.SetPort(FBoards.Port("ack"));
  std::uint8_t buffer[7] = {};
  for (int round = 0; round < 2; ++round) {  // never opened, then opened and closed
    for (bool write : {true, false}) {
      try {
        write ? port.Write(buffer, 7) : port.Read(buffer, 7);
        FAIL() << "no error on a closed port";
      } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Port Not Open");
        EXPECT_FALSE(e.SystemError().has_value());
      }
    }
    port.Open();
    port.Close();
  }
}

// The line settings as the board's end of the line sees them.
TEST_F(ComPortOnComTest, WrittenBytesArriveWithTheBoardsLineSettings) {
  const std::string com = FBoards.Port("ack");
  TComPort port;
  port.SetPort(com);
  port.Open();
  ASSERT_TRUE(port.Connected());
  EXPECT_EQ(port.Write(LedOff.data(), int(LedOff.size())), 7);
  const auto received = Received(com, 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].Bytes, LedOff);
  EXPECT_EQ(received[0].Speed, "9600");
  EXPECT_EQ(received[0].Frame, "8N1");
  EXPECT_EQ(received[0].Flow, "noflow");
  EXPECT_EQ(received[0].Mode, "raw");
}

TEST_F(ComPortOnComTest, ReadReturnsWhatHasArrivedAndLeavesTheRestOfTheBuffer) {
  const std::string com = FBoards.Port("shortack");  // answers the probe with 6 bytes
  TComPort port;
  port.SetPort(com);
  port.Open();
  std::uint8_t buffer[7];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.Read(buffer, 7), 0);  // nothing yet: returns at once
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  ASSERT_EQ(port.Write(ProbePacket.data(), 7), 7);
  ASSERT_EQ(ReadAtLeast(port, buffer, 6), 6);
  EXPECT_EQ(port.Read(buffer + 6, 1), 0);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 7),
            (std::vector<std::uint8_t>{0xAA, 0xAC, 0x00, 0x00, 0x00, 0x56, 0xEE}));
}

TEST_F(ComPortOnComTest, SetPortReopensOnlyForAnotherName) {
  const std::string ack = FBoards.Port("ack"), silent = FBoards.Port("silent");
  TComPort port;
  port.SetPort(ack);
  port.Open();
  port.SetPort(ack);
  ASSERT_TRUE(port.Connected());
  EXPECT_EQ(port.Write(LedOff.data(), 7), 7);
  port.SetPort(silent);
  ASSERT_TRUE(port.Connected());
  EXPECT_EQ(port.Port(), silent);
  EXPECT_EQ(port.Write(LedOff.data(), 7), 7);
  EXPECT_EQ(Received(ack, 1).size(), 1u);
  EXPECT_EQ(Received(silent, 1).size(), 1u);
  EXPECT_EQ(Received(ack, 2, 300).size(), 1u) << "the second packet went to the old port";
}

// Each open starts the line-event thread and each close must end it, or the
// next open would find the device still held.
TEST_F(ComPortOnComTest, OpenAndCloseAgainAndAgain) {
  const std::string com = FBoards.Port("ack");
  TComPort port;
  port.SetPort(com);
  for (int i = 0; i < 20; ++i) {
    port.Open();
    ASSERT_EQ(port.Write(LedOff.data(), 7), 7) << i;
    port.Close();
    ASSERT_FALSE(port.Connected());
  }
  EXPECT_EQ(Received(com, 20).size(), 20u);
}

TEST_F(ComPortOnComTest, PortIsExclusiveUntilClosed) {
  if (UnderWine()) GTEST_SKIP() << "Wine does not refuse a second opener; this case needs a real Windows machine";
  TComPort first, second;
  first.SetPort(FBoards.Port("ack"));
  second.SetPort(FBoards.Port("ack"));
  first.Open();
  EXPECT_THROW(second.Open(), EComPort);
  EXPECT_FALSE(second.Connected());
  first.Close();
  second.Open();
  EXPECT_TRUE(second.Connected());
}

TEST_F(ComPortOnComTest, SystemListHasTheMappedPortsSorted) {
  std::vector<std::string> list;
  EnumComPorts(list);
  for (const auto& port : FBoards.Ports())
    EXPECT_NE(std::find(list.begin(), list.end(), port), list.end()) << port << " is missing from the device map";
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return std::tolower(x) < std::tolower(y); });
  }));
}

class DeviceModuleOnComTest : public ComBoardFixture {};

TEST_F(DeviceModuleOnComTest, EveryCommandWritesItsPacket) {
  const std::string com = FBoards.Port("ack");
  TDeviceModule module(FDispatcher);
  module.ComPort.SetPort(com);
  module.ComPort.Open();
  DeviceModule = &module;
  const auto cases = PacketCases();
  std::size_t sent = 0;
  for (const auto& c : cases) {
    c.Send(module);
    const auto received = Received(com, ++sent);
    ASSERT_EQ(received.size(), sent) << c.Name;
    EXPECT_EQ(received.back().Bytes, c.Bytes) << c.Name;
  }
  DeviceModule = nullptr;
}

class ScanOnComTest : public ComBoardFixture {};

// The ports of the machine's own list that hold the simulated boards (the
// whole list would include the host's serial devices that Wine maps as well,
// and the scan would write its probe to them). The silent port sorts before
// the board's, which ends the scan; ports after it are never probed.
TEST_F(ScanOnComTest, FindsTheBoardOnItsPortAndLeavesItOpen) {
  const std::string ack = FBoards.Port("ack"), silent = FBoards.Port("silent"), later = FBoards.Port("shortack");
  std::vector<std::string> machine;
  EnumComPorts(machine);
  const TSystemPortDirectory system;
  auto ports = std::make_shared<TListedPortDirectory>();
  for (const auto& name : machine)
    if (name == ack || name == silent || name == later) ports->Add(name, system.DevicePath(name));
  TDeviceModule module(FDispatcher, ports);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{true});
  EXPECT_EQ(module.FoundPort(), ack);
  EXPECT_TRUE(module.IsComportConnected());

  std::vector<std::string> probed;
  for (const auto& line : AllReceived())
    if (line.Bytes == std::vector<std::uint8_t>(ProbePacket.begin(), ProbePacket.end())) probed.push_back(line.Port);
  EXPECT_EQ(probed, (std::vector<std::string>{silent, ack}));
  EXPECT_TRUE(Received(later, 1, 100).empty());

  // The port is the UI thread's now: commands reach the board.
  module.Open();
  module.MotorStop();
  const auto received = Received(ack, 2);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1].Bytes, (std::vector<std::uint8_t>{0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB}));
}

TEST_F(ScanOnComTest, ASilentPortIsNoBoard) {
  const std::string silent = FBoards.Port("silent");
  auto ports = std::make_shared<TListedPortDirectory>();
  ports->Add(silent, TSystemPortDirectory().DevicePath(silent));
  TDeviceModule module(FDispatcher, ports);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{false});
  EXPECT_FALSE(module.IsComportConnected());
  EXPECT_EQ(module.FoundPort(), "");
  const auto received = Received(silent, 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].Bytes, std::vector<std::uint8_t>(ProbePacket.begin(), ProbePacket.end()));
}

}  // namespace
