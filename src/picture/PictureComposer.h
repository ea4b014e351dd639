// Composition of what the booth shows and saves: a camera JPEG (a live-view
// frame or a downloaded picture) decoded, turned upright, marked with the two
// side markers and, when asked, mirrored; and the shown bitmap encoded back to
// JPEG for saving.
//
// The caller owns the result buffers and the composer keeps its own scratch,
// so that a steady live-view stream allocates nothing per frame: a frame of
// the same size as the last one reuses `out`'s pixels, the decoder's strip
// and the scaled markers. The picture is decoded a strip of rows at a time
// and each strip turned straight into `out`, so no whole decoded bitmap is
// ever held: a 6000 x 4000 picture costs its shown bitmap and one strip of
// StripRows rows. The strip grows to the widest picture composed and stays;
// ReleaseBuffers gives it back.
//
// Not thread-safe: one composer per thread (the UI thread owns the view's).
// Nothing here blocks or raises; every failure is a `false`.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TStripDecoder;

// Where and how large the two side markers are drawn on a turned picture.
struct TPictureMarks {
  QImage Left;    // drawn at the bottom right (the patient's left side faces it)
  QImage Right;   // drawn at the bottom left
  int Width = 66;   // pixels on the composed picture
  int Height = 66;
  int Offset = 50;  // pixels from the bottom and the side edge
};

class TPictureComposer {
 public:
  TPictureComposer();
  ~TPictureComposer();
  TPictureComposer(const TPictureComposer&) = delete;
  TPictureComposer& operator=(const TPictureComposer&) = delete;

  // Decodes a whole JPEG held in memory, turns it a quarter turn clockwise,
  // draws the marks (Left into (W-w-Offset, H-h-Offset)..(W-Offset, H-Offset), Right into
  // (Offset, H-h-Offset)..(Offset+w, H-Offset), w x h = Width x Height, W x H the turned size),
  // then mirrors left to right when `mirror`. The result goes into `out`, whose buffer is reused
  // when its size and format already fit (no allocation per frame once the stream is steady).
  // Returns false when the bytes are not a decodable JPEG (empty, truncated, corrupt, or claiming
  // dimensions above MaxPixels). `out` then keeps its size, format and buffer, and its pixels too
  // unless the damage lay inside the coded data after the first rows: those are composed straight
  // into a reused buffer, so such a frame may leave it partly overwritten. A picture cut off
  // anywhere is refused before a pixel is written.
  //
  // `out` is Format_RGB32. Its buffer is reused only when nothing else shares
  // it (a copy handed elsewhere never sees a pixel change); otherwise a new
  // one is made and replaces `out` only once the picture is whole.
  // Markers are scaled smoothly to Width x Height once and kept until their
  // images or size change; a null marker image is not drawn, and a marker
  // rectangle reaching past the picture is clipped.
  bool Compose(const std::uint8_t* jpeg, std::size_t size, const TPictureMarks& marks, bool mirror, QImage& out);
  // Encodes `image` as a baseline JPEG at `quality` into `out` (reused). False on failure.
  //
  // 4:2:0 chroma; quality is clamped to 1..100. 32-bit Qt formats, RGB888 and
  // Grayscale8 are read in place; other formats are converted first (one copy).
  // On failure `out` is left empty.
  bool Encode(const QImage& image, int quality, std::vector<std::uint8_t>& out);

  // Bytes the composer itself holds between calls: decoder's strip, scaled
  // markers and encode buffer (reserved at the codec's worst case, of which
  // only the encoded length is ever touched); the codec's own state not counted.
  std::size_t HeldBytes() const;
  // Frees the strip and the encode buffer, for when no frames are coming (the
  // shooting view closed); the next call makes them again.
  void ReleaseBuffers();

  static constexpr int DefaultQuality = 95;
  static constexpr long long MaxPixels = 60'000'000;  // above any camera body today

 private:
  // A marker scaled to its size on the picture, and its mirror image.
  struct TScaledMark {
    qint64 Key = 0;
    int Width = 0;
    int Height = 0;
    QImage Plain;
    QImage Mirrored;
  };
  struct TCodecDeleter {
    void operator()(void* handle) const;
  };
  using TCodec = std::unique_ptr<void, TCodecDeleter>;
  struct TEncodedDeleter {
    void operator()(unsigned char* buffer) const;
  };

  static const QImage& Scaled(TScaledMark& cache, const QImage& source, int width, int height, bool mirrored);
  static void Blend(QImage& out, const QImage& mark, int x, int y);

  // Rows decoded at a time: a strip of the widest camera picture stays within
  // the second-level cache, and the turn works in tiles of this height.
  static constexpr int StripRows = 32;

  std::unique_ptr<TStripDecoder> FDecoder;
  TCodec FCompressor;
  std::unique_ptr<std::uint32_t[]> FStrip;
  std::size_t FStripCapacity = 0;  // pixels
  std::unique_ptr<unsigned char, TEncodedDeleter> FEncoded;
  std::size_t FEncodedCapacity = 0;  // bytes
  TScaledMark FLeft;
  TScaledMark FRight;
};
