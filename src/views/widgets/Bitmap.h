// A picture with a size in design units.
//
// The pixels may be finer than the design units (artwork is rendered at twice
// the design size so it stays sharp when the window is shown larger than its
// ratio); Width and Height are always the design size. A bitmap tells its
// owner when its contents change.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap& other) : FImage(other.FImage) {}
  TBitmap& operator=(const TBitmap& other) {
    Assign(other);
    return *this;
  }

  // Copies the other picture's contents in (not its change handler).
  void Assign(const TBitmap& other);
  // Loads an image or an SVG file (resource paths ":/..." included) at its own
  // design size. A file that cannot be read leaves the bitmap empty.
  bool LoadFromFile(const QString& fileName);
  // A blank (transparent) picture of the given design size.
  void SetSize(int width, int height);
  void SetImage(const QImage& image);
  void Clear();

  bool IsEmpty() const { return Width() == 0 || Height() == 0; }
  int Width() const;
  int Height() const;
  const QImage& Image() const { return FImage; }

  std::function<void()> OnChange;

  // Pixels per design unit used when artwork is rendered from vector files.
  static constexpr qreal FRenderRatio = 2.0;

 private:
  void Changed();
  QImage FImage;
};
