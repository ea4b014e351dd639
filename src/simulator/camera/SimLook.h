// How the booth's lights and the camera's exposure and colour settings make
// the simulated scene look.
//
// Exposure: the camera's codes step by eight per stop (thirds at 3 and 5,
// halves at 4), Tv and Av darker as they rise, ISO brighter; 1/125 s, f/8 and
// ISO 100 (the booth's shipped settings) expose the scene as drawn. Codes
// outside the timed speeds, apertures and sensitivities (Bulb, Auto, none)
// leave the exposure to the camera: as drawn.
// Colour: each light has its own tint and the level its byte gives; the
// camera's white balance (a preset, its colour temperature, or Auto, which
// takes away part of a warm or cold cast but cannot take away UV's violet)
// and its blue/amber and green/magenta shift correct it.
#pragma once

#include <cstdint>
#include <optional>

#include "simulator/camera/SimScene.h"
#include "simulator/lights/SimLights.h"

namespace SimScene {

struct TCameraSettings {
  std::uint32_t Tv = 0x70;
  std::uint32_t Av = 0x38;
  std::uint32_t ISO = 0x48;
  std::uint32_t WhiteBalance = 0;
  std::uint32_t ColorTemperature = 5200;
  std::int32_t ShiftBlueAmber = 0;
  std::int32_t ShiftGreenMagenta = 0;
};

// Stops brighter (positive) or darker than the reference exposure.
double ExposureStops(const TCameraSettings& camera);

// The look under `lights`; with no light information the scene is lit
// neutrally, as drawn, and only the camera's settings change it.
TLook LookOf(const std::optional<SimLights::TLevels>& lights, const TCameraSettings& camera);

}  // namespace SimScene
