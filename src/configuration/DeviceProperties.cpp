#include "configuration/DeviceProperties.h"

#include <cstdio>
#include <cstdlib>

TDeviceProperties* TDeviceProperties::FInstance = nullptr;

std::string HundredthsLabel(std::int32_t code) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%s%d.%02d", code < 0 ? "-" : "", std::abs(code) / 100, std::abs(code) % 100);
  return buf;
}

namespace {

void AddScale(TDevicePropertyList& list, std::int32_t from, std::int32_t to) {
  for (std::int32_t code = from; code <= to; ++code) list.emplace_back(code, std::to_string(code));
}

void AddHundredths(TDevicePropertyList& list, std::int32_t from, std::int32_t to, std::int32_t step = 1) {
  for (std::int32_t code = from; code <= to; code += step) list.emplace_back(code, HundredthsLabel(code));
}

}  // namespace

TMotor::TMotor() {
  AddScale(FSpeed, 1, 10);
  FLocation.emplace_back(MotorLocationNone, "None");
  FLocation.emplace_back(MotorLocationUp, "Up");
  FLocation.emplace_back(MotorLocationDown, "Down");
  AddHundredths(FLocation, 20, 55);
}

TLight::TLight() {
  AddScale(FBrightness, 0, 10);
  FKind = {{0, "None"}, {1, "White"}, {2, "UV"}, {3, "Warm White"}, {4, "White + Warm White"},
           {5, "White + Warm White + UV"}};
}

TCamera::TCamera() {
  FDriveMode.emplace_back(0, "Single");
  AddHundredths(FDriveMode, 50, 75, 5);
  AddHundredths(FDriveMode, 76, 85);
  AddHundredths(FDriveMode, 90, 100);
  AddHundredths(FDriveMode, 105, 115, 5);
  AddScale(FWhiteBalanceShiftBlueAmber, -10, 10);
  AddScale(FWhiteBalanceShiftGreenMagenta, -10, 10);
  AddScale(FContrast, -4, 4);
  AddScale(FSaturation, -4, 4);
  AddScale(FSharpness, 0, 7);
  AddScale(FColorTone, -4, 4);
}

// Motor group first (speed, then location), then lights, then camera.
TDeviceProperties::TDeviceProperties()
    : FMotor(std::make_unique<TMotor>()), FLight(std::make_unique<TLight>()), FCamera(std::make_unique<TCamera>()) {}
