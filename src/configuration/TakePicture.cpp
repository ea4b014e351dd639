#include "configuration/TakePicture.h"

std::string ModeName(TTakePictureMode mode) {
  switch (mode) {
    case TTakePictureMode::Default: return "Default";
    case TTakePictureMode::Sulo: return "Sulo";
    case TTakePictureMode::Portrait: return "Portrait";
    case TTakePictureMode::UV: return "UV";
    case TTakePictureMode::Polarization: return "Polarization";
    case TTakePictureMode::DermalLight: return "DermalLight";
  }
  return "";
}

std::int32_t* TTakePictureConfiguration::Field(TTakePictureConfigurationKind kind) {
  using K = TTakePictureConfigurationKind;
  switch (kind) {
    case K::Activation: return nullptr;
    case K::Shutter: return &Shutter;
    case K::ShutterDelay: return &ShutterDelay;
    case K::Diaphragm: return &Diaphragm;
    case K::ISO: return &ISO;
    case K::WhiteBalance: return &WhiteBalance;
    case K::WhiteBalanceRevision: return &WhiteBalanceRevision;
    case K::FileSize: return &FileSize;
    case K::Lighting: return &Lighting;
    case K::LightingBrightness: return &LightingBrightness;
    case K::MotorLocation: return &MotorLocation;
    case K::MotorSpeed: return &MotorSpeed;
    case K::ColorGainG: return &ColorGainG;
    case K::ColorGainB: return &ColorGainB;
    case K::Hue: return &ColorTone;
    case K::Saturation: return &Saturation;
    case K::Contrast: return &Contrast;
    case K::Sharpness: return &Sharpness;
    case K::GuideX: return &GuideX;
    case K::GuideY: return &GuideY;
  }
  return nullptr;
}

std::int32_t TTakePictureConfiguration::GetValue(TTakePictureConfigurationKind kind) const {
  if (kind == TTakePictureConfigurationKind::Activation) return Active ? 1 : 0;
  const std::int32_t* field = const_cast<TTakePictureConfiguration*>(this)->Field(kind);
  return field ? *field : 0;
}

void TTakePictureConfiguration::SetValue(TTakePictureConfigurationKind kind, std::int32_t value) {
  if (kind == TTakePictureConfigurationKind::Activation) {
    Active = value == 1;
    return;
  }
  if (std::int32_t* field = Field(kind)) *field = value;
}
