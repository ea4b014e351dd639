#include <gtest/gtest.h>

#include "camera/CanonPropDesc.h"

namespace {

EdsPropertyDesc Describe(std::initializer_list<std::int32_t> codes) {
  EdsPropertyDesc desc{};
  for (std::int32_t c : codes) desc.propDesc[desc.numElements++] = c;
  return desc;
}

std::vector<std::pair<std::int32_t, std::string>> Pairs(const TDevicePropertyList& list) {
  std::vector<std::pair<std::int32_t, std::string>> out;
  for (const auto& p : list) out.emplace_back(p.ID(), p.Text());
  return out;
}

using TPairs = std::vector<std::pair<std::int32_t, std::string>>;

}  // namespace

TEST(CameraPropDescTest, MapBackedPropertiesFollowTheCameraOrder) {
  TCanonPropDesc desc;
  EXPECT_TRUE(desc.GetPropDesc(kEdsPropID_ISOSpeed, Describe({})).empty());
  EXPECT_EQ(Pairs(desc.GetPropDesc(kEdsPropID_ISOSpeed, Describe({0x48, 0x50, 0x58}))),
            (TPairs{{0x48, "100"}, {0x50, "200"}, {0x58, "400"}}));
  // The camera's order, not the table's; a code listed twice gives two choices.
  EXPECT_EQ(Pairs(desc.GetPropDesc(kEdsPropID_Av, Describe({0x50, 0x0C, 0x0D, 0x50}))),
            (TPairs{{0x50, "22"}, {0x0C, "1.2"}, {0x0D, "1.2"}, {0x50, "22"}}));
}

TEST(CameraPropDescTest, LabelsOfEveryTable) {
  TCanonPropDesc desc;
  struct TCase {
    EdsPropertyID Prop;
    std::int32_t Code;
    const char* Label;
  } cases[] = {
      {kEdsPropID_ISOSpeed, 0x00, "Auto"},
      {kEdsPropID_ISOSpeed, 0x98, "102400"},
      {kEdsPropID_ISOSpeed, -1, "Not valid"},
      {kEdsPropID_MeteringMode, 0x05, "Center-weighted averaging"},
      {kEdsPropID_MeteringMode, -1, "Not valid"},
      {kEdsPropID_Av, 0x00, "00"},
      {kEdsPropID_Av, 0x2D, "5.0"},
      {kEdsPropID_Av, 0x70, "91"},
      {kEdsPropID_Av, -1, "unknown"},
      {kEdsPropID_Tv, 0x0C, "Bulb"},
      {kEdsPropID_Tv, 0x10, "30\""},
      {kEdsPropID_Tv, 0x2B, "3\"2"},
      {kEdsPropID_Tv, 0x44, "0\"3"},
      {kEdsPropID_Tv, 0x70, "125"},
      {kEdsPropID_Tv, 0xA0, "8000"},
      {kEdsPropID_Tv, -1, "unknown"},
      {kEdsPropID_ExposureCompensation, 0xFD, "-1/3"},
      {kEdsPropID_ExposureCompensation, 0x03, "+1/3"},
      {kEdsPropID_ExposureCompensation, 0xE8, "-3"},
      {kEdsPropID_ExposureCompensation, -1, "unknown"},
      {kEdsPropID_ImageQuality, 0x0013FF0F, "Large Fine Jpeg"},
      {kEdsPropID_ImageQuality, 0x01640013, "Middle Raw(Ord(Small RAW1) + Large Fine Jpeg"},
      {kEdsPropID_ImageQuality, 0x002F000F, "RAW"},
      {kEdsPropID_ImageQuality, 0x021F000F, "Small Jpeg"},
  };
  for (const TCase& c : cases) {
    const auto list = desc.GetPropDesc(c.Prop, Describe({c.Code}));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].ID(), c.Code);
    EXPECT_EQ(list[0].Text(), c.Label) << std::hex << c.Prop << " " << c.Code;
  }
}

