#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "views/widgets/VectorArtwork.h"

QImage LoadVectorArtwork(const QString& fileName, qreal ratio) {
  QSvgRenderer renderer(fileName);
  if (!renderer.isValid()) return QImage();
  const QSize design = renderer.defaultSize();
  QImage image(std::lround(design.width() * ratio), std::lround(design.height() * ratio),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  renderer.render(&painter);
  painter.end();
  image.setDevicePixelRatio(ratio);
  return image;
}
