#include "simulator/camera/SimScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace SimScene {
namespace {

struct TColor {
  float R, G, B;
};

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of a shape from its signed distance (negative inside), with an
// edge `soft` sensor units wide.
inline float Cover(float distance, float soft) { return Clamp01(0.5f - distance / soft); }

inline void Mix(TColor& c, const TColor& over, float a) {
  if (a <= 0) return;
  c.R += (over.R - c.R) * a;
  c.G += (over.G - c.G) * a;
  c.B += (over.B - c.B) * a;
}

inline float EllipseDistance(float x, float y, float cx, float cy, float rx, float ry) {
  const float nx = (x - cx) / rx, ny = (y - cy) / ry;
  return (std::sqrt(nx * nx + ny * ny) - 1.0f) * std::min(rx, ry);
}

inline float BoxDistance(float x, float y, float cx, float cy, float hx, float hy) {
  return std::max(std::fabs(x - cx) - hx, std::fabs(y - cy) - hy);
}

// Square wave of period 2*cell with soft edges, in -1..1.
inline float SoftSquare(float v, float cell, float soft) {
  float f = std::fmod(v, 2 * cell);
  if (f < 0) f += 2 * cell;
  const float sign = f < cell ? 1.0f : -1.0f;
  const float edge = std::min({f, std::fabs(f - cell), 2 * cell - f});
  return sign * std::min(1.0f, edge / (soft * 0.5f));
}

inline std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// The upright scene at (u, v), u across (0 to 3456), v down (0 to 5184).
// `fluorescent` is set to the coverage of the skin's spots that glow under UV,
// worked out only when `glow` asks for it.
TColor Shade(float u, float v, float soft, bool glow, float& fluorescent) {
  constexpr float W = static_cast<float>(SensorHeight), H = static_cast<float>(SensorWidth);
  constexpr float FaceU = W / 2, FaceV = 2500;
  // Backdrop: cool grey at the top to warm grey at the bottom, darker corners.
  const float t = v / H;
  TColor c{58 + 60 * t, 66 + 46 * t, 82 + 20 * t};
  const float du = (u - W / 2) / W, dv = (v - H / 2) / H;
  const float vignette = 1.0f - 0.9f * (du * du + dv * dv);
  c.R *= vignette;
  c.G *= vignette;
  c.B *= vignette;

  // Orientation markers: red square top-left, blue disc top-right, yellow
  // arrow pointing up at the top centre.
  if (u < 1100 && v < 1100) Mix(c, {210, 40, 40}, Cover(BoxDistance(u, v, 600, 600, 300, 300), soft));
  if (u > W - 1100 && v < 1100) Mix(c, {40, 80, 220}, Cover(EllipseDistance(u, v, W - 600, 600, 300, 300), soft));
  if (v < 1000 && std::fabs(u - FaceU) < 400) {
    const float d = std::max({350 - v, (v - 850), (std::fabs(u - FaceU) - (v - 350) * 0.6f) * 0.86f});
    Mix(c, {235, 205, 40}, Cover(d, soft));
  }

  // Checkerboard focus target, bottom-left (clear of the picture's markers
  // in the bottom corners).
  if (u < 1400 && v > 3900 && v < 4800) {
    const float inside = Cover(BoxDistance(u, v, 800, 4350, 500, 350), soft);
    if (inside > 0) {
      const float s = SoftSquare(u, 100, soft) * SoftSquare(v, 100, soft);
      const float g = 128 + 110 * s;
      Mix(c, {g, g, g}, inside);
    }
  }

  // Face with fine skin texture, lit from the upper left.
  if (std::fabs(u - FaceU) < 880 && std::fabs(v - FaceV) < 1160) {
    const float face = Cover(EllipseDistance(u, v, FaceU, FaceV, 780, 1060), soft);
    if (face > 0) {
      const float light = 0.82f + 0.18f * Clamp01(0.5f - (u - FaceU) / 1560 - (v - FaceV) / 2120);
      const float pores = 5.0f * std::sin(u * 0.16f) * std::sin(v * 0.19f) * Clamp01(8.0f / soft);
      TColor skin{(226 + pores) * light, (182 + pores) * light, (152 + pores) * light};
      Mix(c, skin, face);
      // Spots on the skin (forehead, cheeks, nose), one at most in each cell
      // of a grid, away from the eyes and the mouth.
      if (glow && std::fabs(u - FaceU) < 640 && v > 1650 && v < 3250 &&
          EllipseDistance(u, v, FaceU, 2980, 360, 140) > 0 &&
          std::min(EllipseDistance(u, v, FaceU - 290, 2280, 200, 120), EllipseDistance(u, v, FaceU + 290, 2280, 200, 120)) > 0) {
        constexpr float Cell = 110;
        const float cu = std::floor(u / Cell), cv = std::floor(v / Cell);
        const std::uint32_t h = Hash(static_cast<std::uint32_t>(cu) * 73856093u ^ static_cast<std::uint32_t>(cv) * 19349663u);
        if ((h & 3) == 0) {
          const float su = (cu + 0.5f) * Cell + static_cast<float>((h >> 4) & 63) * 0.8f - 25;
          const float sv = (cv + 0.5f) * Cell + static_cast<float>((h >> 10) & 63) * 0.8f - 25;
          const float radius = 14 + static_cast<float>((h >> 16) & 15);
          fluorescent = face * Cover(EllipseDistance(u, v, su, sv, radius, radius), soft);
        }
      }
      Mix(c, {48, 36, 34}, Cover(EllipseDistance(u, v, FaceU - 290, 2280, 130, 65), soft));
      Mix(c, {48, 36, 34}, Cover(EllipseDistance(u, v, FaceU + 290, 2280, 130, 65), soft));
      Mix(c, {172, 84, 84}, Cover(EllipseDistance(u, v, FaceU, 2980, 280, 75), soft));
      // A mole on one cheek only, so a mirrored face differs from the original.
      Mix(c, {90, 60, 50}, Cover(EllipseDistance(u, v, FaceU + 360, 2740, 28, 28), soft));
    }
  }
  return c;
}

// Highlights roll off instead of clipping, as a camera's tone curve does, so
// a brightly lit face keeps its shape.
inline std::uint8_t Shoulder(float v) {
  constexpr float Knee = 192, Room = 255 - Knee;
  if (v > Knee) v = Knee + Room * (v - Knee) / (v - Knee + Room);
  return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f));
}

