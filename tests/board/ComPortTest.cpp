#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "BoardTestSupport.h"
#include "support/TempDir.h"
#include "support/TraceCapture.h"

namespace {

// A sysfs tty class in a temp folder: real UARTs, a USB adapter, a legacy
// UART slot without a chip, and a virtual terminal.
TEST(SystemPortDirectoryTest, ListsDevicesWithHardwareOnly) {
  TTempDir dir;
  const auto root = dir.Path() / "tty";
  auto tty = [&](const char* name, bool device, const char* type) {
    std::filesystem::create_directories(root / name);
    if (device) std::filesystem::create_directories(root / name / "device");
    if (type) std::ofstream(root / name / "type") << type << "\n";
  };
  tty("ttyS0", true, "4");
  tty("ttyS1", true, "0");  // placeholder slot
  tty("ttyUSB0", true, nullptr);
  tty("ttyACM0", true, nullptr);
  tty("tty1", false, nullptr);
  TSystemPortDirectory ports(root, "/devroot");
  std::vector<std::string> list;
  EnumComPorts(list, ports);
  EXPECT_EQ(list, (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyUSB0"}));
  EXPECT_EQ(ports.DevicePath("ttyUSB0"), "/devroot/ttyUSB0");
  EXPECT_EQ(ports.DevicePath("/dev/pts/4"), "/dev/pts/4");
}

class ComPortTest : public BoardFixture {};

TEST_F(ComPortTest, OpenOfAMissingDeviceCarriesErrno) {
  TComPort port(FPorts);
  port.SetPort("COM1");  // not listed: /dev/COM1, which does not exist
  try {
    port.Open();
    FAIL() << "opened a missing device";
  } catch (const EComPort& e) {
    EXPECT_STREQ(e.what(), "Unable to open com port (Error: 2)");
    EXPECT_EQ(e.Code(), CError_OpenFailed);
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, APortRefusedForLackOfPermissionNamesTheFix) {
  TTempDir dir;
  const std::string device = dir.File("ttyUSB0");
  std::ofstream(device) << "";
  ASSERT_EQ(::chmod(device.c_str(), 0600), 0);
  FPorts->Add("COM7", device);
  // Root is never refused: the open is tried by an ordinary user in a child.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    TComPort port(FPorts);
    port.SetPort("COM7");
    try {
      port.Open();
    } catch (const EComPort& e) {
      const bool message = std::string(e.what()) == "Unable to open com port (Error: 13)";
      const bool hint = e.Hint().find("dialout") != std::string::npos &&
                        e.Hint().find("70-sulo-board.rules") != std::string::npos;
      ::_exit(message && hint && e.Code() == CError_OpenFailed ? 0 : 1);
    }
    ::_exit(2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong message or hint, 2: opened, 3: could not become another user";
}

TEST_F(ComPortTest, OtherOpenFailuresCarryNoHint) {
  TComPort port(FPorts);
  port.SetPort("COM1");
  try {
    port.Open();
    FAIL() << "opened a missing device";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Hint(), "");
  }
}

TEST_F(ComPortTest, ReadAndWriteOnAClosedPortRaisePortNotOpen) {
  AddBoard("COM1");
  TComPort port(FPorts);
  port.SetPort("COM1");
  std::uint8_t buffer[7] = {};
  for (int round = 0; round < 2; ++round) {  // never opened, then opened and closed
    for (bool write : {true, false}) {
      try {
        write ? port.Write(buffer, 7) : port.Read(buffer, 7);
        FAIL() << "no error on a closed port";
      } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Port Not Open");
        EXPECT_EQ(e.Code(), CError_PortNotOpen);
        EXPECT_FALSE(e.SystemError().has_value());
      }
    }
    port.Open();
    port.Close();
  }
}

TEST_F(ComPortTest, OpenAppliesTheBoardsLineSettings) {
  TSimBoard& board = AddBoard("COM1");
  TComPort port(FPorts);
  port.SetPort("COM1");
  port.Open();
  ASSERT_TRUE(port.Connected());
  const termios tio = board.LineSettings();
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
  EXPECT_EQ(cfgetispeed(&tio), speed_t(B9600));
  EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP | INPCK), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_F(ComPortTest, PortIsExclusiveUntilClosed) {
  AddBoard("COM1");
  TComPort first(FPorts), second(FPorts);
  first.SetPort("COM1");
  second.SetPort("COM1");
  first.Open();
  first.Open();  // no-op on an open port
  EXPECT_THROW(
      {
        try {
          second.Open();
        } catch (const EComPort& e) {
          EXPECT_EQ(e.Code(), CError_OpenFailed);
          EXPECT_TRUE(e.SystemError().has_value());
          throw;
        }
      },
      EComPort);
  EXPECT_FALSE(second.Connected());
  first.Close();
  second.Open();  // the device is free again
  EXPECT_TRUE(second.Connected());
}

TEST_F(ComPortTest, ReadReturnsWhatHasArrivedAndLeavesTheRestOfTheBuffer) {
  TSimBoard& board = AddBoard("COM1");
  TComPort port(FPorts);
  port.SetPort("COM1");
  port.Open();
  std::uint8_t buffer[7];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(port.Read(buffer, 7), 0);  // nothing yet: returns at once
  board.Send({0x01, 0x02, 0x03});
  // The bytes come in one piece or in several; either way 3 in total.
  ASSERT_EQ(ReadAtLeast(port, buffer, 3), 3);
  EXPECT_EQ(port.Read(buffer + 3, 4), 0);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 7),
            (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(ComPortTest, SetPortReopensOnlyForAnotherName) {
  TSimBoard& one = AddBoard("COM1");
  TSimBoard& two = AddBoard("COM2");
  TTraceCapture trace;
  auto opens = [&] {
    const auto lines = trace.Lines();
    return std::count_if(lines.begin(), lines.end(),
                         [](const std::string& l) { return l.find("TComPort.Open") != std::string::npos; });
  };
  TComPort port(FPorts);
  port.SetPort("COM1");
  port.Open();
  port.SetPort("COM1");
  EXPECT_EQ(opens(), 1);
  port.SetPort("COM2");
  EXPECT_EQ(opens(), 2);
  ASSERT_TRUE(port.Connected());
  EXPECT_EQ(port.Port(), "COM2");
  const std::uint8_t packet[7] = {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB};
  EXPECT_EQ(port.Write(packet, 7), 7);
  ASSERT_TRUE(two.WaitForPackets(1, 5000));
  EXPECT_TRUE(one.Packets().empty());
}

TEST_F(ComPortTest, ABoardThatVanishesGivesAWriteError) {
  TSimBoard& board = AddBoard("COM1");
  TComPort port(FPorts);
  port.SetPort("COM1");
  port.Open();
  const std::uint8_t packet[7] = {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB};
  EXPECT_EQ(port.Write(packet, 7), 7);
  board.Vanish();
  try {
    port.Write(packet, 7);
    FAIL() << "write to a vanished board succeeded";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), CError_WriteFailed);
    EXPECT_TRUE(e.SystemError().has_value());
  }
  std::uint8_t buffer[7];
  try {
    EXPECT_EQ(port.Read(buffer, 7), 0);  // a hung-up line reads as empty...
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), CError_ReadFailed);  // ...or as a read error
  }
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_THROW(port.Open(), EComPort);  // the device is gone
  EXPECT_FALSE(port.Connected());
}

}  // namespace
