// JPEG bytes of known content for the composer's tests.
#pragma once

#include <turbojpeg.h>

#include <QImage>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace PictureTest {

// `image` (any format) encoded by the codec itself, so the tests do not depend
// on Qt's image plugins.
inline std::vector<std::uint8_t> Jpeg(const QImage& image, int subsampling = TJSAMP_444, int quality = 95,
                                      int flags = 0) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const int result = tjCompress2(handle, rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()),
                                 rgb.height(), TJPF_BGRX, &buffer, &size, subsampling, quality, flags);
  tjDestroy(handle);
  if (result != 0) throw std::runtime_error("test JPEG not made");
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  tjFree(buffer);
  return bytes;
}

inline QImage Solid(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// Four quadrants of different colours, split at the middle.
inline QImage Quadrants(int width, int height, const QRgb (&colours)[4]) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, colours[(y >= height / 2) * 2 + (x >= width / 2)]);
  return image;
}

inline bool Near(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

}  // namespace PictureTest