TEST(CameraPropDescTest, TablesHoldTheirFullSize) {
  // Every code of a table labelled from that table (not in decimal) proves
  // the table holds it; count how many of a sweep are known.
  TCanonPropDesc desc;
  auto known = [&](EdsPropertyID prop, std::int64_t from, std::int64_t to) {
    int n = 0;
    for (std::int64_t c = from; c <= to; ++c)
      if (desc.Label(prop, static_cast<std::int32_t>(c)) != std::to_string(static_cast<std::int32_t>(c)) ||
          (c == 0x00 && prop == kEdsPropID_ExposureCompensation))
        ++n;
    return n + (desc.Label(prop, -1) != "-1" ? 1 : 0);
  };
  EXPECT_EQ(known(kEdsPropID_ISOSpeed, 0, 0xFF), 28);
  EXPECT_EQ(known(kEdsPropID_MeteringMode, 0, 0xFF), 5);
  EXPECT_EQ(known(kEdsPropID_Av, 0, 0xFF), 55);
  EXPECT_EQ(known(kEdsPropID_Tv, 0, 0xFF), 75);
  EXPECT_EQ(known(kEdsPropID_ExposureCompensation, 0, 0xFF), 26);
}

TEST(CameraPropDescTest, FixedListsIgnoreTheDescription) {
  TCanonPropDesc desc;
  const auto wb = desc.GetPropDesc(kEdsPropID_WhiteBalance, Describe({}));
  ASSERT_EQ(wb.size(), 18u);
  EXPECT_EQ(Pairs({wb.front()}), (TPairs{{0, "Auto"}}));
  EXPECT_EQ(Pairs({wb[8]}), (TPairs{{9, "Color temperature"}}));
  EXPECT_EQ(Pairs({wb.back()}), (TPairs{{21, "Custom white balance: PC-5"}}));
  // A copy: what the caller does with it leaves the table intact.
  auto copy = desc.GetPropDesc(kEdsPropID_WhiteBalance, Describe({1, 2, 3}));
  copy.clear();
  EXPECT_EQ(desc.GetPropDesc(kEdsPropID_WhiteBalance, Describe({})).size(), 18u);

  const auto kelvin = desc.GetPropDesc(kEdsPropID_ColorTemperature, Describe({}));
  ASSERT_EQ(kelvin.size(), 73u);
  EXPECT_EQ(Pairs({kelvin.front(), kelvin.back()}), (TPairs{{2800, "2800"}, {10000, "10000"}}));
  EXPECT_EQ(Pairs(desc.GetPropDesc(kEdsPropID_DriveMode, Describe({7}))),
            (TPairs{{0, "Single"}, {0x11, "2-Sec Self-Timer"}}));
}

TEST(CameraPropDescTest, CodesWithoutALabelAreListedInDecimal) {
  TCanonPropDesc desc;
  // No table for picture style.
  EXPECT_EQ(Pairs(desc.GetPropDesc(kEdsPropID_PictureStyle, Describe({0x81, 0x21, -5}))),
            (TPairs{{0x81, "129"}, {0x21, "33"}, {-5, "-5"}}));
  // A code the ISO table does not hold is kept, in decimal.
  EXPECT_EQ(Pairs(desc.GetPropDesc(kEdsPropID_ISOSpeed, Describe({0x48, 0x49}))),
            (TPairs{{0x48, "100"}, {0x49, "73"}}));
}

TEST(CameraPropDescTest, OutOfRangeElementCountsAreClamped) {
  TCanonPropDesc desc;
  EdsPropertyDesc bad{};
  bad.numElements = -3;
  EXPECT_TRUE(desc.GetPropDesc(kEdsPropID_Tv, bad).empty());
  bad.numElements = 100000;
  EXPECT_EQ(desc.GetPropDesc(kEdsPropID_Tv, bad).size(), 128u);
}
