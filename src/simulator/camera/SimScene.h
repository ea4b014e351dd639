// The synthetic scene the simulated camera looks at, and its JPEG encoding.
//
// The scene is drawn in sensor coordinates (5184 x 3456) as the booth's camera
// sees it: mounted on its side, so the upright scene (3456 wide, 5184 tall)
// lies turned a quarter turn anticlockwise on the sensor, and the program's
// quarter turn clockwise stands it up. Upright it is a lit face on a studio
// backdrop, with asymmetric markers in three corners (red square top-left,
// blue disc top-right, yellow arrow pointing up at the top centre: a wrong
// turn or a mirror image is plain to see), fine skin texture, spots on the
// skin that fluoresce under UV, and a checkerboard target at the bottom left
// (so the x10 zoom and the focus are plain to see). Defocus softens every edge.
#pragma once

#include <cstdint>
#include <vector>

namespace SimScene {

constexpr double SensorWidth = 5184.0;
constexpr double SensorHeight = 3456.0;

// What the lights and the camera's settings make of the scene: each channel of
// the neutrally lit scene is scaled by Gain, and the fluorescent spots add
// Glow (pixel values at full spot coverage). The neutral look changes nothing.
struct TLook {
  float Gain[3] = {1, 1, 1};
  float Glow[3] = {0, 0, 0};
  friend bool operator==(const TLook&, const TLook&) = default;
};

struct TView {
  int Width = 0;         // output pixels
  int Height = 0;
  double X0 = 0;         // sensor position of the output's top-left corner
  double Y0 = 0;
  double Scale = 1;      // sensor units per output pixel
  int Defocus = 0;       // lens steps away from sharp focus
  bool Noise = false;    // add sensor grain (pictures)
  TLook Look;
};

// RGB, 3 bytes per pixel, rows top to bottom.
std::vector<std::uint8_t> Render(const TView& view);

// Writes `number` in large digits into the top-left corner of an RGB image.
void DrawCounter(std::vector<std::uint8_t>& rgb, int width, int height, std::uint64_t number);

// The JPEG qualities of the simulated camera's pictures and live-view frames.
constexpr int PictureQuality = 80;
constexpr int FrameQuality = 75;

// Baseline JPEG of an RGB image; empty if encoding failed.
//
// A build without a JPEG library (Windows: Debian has none for its cross
// compilers) is fed pictures made on the build host instead, by
// sulo_sim_pictures: the picture prepared for this size and quality, whatever
// `rgb` holds (so frames show neither zoom, focus nor their counter), and
// nothing for a size and quality that was not prepared.
std::vector<std::uint8_t> EncodeJpeg(const std::uint8_t* rgb, int width, int height, int quality);

}  // namespace SimScene
