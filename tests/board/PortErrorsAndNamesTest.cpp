// What the port object says when it fails, and how port lists are sorted:
// the same on every platform.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "board/ComPort.h"
#include "board/PortDirectory.h"

namespace {

struct TMessageCase {
  int Code;
  std::optional<int> SystemError;
  const char* Text;
  std::optional<int> Carried;
};

TEST(EComPortTest, MessageCarriesTheSystemErrorExceptForPortNotOpen) {
  const TMessageCase cases[] = {
      {CError_OpenFailed, 2, "Unable to open com port (Error: 2)", 2},
      {CError_WriteFailed, 5, "WriteFile function failed (Error: 5)", 5},
      {CError_ReadFailed, std::nullopt, "ReadFile function failed", std::nullopt},
      {CError_PurgeFailed, 6, "PurgeComm function failed (Error: 6)", 6},
      {CError_SetStateFailed, 25, "SetCommState function failed (Error: 25)", 25},
      {CError_TimeoutsFailed, 87, "SetCommTimeouts failed (Error: 87)", 87},
      {CError_SetupComFailed, 1, "SetupComm function failed (Error: 1)", 1},
      {CError_PortNotOpen, 9, "Port Not Open", std::nullopt},
  };
  for (const auto& c : cases) {
    const EComPort e(c.Code, c.SystemError);
    EXPECT_STREQ(e.what(), c.Text);
    EXPECT_EQ(e.Code(), c.Code);
    EXPECT_EQ(e.SystemError(), c.Carried) << c.Text;
  }
}

// The table keeps the port object's numbering: codes that cannot arise here
// still sit at their places, so the ones that can keep their numbers.
TEST(EComPortTest, TextsFollowTheTwentyFourCodeTable) {
  const std::pair<int, const char*> cases[] = {
      {1, "Unable to open com port"},
      {4, "Invalid Async parameter"},
      {6, "Unable to get async status"},
      {10, "ClearCommError function failed"},
      {14, "Cannot set property while connected"},
      {20, "Cannot wait for event if event thread is created"},
      {23, "Registry error"},
      {24, "Port Not Open"},
      {0, "Com port error 0"},
      {25, "Com port error 25"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ErrorText(code), text) << code;
}

TEST(EnumComPortsTest, SortsCaseInsensitively) {
  TListedPortDirectory ports;
  for (const char* name : {"COM3", "com10", "COM2", "COM1"}) ports.Add(name, "unused");
  std::vector<std::string> list{"stale"};
  EnumComPorts(list, ports);
  EXPECT_EQ(list, (std::vector<std::string>{"COM1", "com10", "COM2", "COM3"}));
}

TEST(EnumComPortsTest, UnreadableDeviceListLeavesTheListAlone) {
  TListedPortDirectory ports;
  ports.Add("COM1", "unused");
  ports.SetReadable(false);
  std::vector<std::string> kept{"COM7"}, fresh;
  EnumComPorts(kept, ports);
  EnumComPorts(fresh, ports);
  EXPECT_EQ(kept, std::vector<std::string>{"COM7"});
  EXPECT_TRUE(fresh.empty());

  // The system's own list, read from where there is none (a folder on POSIX
  // systems, a registry key on Windows).
  std::vector<std::string> list{"COM7"};
  EnumComPorts(list, TSystemPortDirectory("nonexistent/sulo/device-list"));
  EXPECT_EQ(list, std::vector<std::string>{"COM7"});
}

}  // namespace
