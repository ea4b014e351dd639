#include "views/widgets/VectorArtwork.h"

#include "views/widgets/Bitmap.h"

// The build machine rendered every picture at the bitmaps' own ratio and
// stored it as a PNG under the vector file's name.
QImage LoadVectorArtwork(const QString& fileName, qreal ratio) {
  QImage image;
  if (!image.load(fileName, "PNG")) return QImage();
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (ratio != TBitmap::FRenderRatio) {
    const QSize size(qRound(image.width() / TBitmap::FRenderRatio * ratio),
                     qRound(image.height() / TBitmap::FRenderRatio * ratio));
    image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  image.setDevicePixelRatio(ratio);
  return image;
}
