// Choices and the fixed option tables behind the settings that are not read
// from the camera (lights, motor, shutter delay, white-balance shift and the
// picture-style parameters).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One choice: the code stored in a configuration record and sent to the
// device, and the label the operator sees. Immutable.
class TDeviceProperty {
 public:
  TDeviceProperty(std::int32_t id, std::string text) : FID(id), FText(std::move(text)) {}
  std::int32_t ID() const { return FID; }
  const std::string& Text() const { return FText; }

 private:
  std::int32_t FID;
  std::string FText;
};

// An ordered list of choices that owns its entries. Order is significant.
using TDevicePropertyList = std::vector<TDeviceProperty>;

// Motor location codes that are not timed travels.
constexpr std::int32_t MotorLocationNone = 0xF000;
constexpr std::int32_t MotorLocationUp = 0xF001;
constexpr std::int32_t MotorLocationDown = 0xF002;

class TMotor {
 public:
  TMotor();
  const TDevicePropertyList& Speed() const { return FSpeed; }
  const TDevicePropertyList& Location() const { return FLocation; }

 private:
  TDevicePropertyList FSpeed;
  TDevicePropertyList FLocation;
};

class TLight {
 public:
  TLight();
  const TDevicePropertyList& Brightness() const { return FBrightness; }
  const TDevicePropertyList& Kind() const { return FKind; }

 private:
  TDevicePropertyList FBrightness;
  TDevicePropertyList FKind;
};

class TCamera {
 public:
  TCamera();
  const TDevicePropertyList& DriveMode() const { return FDriveMode; }
  const TDevicePropertyList& WhiteBalanceShiftBlueAmber() const { return FWhiteBalanceShiftBlueAmber; }
  const TDevicePropertyList& WhiteBalanceShiftGreenMagenta() const { return FWhiteBalanceShiftGreenMagenta; }
  const TDevicePropertyList& Contrast() const { return FContrast; }
  const TDevicePropertyList& Saturation() const { return FSaturation; }
  const TDevicePropertyList& Sharpness() const { return FSharpness; }
  const TDevicePropertyList& ColorTone() const { return FColorTone; }

 private:
  TDevicePropertyList FDriveMode;
  TDevicePropertyList FWhiteBalanceShiftBlueAmber;
  TDevicePropertyList FWhiteBalanceShiftGreenMagenta;
  TDevicePropertyList FContrast;
  TDevicePropertyList FSaturation;
  TDevicePropertyList FSharpness;
  TDevicePropertyList FColorTone;
};

class TDeviceProperties {
 public:
  // The process-wide tables; made and destroyed explicitly by the program.
  static TDeviceProperties* FInstance;

  TDeviceProperties();
  const TMotor& Motor() const { return *FMotor; }
  const TCamera& Camera() const { return *FCamera; }
  const TLight& Light() const { return *FLight; }

 private:
  std::unique_ptr<TMotor> FMotor;
  std::unique_ptr<TLight> FLight;
  std::unique_ptr<TCamera> FCamera;
};

// "0.55" for 55: hundredths of a second with two decimals.
std::string HundredthsLabel(std::int32_t code);
