// Picture files and pointer delivery for the viewer tests.
#pragma once

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>
#include <cstdint>
#include <turbojpeg.h>

// A picture in four quadrants: red, green / blue, white (top-left first).
inline QImage Quadrants(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.fillRect(0, 0, width / 2, height / 2, Qt::red);
  p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
  p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
  p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
  return image;
}

inline QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, 95);
  return bytes;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// JPEGs are written with TurboJPEG, as the program reads them: a static Qt
// for Windows links its own libjpeg beside ours, and its JPEG writer then
// refuses, so the tests do not depend on it.
inline QByteArray EncodeJpeg(const QImage& image, int quality = 95) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  QByteArray bytes;
  if (handle != nullptr &&
      tjCompress2(handle, rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB,
                  &jpeg, &size, TJSAMP_420, quality, 0) == 0)
    bytes = QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
  tjFree(jpeg);
  if (handle != nullptr) tjDestroy(handle);
  return bytes;
}

inline bool SaveJpeg(const QImage& image, const QString& path, int quality = 95) {
  const QByteArray bytes = EncodeJpeg(image, quality);
  return !bytes.isEmpty() && WriteFile(path, bytes);
}

// A real JPEG whose frame header claims another size.
inline QByteArray JpegClaiming(int width, int height) {
  QByteArray bytes = EncodeJpeg(Quadrants(64, 48));
  for (int i = 2; i + 8 < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    if (static_cast<unsigned char>(bytes[i]) == 0xFF && (b == 0xC0 || b == 0xC1 || b == 0xC2)) {
      bytes[i + 5] = static_cast<char>(height >> 8);
      bytes[i + 6] = static_cast<char>(height & 0xFF);
      bytes[i + 7] = static_cast<char>(width >> 8);
      bytes[i + 8] = static_cast<char>(width & 0xFF);
      break;
    }
  }
  return bytes;
}

// A PNG claiming a size: its header chunk, then empty image data and the end.
inline QByteArray PngClaiming(std::uint32_t width, std::uint32_t height) {
  auto be = [](QByteArray& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.append(static_cast<char>((v >> s) & 0xFF));
  };
  auto chunk = [&](QByteArray& out, const char* type, const QByteArray& data) {
    QByteArray body(type);
    body.append(data);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : body) {
      crc ^= static_cast<unsigned char>(c);
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    be(out, static_cast<std::uint32_t>(data.size()));
    out.append(body);
    be(out, crc ^ 0xFFFFFFFFu);
  };
  QByteArray header;
  be(header, width);
  be(header, height);
  header.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", QByteArray());
  chunk(png, "IEND", QByteArray());
  return png;
}

// One wheel notch at a window point, delivered as the window system does:
// to the widget under the point, then up its parents until one accepts it.
inline void WheelAt(QWidget* window, QPoint windowPoint, int delta) {
  QWidget* w = window->childAt(windowPoint);
  if (!w) w = window;
  while (w) {
    const QPointF local = QPointF(windowPoint - w->mapTo(window, QPoint(0, 0)));
    QWheelEvent event(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
    if (event.isAccepted() || w->isWindow()) return;
    w = w->parentWidget();
  }
}

// The pointer arrives over `widget` (as before any press on it).
inline void Enter(QWidget* widget) {
  QEnterEvent event(QPointF(1, 1), QPointF(widget->mapTo(widget->window(), QPoint(1, 1))), QPointF(widget->mapToGlobal(QPoint(1, 1))));
  QApplication::sendEvent(widget, &event);
}
