#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "configuration/DeviceProperties.h"

namespace {

struct TTableCase {
  const char* Name;
  std::function<const TDevicePropertyList&(const TDeviceProperties&)> List;
  std::size_t Size;
  std::int32_t FirstId;
  const char* FirstText;
  std::int32_t LastId;
  const char* LastText;
};

const TTableCase Tables[] = {
    {"Light.Kind", [](auto& p) -> auto& { return p.Light().Kind(); }, 6, 0, "None", 5, "White + Warm White + UV"},
    {"Light.Brightness", [](auto& p) -> auto& { return p.Light().Brightness(); }, 11, 0, "0", 10, "10"},
    {"Motor.Speed", [](auto& p) -> auto& { return p.Motor().Speed(); }, 10, 1, "1", 10, "10"},
    {"Motor.Location", [](auto& p) -> auto& { return p.Motor().Location(); }, 39, 0xF000, "None", 55, "0.55"},
    {"Camera.DriveMode", [](auto& p) -> auto& { return p.Camera().DriveMode(); }, 31, 0, "Single", 115, "1.15"},
    {"Camera.WBShiftBA", [](auto& p) -> auto& { return p.Camera().WhiteBalanceShiftBlueAmber(); }, 21, -10, "-10", 10, "10"},
    {"Camera.WBShiftGM", [](auto& p) -> auto& { return p.Camera().WhiteBalanceShiftGreenMagenta(); }, 21, -10, "-10", 10, "10"},
    {"Camera.Contrast", [](auto& p) -> auto& { return p.Camera().Contrast(); }, 9, -4, "-4", 4, "4"},
    {"Camera.Saturation", [](auto& p) -> auto& { return p.Camera().Saturation(); }, 9, -4, "-4", 4, "4"},
    {"Camera.ColorTone", [](auto& p) -> auto& { return p.Camera().ColorTone(); }, 9, -4, "-4", 4, "4"},
    {"Camera.Sharpness", [](auto& p) -> auto& { return p.Camera().Sharpness(); }, 8, 0, "0", 7, "7"},
};

int IndexOf(const TDevicePropertyList& list, std::int32_t id) {
  auto it = std::find_if(list.begin(), list.end(), [&](const TDeviceProperty& p) { return p.ID() == id; });
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

TEST(DevicePropertiesTest, EveryTableHasItsLengthAndEnds) {
  TDeviceProperties properties;
  for (const auto& t : Tables) {
    SCOPED_TRACE(t.Name);
    const auto& list = t.List(properties);
    ASSERT_EQ(list.size(), t.Size);
    EXPECT_EQ(list.front().ID(), t.FirstId);
    EXPECT_EQ(list.front().Text(), t.FirstText);
    EXPECT_EQ(list.back().ID(), t.LastId);
    EXPECT_EQ(list.back().Text(), t.LastText);
    // Codes are unique within a list.
    for (std::size_t i = 1; i < list.size(); ++i) EXPECT_EQ(IndexOf(list, list[i].ID()), static_cast<int>(i));
  }
}

TEST(DevicePropertiesTest, BoundaryEntries) {
  TDeviceProperties p;
  const auto& drive = p.Camera().DriveMode();
  // Gaps: 86-89 and 101-104 are not choices.
  EXPECT_EQ(drive[IndexOf(drive, 85) + 1].Text(), "0.90");
  EXPECT_EQ(drive[IndexOf(drive, 100) + 1].Text(), "1.05");
  EXPECT_EQ(drive[IndexOf(drive, 75) + 1].Text(), "0.76");
  EXPECT_EQ(drive[1].Text(), "0.50");
  for (int missing : {86, 89, 101, 104, 51}) EXPECT_EQ(IndexOf(drive, missing), -1) << missing;

  const auto& location = p.Motor().Location();
  EXPECT_EQ(location[1].ID(), 0xF001);
  EXPECT_EQ(location[1].Text(), "Up");
  EXPECT_EQ(location[2].Text(), "Down");
  EXPECT_EQ(location[3].ID(), 20);
  EXPECT_EQ(location[3].Text(), "0.20");
  EXPECT_EQ(IndexOf(location, 0), -1);
  EXPECT_EQ(IndexOf(p.Motor().Speed(), 0), -1);

  EXPECT_EQ(p.Light().Kind()[3].Text(), "Warm White");
  for (const auto* scale : {&p.Camera().WhiteBalanceShiftBlueAmber(), &p.Camera().Contrast(), &p.Camera().Sharpness()})
    EXPECT_GE(IndexOf(*scale, 0), 0);
}
