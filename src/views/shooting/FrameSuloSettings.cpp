// The shooting view's mode and setting changes: the camera's properties, the
// lights and the rig of the selected mode, and one setting at a time as the
// settings window changes it.
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/shooting/FrameSulo.h"

namespace {
using K = TTakePictureConfigurationKind;
}  // namespace

void TFrameSulo::SubMenuChanged(TTakePictureMode SubMenu) {
  FMode = SubMenu;
  ChangeTakePictureMode();
}

void TFrameSulo::SetLights(std::int32_t kind, std::int32_t brightness) {
  Board([&](TDeviceModule& m) {
    switch (kind) {
      case 0:
        m.LEDOff();
        break;
      case 1:
        m.WhiteOn(brightness);
        break;
      case 2:
        m.UVOn(brightness);
        break;
      case 3:
        m.WarmWhiteOn(brightness);
        break;
      case 4:
        m.WhiteAndWarmWhiteOn(brightness);
        break;
      case 5:
        m.WhiteAndWarmWhiteAndUVOn(brightness);
        break;
      default:
        break;
    }
  });
}

void TFrameSulo::WritePictureStyle(std::int32_t colorTone, std::int32_t saturation, std::int32_t contrast,
                                   std::int32_t sharpness) {
  TCanon* camera = Camera();
  if (!camera) return;
  // A style that could not be read is not written: its other members (filter
  // and toning effects) would go back as zeros.
  std::optional<EdsPictureStyleDesc> read = camera->ReadPictureStyleDesc();
  if (!read) return;
  EdsPictureStyleDesc style = *read;
  style.colorTone = colorTone;
  style.saturation = saturation;
  style.contrast = contrast;
  style.sharpness = static_cast<EdsUInt32>(sharpness);
  camera->SetPictureStyleDesc(style);
}

void TFrameSulo::ChangeTakePictureMode() {
  TTakePictureConfiguration* cfg = Configuration(FMode);
  FTakePictureConfiguration = cfg;
  if (!cfg) return;
  Trace("ChangeTakePictureMode : " + ModeName(FMode));
  ApplyCameraSettings(*cfg);
  SetLights(cfg->Lighting, cfg->LightingBrightness);
  const std::int32_t location = cfg->MotorLocation;
  const std::int32_t speed = cfg->MotorSpeed;
  Board([&](TDeviceModule& m) {
    if (location == MotorLocationUp)
      m.MotorUp(speed);
    else
      m.MotorDown(speed);
  });
}

void TFrameSulo::ApplyCameraSettings(const TTakePictureConfiguration& config) {
  const TTakePictureConfiguration* cfg = &config;
  if (TCanon* camera = Camera()) {
    camera->SetPropValue(kEdsPropID_Tv, static_cast<EdsUInt32>(cfg->Shutter));
    camera->SetPropValue(kEdsPropID_Av, static_cast<EdsUInt32>(cfg->Diaphragm));
    camera->SetPropValue(kEdsPropID_ISOSpeed, static_cast<EdsUInt32>(cfg->ISO));
    camera->SetPropValue(kEdsPropID_WhiteBalance, static_cast<EdsUInt32>(cfg->WhiteBalance));
    camera->SetPropValue(kEdsPropID_ImageQuality, static_cast<EdsUInt32>(cfg->FileSize));
    camera->SetWhiteBalanceShift(1, cfg->ColorGainG);
    camera->SetWhiteBalanceShift(0, cfg->ColorGainB);
    camera->SetPropValue(kEdsPropID_DriveMode, 0);
  }
  TimerShoot->SetInterval(cfg->ShutterDelay * 10);
  WritePictureStyle(cfg->ColorTone, cfg->Saturation, cfg->Contrast, cfg->Sharpness);
}

void TFrameSulo::SettingChanged(ISetting* Setting) {
  const std::int32_t v = Setting->GetValue();
  TTakePictureConfiguration* cfg = Configuration(FMode);
  const auto kind = static_cast<K>(static_cast<int>(Setting->GetKind()) % 128);
  TCanon* camera = Camera();
  // The kinds that are one camera property each.
  static constexpr std::pair<K, EdsPropertyID> Properties[] = {
      {K::Shutter, kEdsPropID_Tv},           {K::Diaphragm, kEdsPropID_Av},
      {K::ISO, kEdsPropID_ISOSpeed},         {K::WhiteBalance, kEdsPropID_WhiteBalance},
      {K::WhiteBalanceRevision, kEdsPropID_ColorTemperature}, {K::FileSize, kEdsPropID_ImageQuality}};
  for (auto [k, id] : Properties)
    if (k == kind) {
      if (camera) camera->SetPropValue(id, static_cast<EdsUInt32>(v));
      return;
    }
  switch (kind) {
    case K::Lighting:
      if (cfg) SetLights(v, cfg->LightingBrightness);
      break;
    case K::LightingBrightness:
      if (cfg) SetLights(cfg->Lighting, v);
      break;
    case K::ColorGainG:
      if (camera) camera->SetWhiteBalanceShift(1, v);
      break;
    case K::ColorGainB:
      if (camera) camera->SetWhiteBalanceShift(0, v);
      break;
    case K::Hue:
    case K::Saturation:
    case K::Contrast:
    case K::Sharpness:
      if (cfg) {
        std::int32_t tone = cfg->ColorTone, saturation = cfg->Saturation, contrast = cfg->Contrast,
                     sharpness = cfg->Sharpness;
        if (kind == K::Hue) tone = v;
        if (kind == K::Saturation) saturation = v;
        if (kind == K::Contrast) contrast = v;
        if (kind == K::Sharpness) sharpness = v;
        WritePictureStyle(tone, saturation, contrast, sharpness);
      }
      break;
    default:  // Activation, ShutterDelay, MotorLocation, MotorSpeed, GuideX, GuideY: used later or not at all
      break;
  }
}
