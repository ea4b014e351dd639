// The board scan. Each silent port costs the scan its full second of waiting,
// so every case stands alone (ctest runs them side by side) and lists as few
// silent ports as it needs.
#include <gtest/gtest.h>

#include "BoardTestSupport.h"
#include "board/DeviceModule.h"
#include "support/TraceCapture.h"

namespace {

class ScanTest : public BoardFixture {
 protected:
  // Probes each board has received.
  static std::size_t Probes(const TSimBoard& board) {
    const auto packets = board.Packets();
    return std::size_t(std::count_if(packets.begin(), packets.end(),
                                     [](const TSimBoardPacket& p) { return p.Bytes == ProbePacket; }));
  }
};

TEST_F(ScanTest, ProbesInSortedOrderAndLeavesTheAnsweringPortOpen) {
  // Listed out of order; sorted they are COM1, COM10, COM2.
  TSimBoard& com2 = AddBoard("COM2", TSimBoardReply::Ack);
  TSimBoard& com10 = AddBoard("COM10", TSimBoardReply::Silent);
  TSimBoard& com1 = AddBoard("COM1", TSimBoardReply::Silent);
  TDeviceModule module(FDispatcher, FPorts);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{true});
  EXPECT_EQ(module.FoundPort(), "COM2");
  EXPECT_TRUE(module.IsComportConnected());
  EXPECT_EQ(module.ComPort.Port(), "COM2");
  ASSERT_EQ(Probes(com1), 1u);
  ASSERT_EQ(Probes(com10), 1u);
  ASSERT_EQ(Probes(com2), 1u);
  EXPECT_LT(com1.Packets()[0].Time, com10.Packets()[0].Time);
  EXPECT_LT(com10.Packets()[0].Time, com2.Packets()[0].Time);

  // The port is the UI thread's now: Open keeps it, commands reach COM2, and
  // a later Open after Close comes back to COM2.
  module.Open();
  module.WhiteOn(5);
  ASSERT_TRUE(com2.WaitForPackets(2, 5000));
  module.Close();
  module.Open();
  module.MotorStop();
  ASSERT_TRUE(com2.WaitForPackets(3, 5000));
  EXPECT_EQ(com2.State().White, 0x7F);
  EXPECT_EQ(com1.Packets().size(), 1u);
  EXPECT_EQ(com10.Packets().size(), 1u);
}

TEST_F(ScanTest, ExtraBytesAfterTheAcknowledgementStillCountAsFound) {
  AddBoard("COM1", TSimBoardReply::AckWithExtra);
  TDeviceModule module(FDispatcher, FPorts);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{true});
  EXPECT_EQ(module.FoundPort(), "COM1");
}

class ScanWrongReplyTest : public ScanTest, public ::testing::WithParamInterface<TSimBoardReply> {};

TEST_P(ScanWrongReplyTest, IsNotABoard) {
  TSimBoard& board = AddBoard("COM1", GetParam());
  TDeviceModule module(FDispatcher, FPorts);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{false});
  EXPECT_EQ(Probes(board), 1u);
  EXPECT_FALSE(module.IsComportConnected());
  EXPECT_EQ(module.FoundPort(), "");
}

INSTANTIATE_TEST_SUITE_P(Replies, ScanWrongReplyTest,
                         ::testing::Values(TSimBoardReply::WrongChecksum, TSimBoardReply::ShortAck,
                                           TSimBoardReply::LateAck),
                         [](const auto& info) {
                           switch (info.param) {
                             case TSimBoardReply::WrongChecksum: return "WrongChecksum";
                             case TSimBoardReply::ShortAck: return "SixBytes";
                             default: return "AfterTheWait";
                           }
                         });

TEST_F(ScanTest, NoPortsOrNoReadableListReportNotFound) {
  TTraceCapture trace;
  for (bool readable : {true, false}) {
    FPorts->SetReadable(readable);
    TDeviceModule module(FDispatcher, FPorts);
    FListener.FResults.clear();
    module.ComportScan();
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(FListener.FResults, std::vector<bool>{false});
    EXPECT_FALSE(module.IsComportConnected());
  }
  EXPECT_FALSE(trace.Contains("TComPort.Open"));
}

TEST_F(ScanTest, PortThatCannotBeOpenedIsSkipped) {
  TTraceCapture trace;
  FPorts->Add("COM1", "/nonexistent/board");
  AddBoard("COM2", TSimBoardReply::Ack);
  TDeviceModule module(FDispatcher, FPorts);
  module.ComportScan();
  ASSERT_TRUE(WaitForScan());
  EXPECT_EQ(FListener.FResults, std::vector<bool>{true});
  EXPECT_EQ(module.FoundPort(), "COM2");
  EXPECT_TRUE(trace.Contains("Scan skipped : COM1 : Unable to open com port (Error: 2)"));
}

// Destroying the module mid-scan cuts the wait short; the result that the
// thread may already have queued is never delivered to a dead module.
TEST_F(ScanTest, DestroyingTheModuleDuringTheScanIsSafe) {
  TSimBoard& board = AddBoard("COM1", TSimBoardReply::Silent);
  {
    TDeviceModule module(FDispatcher, FPorts);
    module.ComportScan();
    module.ComportScan();  // ignored: a scan is running
    ASSERT_TRUE(board.WaitForPackets(1, 10000));
  }
  FDispatcher.ProcessPending();
  EXPECT_TRUE(FListener.FResults.empty());
  EXPECT_EQ(board.Packets().size(), 1u);
}

}  // namespace
