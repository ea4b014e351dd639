// What a mode change and each kind of setting change write: the camera's
// properties as the simulated camera recorded them, and the board's packets.
#include "ShootingViewFixture.h"

namespace {

using K = TTakePictureConfigurationKind;

struct TWrite {
  EdsPropertyID Id;
  std::int64_t Param;
  std::vector<std::int32_t> Data;
  bool operator==(const TWrite&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TWrite& w) {
  out << "{0x" << std::hex << w.Id << std::dec << " param " << w.Param << " :";
  for (std::int32_t d : w.Data) out << ' ' << d;
  return out << '}';
}

std::vector<TWrite> Writes() {
  std::vector<TWrite> writes;
  for (const auto& call : SimCamera::CallsOf("EdsSetPropertyData")) writes.push_back({call.Id, call.Param, call.Data});
  return writes;
}

TWrite Style(std::int32_t contrast, std::int32_t sharpness, std::int32_t saturation, std::int32_t tone,
             const EdsPictureStyleDesc& rest) {
  return {kEdsPropID_PictureStyleDesc,
          kEdsPictureStyle_User1,
          {contrast, sharpness, saturation, tone, static_cast<std::int32_t>(rest.filterEffect),
           static_cast<std::int32_t>(rest.toningEffect)}};
}

struct TSetting : ISetting {
  TSetting(int kind, std::int32_t value) : Kind(static_cast<K>(kind)), Value(value) {}
  K Kind;
  std::int32_t Value;
  K GetKind() override { return Kind; }
  std::int32_t GetValue() override { return Value; }
  void SetValue(const std::int32_t) override {}
  void Initialize(const K) override {}
  void Read(TTakePictureConfiguration&) override {}
  void Write(const TTakePictureConfiguration&) override {}
};

const Bytes White5 = {0xAA, 0xC1, 0x00, 0x7F, 0x00, 0xEA, 0xBB};
const Bytes White10 = {0xAA, 0xC1, 0x00, 0xFF, 0x00, 0x6A, 0xBB};
const Bytes WarmWhite1 = {0xAA, 0xC1, 0x19, 0x00, 0x00, 0x84, 0xBB};
const Bytes MotorDown5 = {0xAA, 0xC3, 0x00, 0xCD, 0x00, 0x3A, 0xBB};

TEST_F(ShootingView, ModeAndSettingChangesWriteTheirPropertiesAndPackets) {
  TTakePictureConfiguration& cfg = Mode(TTakePictureMode::Sulo);
  cfg.Shutter = 0x60;
  cfg.Diaphragm = 0x30;
  cfg.ISO = 0x58;
  cfg.WhiteBalance = 2;
  cfg.WhiteBalanceRevision = 5200;
  cfg.FileSize = 0x0013FF0F;
  cfg.ColorGainG = -3;
  cfg.ColorGainB = 4;
  cfg.ColorTone = 1;
  cfg.Saturation = -2;
  cfg.Contrast = 3;
  cfg.Sharpness = 5;
  cfg.ShutterDelay = 60;
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  PumpFor(300);
  TCanon& camera = FGlobal->Canon();
  // The camera's own state before each change, unlike the mode's settings.
  const EdsPictureStyleDesc held{-4, 7, 4, -4, 2, 3};
  auto holdCameraState = [&] {
    camera.SetPictureStyleDesc(held);
    SimCamera::SetWhiteBalanceShift(7, -7);
    SimCamera::ClearCalls();
  };

  struct TRow {
    const char* Name;
    std::function<void()> Change;
    std::vector<TWrite> Writes;
    std::vector<Bytes> Packets;
  };
  // As the settings window's spinners tell it, through the bus.
  auto setting = [](int kind, std::int32_t value) {
    return [kind, value] {
      TSetting s(kind, value);
      Notify<ISettingChanged>(&ISettingChanged::SettingChanged, static_cast<ISetting*>(&s));
    };
  };
  const TRow rows[] = {
      {"ModeChange",
       [view] { view->SubMenuChanged(TTakePictureMode::Sulo); },
       {{kEdsPropID_Tv, 0, {0x60}},
        {kEdsPropID_Av, 0, {0x30}},
        {kEdsPropID_ISOSpeed, 0, {0x58}},
        {kEdsPropID_WhiteBalance, 0, {2}},
        {kEdsPropID_ImageQuality, 0, {0x0013FF0F}},
        {kEdsPropID_WhiteBalanceShift, 0, {7, -3}},  // G first, then B
        {kEdsPropID_WhiteBalanceShift, 0, {4, -3}},
        {kEdsPropID_DriveMode, 0, {0}},
        Style(3, 5, -2, 1, held)},
       {White5, MotorDown5}},
      {"Shutter", setting(int(K::Shutter), 0x68), {{kEdsPropID_Tv, 0, {0x68}}}, {}},
      {"Diaphragm", setting(int(K::Diaphragm), 0x38), {{kEdsPropID_Av, 0, {0x38}}}, {}},
      {"ISO", setting(int(K::ISO), 0x60), {{kEdsPropID_ISOSpeed, 0, {0x60}}}, {}},
      {"ISO+128", setting(int(K::ISO) + 128, 0x50), {{kEdsPropID_ISOSpeed, 0, {0x50}}}, {}},
      {"WhiteBalance", setting(int(K::WhiteBalance), 9), {{kEdsPropID_WhiteBalance, 0, {9}}}, {}},
      {"WhiteBalanceRevision", setting(int(K::WhiteBalanceRevision), 6500),
       {{kEdsPropID_ColorTemperature, 0, {6500}}}, {}},
      {"FileSize", setting(int(K::FileSize), 0x0010FF0F), {{kEdsPropID_ImageQuality, 0, {0x0010FF0F}}}, {}},
      {"ColorGainG", setting(int(K::ColorGainG), 2), {{kEdsPropID_WhiteBalanceShift, 0, {7, 2}}}, {}},
      {"ColorGainB", setting(int(K::ColorGainB), -5), {{kEdsPropID_WhiteBalanceShift, 0, {-5, -7}}}, {}},
      {"Hue", setting(int(K::Hue), -1), {Style(3, 5, -2, -1, held)}, {}},
      {"Saturation", setting(int(K::Saturation), 2), {Style(3, 5, 2, 1, held)}, {}},
      {"Contrast", setting(int(K::Contrast), -3), {Style(-3, 5, -2, 1, held)}, {}},
      {"Sharpness", setting(int(K::Sharpness), 1), {Style(3, 1, -2, 1, held)}, {}},
      {"Lighting0", setting(int(K::Lighting), 0), {}, {LightsOff}},
      {"LightingWarmWhite",
       [&] {
         cfg.LightingBrightness = 1;
         setting(int(K::Lighting), 3)();
         cfg.LightingBrightness = 5;
       },
       {},
       {WarmWhite1}},
      {"LightingBrightness", setting(int(K::LightingBrightness), 10), {}, {White10}},
      {"Activation", setting(int(K::Activation), 1), {}, {}},
      {"ShutterDelay", setting(int(K::ShutterDelay), 70), {}, {}},
      {"MotorLocation", setting(int(K::MotorLocation), 30), {}, {}},
      {"MotorSpeed", setting(int(K::MotorSpeed), 3), {}, {}},
      {"GuideX", setting(int(K::GuideX), 100), {}, {}},
      {"GuideY", setting(int(K::GuideY), 100), {}, {}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    holdCameraState();
    const std::size_t before = FBoard.Packets().size();
    row.Change();
    EXPECT_EQ(Writes(), row.Writes);
    if (!row.Packets.empty()) FBoard.WaitForPackets(before + row.Packets.size(), 5000);
    PumpFor(150);
    std::vector<Bytes> packets;
    for (const auto& p : PacketsSince(before)) packets.push_back(B(p));
    EXPECT_EQ(packets, row.Packets);
  }
  EXPECT_EQ(view->TimerShoot->Interval(), 600) << "the mode's shutter delay";

  // A picture style that cannot be read is not written back with zeros.
  holdCameraState();
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY);
  setting(int(K::Contrast), 2)();
  EXPECT_EQ(Writes(), std::vector<TWrite>{});
  const EdsPictureStyleDesc now = SimCamera::PictureStyleUser1();
  EXPECT_EQ(now.filterEffect, held.filterEffect);
  EXPECT_EQ(now.toningEffect, held.toningEffect);
}

}  // namespace
