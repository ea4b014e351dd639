#include "simulator/camera/SimLook.h"

#include <algorithm>
#include <cmath>

namespace SimScene {
namespace {

struct TRgb {
  double R, G, B;
};

// The level a light packet's byte gives relative to brightness 7 of 10, at
// which the booth's lights expose the scene as drawn.
constexpr double ReferenceLevel = 178;
// What still lights the booth with every light off.
constexpr double Ambient = 0.04;
// UV lamps leak a little deep violet; the skin's spots glow orange-red.
constexpr TRgb UvLeak{0.12, 0.04, 0.34};
constexpr TRgb SpotGlow{240, 120, 60};

// Stops of a code: eight to a stop, 3 and 5 are thirds, 4 a half.
double Stops(std::uint32_t code) {
  const std::uint32_t step = code & 7;
  const double fraction = step == 3 ? 1.0 / 3 : step == 5 ? 2.0 / 3 : step / 8.0;
  return static_cast<double>(code >> 3) + fraction;
}

// A light of colour temperature `kelvin` against the scene's neutral 5200 K,
// green held at 1.
TRgb Tint(double kelvin) {
  const double t = std::log2(kelvin / 5200);
  return {std::exp2(-0.55 * t), 1, std::exp2(0.8 * t)};
}

// The temperature a preset assumes; 0 for Auto.
double WhiteBalanceKelvin(const TCameraSettings& camera) {
  switch (camera.WhiteBalance) {
    case 0: return 0;
    case 2: return 6000;  // cloudy
    case 3: return 3200;  // tungsten
    case 4: return 4000;  // fluorescent
    case 5: return 6000;  // flash
    case 8: return 7000;  // shade
    case 9: return std::clamp<double>(camera.ColorTemperature, 2500, 10000);
    default: return 5200;  // daylight, and the manual and custom ones
  }
}

}  // namespace

double ExposureStops(const TCameraSettings& camera) {
  double stops = 0;
  if (camera.Tv >= 0x10 && camera.Tv <= 0xA0) stops -= Stops(camera.Tv) - Stops(0x70);
  if (camera.Av >= 0x08 && camera.Av <= 0x70) stops -= Stops(camera.Av) - Stops(0x38);
  if (camera.ISO >= 0x40 && camera.ISO <= 0x98) stops += Stops(camera.ISO) - Stops(0x48);
  return stops;
}

TLook LookOf(const std::optional<SimLights::TLevels>& lights, const TCameraSettings& camera) {
  TRgb light{1, 1, 1};
  double uv = 0;
  if (lights) {
    const double white = lights->White / ReferenceLevel, warm = lights->WarmWhite / ReferenceLevel;
    uv = lights->UV / ReferenceLevel;
    const TRgb cool = Tint(5600), amber = Tint(3000);
    light = {Ambient + white * cool.R + warm * amber.R + uv * UvLeak.R,
             Ambient + white * cool.G + warm * amber.G + uv * UvLeak.G,
             Ambient + white * cool.B + warm * amber.B + uv * UvLeak.B};
  }
  double kelvin = WhiteBalanceKelvin(camera);
  if (kelvin == 0) {
    // Auto reads the cast along the warm-cold line only, within the
    // temperatures it knows, and takes away half of it.
    const double t = std::clamp(-std::log2(light.R / light.B) / 1.35, std::log2(3000.0 / 5200), std::log2(7500.0 / 5200));
    kelvin = 5200 * std::exp2(0.5 * t);
  }
  const TRgb assumed = Tint(kelvin);
  const TRgb correction{std::exp2(0.03 * camera.ShiftBlueAmber) / assumed.R,
                        std::exp2(0.03 * camera.ShiftGreenMagenta) / assumed.G,
                        std::exp2(-0.03 * camera.ShiftBlueAmber) / assumed.B};
  const double exposure = std::exp2(std::clamp(ExposureStops(camera), -10.0, 10.0));
  // Pixel values follow the light's power to 1/2.2.
  auto encode = [](double linear) { return static_cast<float>(std::pow(std::max(linear, 0.0), 1 / 2.2)); };
  TLook look;
  look.Gain[0] = encode(light.R * correction.R * exposure);
  look.Gain[1] = encode(light.G * correction.G * exposure);
  look.Gain[2] = encode(light.B * correction.B * exposure);
  if (uv > 0) {
    look.Glow[0] = static_cast<float>(SpotGlow.R) * encode(uv * correction.R * exposure);
    look.Glow[1] = static_cast<float>(SpotGlow.G) * encode(uv * correction.G * exposure);
    look.Glow[2] = static_cast<float>(SpotGlow.B) * encode(uv * correction.B * exposure);
  }
  return look;
}

}  // namespace SimScene
