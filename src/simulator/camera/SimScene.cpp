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

TColor Shade(float x, float y, float soft) {
  constexpr float W = static_cast<float>(SensorWidth), H = static_cast<float>(SensorHeight);
  // Backdrop: cool grey at the top to warm grey at the bottom, darker corners.
  const float v = y / H;
  TColor c{58 + 60 * v, 66 + 46 * v, 82 + 20 * v};
  const float dx = (x - W / 2) / W, dy = (y - H / 2) / H;
  const float vignette = 1.0f - 0.9f * (dx * dx + dy * dy);
  c.R *= vignette;
  c.G *= vignette;
  c.B *= vignette;

  // Orientation markers: red square top-left, blue disc top-right, yellow
  // arrow pointing up at the top centre.
  if (x < 1100 && y < 1100) Mix(c, {210, 40, 40}, Cover(BoxDistance(x, y, 600, 600, 300, 300), soft));
  if (x > 4200 && y < 1100) Mix(c, {40, 80, 220}, Cover(EllipseDistance(x, y, 4684, 600, 300, 300), soft));
  if (y < 1000 && std::fabs(x - 2592) < 400) {
    const float t = std::max({350 - y, (y - 850), (std::fabs(x - 2592) - (y - 350) * 0.6f) * 0.86f});
    Mix(c, {235, 205, 40}, Cover(t, soft));
  }

  // Checkerboard focus target, bottom-left.
  if (x < 1400 && y > 2350) {
    const float inside = Cover(BoxDistance(x, y, 800, 2856, 500, 350), soft);
    if (inside > 0) {
      const float s = SoftSquare(x, 100, soft) * SoftSquare(y, 100, soft);
      const float g = 128 + 110 * s;
      Mix(c, {g, g, g}, inside);
    }
  }

  // Face with fine skin texture, lit from the upper left.
  if (std::fabs(x - 2592) < 800 && std::fabs(y - 1750) < 1050) {
    const float face = Cover(EllipseDistance(x, y, 2592, 1750, 700, 950), soft);
    if (face > 0) {
      const float light = 0.82f + 0.18f * Clamp01(0.5f - (x - 2592) / 1400 - (y - 1750) / 1900);
      const float pores = 5.0f * std::sin(x * 0.16f) * std::sin(y * 0.19f) * Clamp01(8.0f / soft);
      TColor skin{(226 + pores) * light, (182 + pores) * light, (152 + pores) * light};
      Mix(c, skin, face);
      Mix(c, {48, 36, 34}, Cover(EllipseDistance(x, y, 2312, 1550, 120, 60), soft));
      Mix(c, {48, 36, 34}, Cover(EllipseDistance(x, y, 2872, 1550, 120, 60), soft));
      Mix(c, {172, 84, 84}, Cover(EllipseDistance(x, y, 2592, 2250, 260, 70), soft));
      // A mole on one cheek only, so a mirrored face differs from the original.
      Mix(c, {90, 60, 50}, Cover(EllipseDistance(x, y, 2930, 1980, 28, 28), soft));
    }
  }
  return c;
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
  for (int j = 0; j < h; ++j) {
    const float y = static_cast<float>(view.Y0 + (j + 0.5) * view.Scale);
    std::uint8_t* row = rgb.data() + static_cast<std::size_t>(j) * w * 3;
    for (int i = 0; i < w; ++i) {
      const float x = static_cast<float>(view.X0 + (i + 0.5) * view.Scale);
      TColor c = Shade(x, y, soft);
      if (view.Noise) {
        const float n = static_cast<float>(Hash(static_cast<std::uint32_t>(j * 7919 + i)) & 7) - 3.5f;
        c.R += n;
        c.G += n;
        c.B += n;
      }
      row[i * 3 + 0] = static_cast<std::uint8_t>(std::clamp(c.R, 0.0f, 255.0f));
      row[i * 3 + 1] = static_cast<std::uint8_t>(std::clamp(c.G, 0.0f, 255.0f));
      row[i * 3 + 2] = static_cast<std::uint8_t>(std::clamp(c.B, 0.0f, 255.0f));
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
