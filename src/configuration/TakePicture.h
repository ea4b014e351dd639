// Shooting modes, the kinds of setting and one mode's settings record.
#pragma once

#include <cstdint>
#include <string>

enum class TTakePictureMode : std::uint8_t { Default = 0, Sulo, Portrait, UV, Polarization, DermalLight };

constexpr int TakePictureModeCount = 6;

enum class TTakePictureConfigurationKind : std::uint8_t {
  Activation = 0,
  Shutter,
  ShutterDelay,
  Diaphragm,
  ISO,
  WhiteBalance,
  WhiteBalanceRevision,
  FileSize,
  Lighting,
  LightingBrightness,
  MotorLocation,
  MotorSpeed,
  ColorGainG,
  ColorGainB,
  Hue,
  Saturation,
  Contrast,
  Sharpness,
  GuideX,
  GuideY
};

constexpr int TakePictureConfigurationKindCount = 20;

// The mode's name, which is also its configuration section ("Default", "Sulo"...).
std::string ModeName(TTakePictureMode mode);

// One mode's settings. Values are always choice codes, never list positions.
class TTakePictureConfiguration {
 public:
  bool Active = false;
  std::int32_t Shutter = 0;
  std::int32_t ShutterDelay = 0;
  std::int32_t Diaphragm = 0;
  std::int32_t ISO = 0;
  std::int32_t WhiteBalance = 0;
  std::int32_t WhiteBalanceRevision = 0;
  std::int32_t FileSize = 0;
  std::int32_t Lighting = 0;
  std::int32_t LightingBrightness = 0;
  std::int32_t MotorLocation = 0;
  std::int32_t MotorSpeed = 0;
  std::int32_t ColorGainG = 0;
  std::int32_t ColorGainB = 0;
  std::int32_t ColorTone = 0;
  std::int32_t Saturation = 0;
  std::int32_t Contrast = 0;
  std::int32_t Sharpness = 0;
  std::int32_t GuideX = 0;
  std::int32_t GuideY = 0;

  // Activation reads 1 or 0; a kind outside the twenty reads 0.
  std::int32_t GetValue(TTakePictureConfigurationKind kind) const;
  // Activation is set only by 1; every other kind stores any value unchecked.
  void SetValue(TTakePictureConfigurationKind kind, std::int32_t value);

 private:
  std::int32_t* Field(TTakePictureConfigurationKind kind);
};
