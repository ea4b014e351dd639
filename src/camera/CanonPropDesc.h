// The camera's property codes turned into choices (code and label) for the
// settings window.
//
// Six properties are labelled from code-to-label maps, in the order the camera
// lists its codes; drive mode, white balance and colour temperature come from
// fixed lists whatever the camera reports; any other property gets its codes
// labelled in decimal. A code the camera reports that a map does not hold is
// listed with its decimal value too. Built once; after construction only read,
// so GetPropDesc may run on any thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "camera/EDSDK.h"
#include "configuration/DeviceProperties.h"

class TCanonPropDesc {
 public:
  TCanonPropDesc();

  // A new list the caller owns. Only the first numElements codes of
  // PropDesc.propDesc are read (numElements is clamped to 0..128).
  TDevicePropertyList GetPropDesc(EdsUInt32 PropID, const EdsPropertyDesc& PropDesc) const;

  // The label of `code` in the table of `PropID` (decimal when it has none).
  std::string Label(EdsUInt32 PropID, std::int32_t code) const;

 private:
  using TMap = std::map<std::int32_t, std::string>;

  void CreateISOSpeedDesc();
  void CreateMeteringModeDesc();
  void CreateAvDesc();
  void CreateTvDesc();
  void CreateExposureCompensationDesc();
  void CreateDriveModeDesc();
  void CreateWhiteBalanceDesc();
  void CreateColorTemperatureDesc();
  void CreateImageQualityDesc();
  const TMap* MapOf(EdsUInt32 PropID) const;
  const TDevicePropertyList* ListOf(EdsUInt32 PropID) const;

  TMap FISOSpeed;
  TMap FMeteringMode;
  TMap FAv;
  TMap FTv;
  TMap FExposureCompensation;
  TMap FImageQuality;
  TDevicePropertyList FDriveMode;
  TDevicePropertyList FWhiteBalance;
  TDevicePropertyList FColorTemperature;
};
