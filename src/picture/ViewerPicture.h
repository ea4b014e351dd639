// A picture file opened for a viewer pane: its header read and checked, and
// decoded at whatever resolution the pane needs.
//
// A picture is offered at a few resolutions ("levels"), smallest first, the
// last being the file's own size. JPEG files use the codec's scaled decoding
// (1/8, 1/4, ... 7/8 of the size, each cheaper than the full decode); other
// formats Qt reads (PNG, TIFF, BMP, ...) are decoded whole and reduced.
//
// Limits: a picture of more than MaxPixels pixels, or whose header claims it,
// is refused before anything is decoded, as is a file the codec cannot read
// to its end. The refusal is an EPictureLoad with a text for the operator.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class EPictureLoad : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TViewerPicture {
 public:
  // About 50 megapixels, with room for the 8688 x 5792 sensors sold as such.
  static constexpr std::int64_t MaxPixels = 52'000'000;
  // A JPEG's bytes are kept for later decodes; a larger file is refused
  // (a 52-megapixel picture at the highest quality is below 50 MB), so ten
  // panes never hold more than a bounded amount.
  static constexpr std::int64_t MaxJpegFileBytes = 64LL * 1024 * 1024;

  // Reads and checks the header (a JPEG file is read whole and kept).
  // Raises EPictureLoad for a missing, unreadable, unknown or oversized file.
  static std::shared_ptr<const TViewerPicture> Open(const QString& fileName);

  const QString& FileName() const { return FFileName; }
  // The file's own pixel size.
  QSize Size() const { return FLevels.back(); }
  bool IsJpeg() const { return !FJpeg.empty(); }

  int LevelCount() const { return static_cast<int>(FLevels.size()); }
  QSize LevelSize(int level) const { return FLevels[static_cast<std::size_t>(level)]; }
  // The smallest level at least `need` wide and high, or the last.
  int LevelFor(QSize need) const;

  // The picture at `level`, a 32-bit image of LevelSize(level) (premultiplied
  // alpha when the file has transparency).
  // Safe from any thread (the object is never changed after Open). Raises
  // EPictureLoad when the file cannot be decoded (a truncated JPEG, or a
  // non-JPEG file that has gone since it was opened).
  QImage Decode(int level) const;

 private:
  TViewerPicture() = default;
  QImage DecodeJpeg(int level) const;
  QImage DecodeOther(int level) const;

  QString FFileName;
  std::vector<unsigned char> FJpeg;
  std::vector<QSize> FLevels;
  // The codec's scale of each JPEG level, as numerator / denominator.
  std::vector<std::pair<int, int>> FJpegScales;
};
