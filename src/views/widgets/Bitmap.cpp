#include "views/widgets/Bitmap.h"

#include <cmath>

#include "views/widgets/VectorArtwork.h"

// The artwork lives in a static library: its resources are registered once,
// before the first picture is loaded.
static void InitArtwork() { Q_INIT_RESOURCE(sulo); }

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  FImage = other.FImage;
  Changed();
}

bool TBitmap::LoadFromFile(const QString& fileName) {
  static const bool registered = (InitArtwork(), true);
  (void)registered;
  QImage image;
  if (fileName.endsWith(".svg", Qt::CaseInsensitive)) {
    image = LoadVectorArtwork(fileName, FRenderRatio);
  } else {
    image.load(fileName);
  }
  FImage = image;
  Changed();
  return !FImage.isNull();
}

void TBitmap::SetSize(int width, int height) {
  QImage image;
  if (width > 0 && height > 0) {
    image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
  }
  FImage = image;
  Changed();
}

void TBitmap::SetImage(const QImage& image) {
  FImage = image;
  Changed();
}

void TBitmap::Clear() {
  FImage = QImage();
  Changed();
}

int TBitmap::Width() const { return FImage.isNull() ? 0 : static_cast<int>(std::lround(FImage.deviceIndependentSize().width())); }
int TBitmap::Height() const { return FImage.isNull() ? 0 : static_cast<int>(std::lround(FImage.deviceIndependentSize().height())); }

void TBitmap::Changed() {
  if (OnChange) OnChange();
}