// 5 x 7 digit glyphs, one byte per row, bit 4 leftmost.
constexpr std::uint8_t Glyphs[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

}  // namespace

std::vector<std::uint8_t> Render(const TView& view) {
  const int w = std::max(view.Width, 1), h = std::max(view.Height, 1);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
  const float soft = static_cast<float>(std::max(view.Scale, 1.0) * 0.9 + view.Defocus * 9.0);
  const TLook& look = view.Look;
  const bool glow = look.Glow[0] > 0 || look.Glow[1] > 0 || look.Glow[2] > 0;
  for (int j = 0; j < h; ++j) {
    const float y = static_cast<float>(view.Y0 + (j + 0.5) * view.Scale);
    const float u = static_cast<float>(SensorHeight) - y;  // the camera lies on its side
    std::uint8_t* row = rgb.data() + static_cast<std::size_t>(j) * w * 3;
    for (int i = 0; i < w; ++i) {
      const float x = static_cast<float>(view.X0 + (i + 0.5) * view.Scale);
      float fluorescent = 0;
      TColor c = Shade(u, x, soft, glow, fluorescent);
      c.R = c.R * look.Gain[0] + fluorescent * look.Glow[0];
      c.G = c.G * look.Gain[1] + fluorescent * look.Glow[1];
      c.B = c.B * look.Gain[2] + fluorescent * look.Glow[2];
      if (view.Noise) {
        const float n = static_cast<float>(Hash(static_cast<std::uint32_t>(j * 7919 + i)) & 7) - 3.5f;
        c.R += n;
        c.G += n;
        c.B += n;
      }
      row[i * 3 + 0] = Shoulder(c.R);
      row[i * 3 + 1] = Shoulder(c.G);
      row[i * 3 + 2] = Shoulder(c.B);
    }
  }
  return rgb;
}

void DrawCounter(std::vector<std::uint8_t>& rgb, int width, int height, std::uint64_t number) {
  char text[24];
  const int len = std::snprintf(text, sizeof text, "%06llu", static_cast<unsigned long long>(number));
  const int cell = 4, margin = 12;
  const int boxW = len * 6 * cell + cell, boxH = 9 * cell;
  auto put = [&](int x, int y, std::uint8_t v) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    p[0] = p[1] = p[2] = v;
  };
  for (int y = 0; y < boxH; ++y)
    for (int x = 0; x < boxW; ++x) put(margin + x, margin + y, 0);
  for (int k = 0; k < len; ++k) {
    const int digit = text[k] - '0';
    for (int r = 0; r < 7; ++r)
      for (int b = 0; b < 5; ++b)
        if (Glyphs[digit][r] & (0x10 >> b))
          for (int yy = 0; yy < cell; ++yy)
            for (int xx = 0; xx < cell; ++xx)
              put(margin + cell + (k * 6 + b) * cell + xx, margin + cell + r * cell + yy, 255);
  }
}

}  // namespace SimScene
