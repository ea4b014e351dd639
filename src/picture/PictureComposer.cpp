#include "picture/PictureComposer.h"

#include <turbojpeg.h>

#include <QtGlobal>
#include <algorithm>
#include <limits>
#include <new>

#include "picture/QuarterTurn.h"
#include "picture/StripDecoder.h"

namespace {

// Qt's 32-bit formats are native-endian words 0xAARRGGBB; the decoder fills
// the fourth byte with 0xFF, as Format_RGB32 requires.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int NativeXrgb = TJPF_BGRX;
#else
constexpr int NativeXrgb = TJPF_XRGB;
#endif

// The TurboJPEG pixel format for reading `image` in place, or -1.
int PixelFormatOf(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
      return NativeXrgb;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
      return TJPF_RGBX;
    case QImage::Format_RGB888:
      return TJPF_RGB;
    case QImage::Format_Grayscale8:
      return TJPF_GRAY;
    default:
      return -1;
  }
}

}  // namespace

void TPictureComposer::TCodecDeleter::operator()(void* handle) const {
  if (handle) tjDestroy(handle);
}

void TPictureComposer::TEncodedDeleter::operator()(unsigned char* buffer) const { tjFree(buffer); }

TPictureComposer::TPictureComposer() = default;
TPictureComposer::~TPictureComposer() = default;

std::size_t TPictureComposer::HeldBytes() const {
  std::size_t bytes = FStripCapacity * sizeof(std::uint32_t) + FEncodedCapacity;
  for (const TScaledMark* mark : {&FLeft, &FRight})
    bytes += static_cast<std::size_t>(mark->Plain.sizeInBytes() + mark->Mirrored.sizeInBytes());
  return bytes;
}

void TPictureComposer::ReleaseBuffers() {
  FStrip.reset();
  FStripCapacity = 0;
  FEncoded.reset();
  FEncodedCapacity = 0;
}

bool TPictureComposer::Compose(const std::uint8_t* jpeg, std::size_t size, const TPictureMarks& marks, bool mirror,
                               QImage& out) {
  if (!FDecoder) FDecoder = std::make_unique<TStripDecoder>();
  if (!FDecoder->Start(jpeg, size, MaxPixels)) return false;
  const int width = FDecoder->Width(), height = FDecoder->Height();

  const std::size_t strip = static_cast<std::size_t>(width) * StripRows;
  if (strip > FStripCapacity) {
    FStrip.reset();
    FStripCapacity = 0;
    FStrip.reset(new (std::nothrow) std::uint32_t[strip]);
    if (!FStrip) {
      FDecoder->Finish();
      return false;
    }
    FStripCapacity = strip;
  }
  // Turned, the picture is height x width. A buffer nobody else sees is
  // written in place; otherwise the new one replaces `out` only once whole.
  QImage fresh;
  const bool inPlace = out.width() == height && out.height() == width && out.format() == QImage::Format_RGB32 &&
                       out.isDetached();
  if (!inPlace) {
    fresh = QImage(height, width, QImage::Format_RGB32);
    if (fresh.isNull()) {
      FDecoder->Finish();
      return false;
    }
  }
  QImage& target = inPlace ? out : fresh;
  auto* pixelsOut = reinterpret_cast<std::uint32_t*>(target.bits());
  const std::size_t stride = static_cast<std::size_t>(target.bytesPerLine()) / 4;

  // Each strip of rows is turned into its columns of the result while the
  // decoder's output is still in cache, which spares writing the whole
  // decoded picture to memory and reading it back.
  for (int y = 0; y < height; y += StripRows) {
    const int rows = std::min(StripRows, height - y);
    if (!FDecoder->Read(FStrip.get(), rows, static_cast<std::size_t>(width))) return false;
    const std::size_t column = static_cast<std::size_t>(mirror ? y : height - y - rows);
    QuarterTurn(FStrip.get(), width, rows, static_cast<std::size_t>(width), pixelsOut + column, stride, mirror);
  }
  if (!FDecoder->Finish()) return false;
  if (!inPlace) out = std::move(fresh);

  // Mirroring after marking is the same as marking the mirrored picture
  // with mirrored markers at mirrored places, which spares a pass.
  const int W = out.width(), H = out.height(), w = marks.Width, h = marks.Height, offset = marks.Offset;
  if (w > 0 && h > 0) {
    const int right = W - w - offset, left = offset, top = H - h - offset;
    const QImage& leftMark = Scaled(FLeft, marks.Left, w, h, mirror);
    const QImage& rightMark = Scaled(FRight, marks.Right, w, h, mirror);
    Blend(out, leftMark, mirror ? left : right, top);
    Blend(out, rightMark, mirror ? right : left, top);
  }
  return true;
}

const QImage& TPictureComposer::Scaled(TScaledMark& cache, const QImage& source, int width, int height,
                                       bool mirrored) {
  if (cache.Key != source.cacheKey() || cache.Width != width || cache.Height != height) {
    cache.Key = source.cacheKey();
    cache.Width = width;
    cache.Height = height;
    cache.Plain = QImage();
    cache.Mirrored = QImage();
    if (!source.isNull())
      cache.Plain = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                        .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  if (mirrored && cache.Mirrored.isNull() && !cache.Plain.isNull()) cache.Mirrored = cache.Plain.mirrored(true, false);
  return mirrored ? cache.Mirrored : cache.Plain;
}

// Source-over of a premultiplied marker onto the opaque picture.
void TPictureComposer::Blend(QImage& out, const QImage& mark, int x, int y) {
  if (mark.isNull()) return;
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + mark.width(), out.width()), y1 = std::min(y + mark.height(), out.height());
  for (int row = y0; row < y1; ++row) {
    auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(row));
    const auto* src = reinterpret_cast<const std::uint32_t*>(mark.constScanLine(row - y));
    for (int column = x0; column < x1; ++column) {
      const std::uint32_t s = src[column - x];
      const std::uint32_t alpha = s >> 24;
      if (alpha == 0) continue;
      if (alpha == 255) {
        dst[column] = s;
        continue;
      }
      const std::uint32_t d = dst[column], keep = 255 - alpha;
      std::uint32_t result = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t t = ((d >> shift) & 0xFF) * keep + 128;
        const std::uint32_t channel = ((s >> shift) & 0xFF) + ((t + (t >> 8)) >> 8);
        result |= std::min<std::uint32_t>(channel, 255) << shift;
      }
      dst[column] = result;
    }
  }
}

bool TPictureComposer::Encode(const QImage& image, int quality, std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.isNull()) return false;
  if (!FCompressor) FCompressor.reset(tjInitCompress());
  if (!FCompressor) return false;

  const QImage* source = &image;
  QImage converted;
  int format = PixelFormatOf(image.format());
  if (format < 0) {
    converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull()) return false;
    source = &converted;
    format = NativeXrgb;
  }
  const int width = source->width(), height = source->height();
  const int subsampling = format == TJPF_GRAY ? TJSAMP_GRAY : TJSAMP_420;
  // The codec writes into a buffer of its worst-case size, which it takes for
  // granted; only the pages the encoded picture fills are ever touched.
  const unsigned long worst = tjBufSize(width, height, subsampling);
  if (worst == static_cast<unsigned long>(-1)) return false;
  if (FEncodedCapacity < worst) {
    FEncoded.reset();
    FEncodedCapacity = 0;
    FEncoded.reset(tjAlloc(static_cast<int>(std::min<unsigned long>(worst, std::numeric_limits<int>::max()))));
    if (!FEncoded || worst > static_cast<unsigned long>(std::numeric_limits<int>::max())) return false;
    FEncodedCapacity = worst;
  }
  unsigned char* buffer = FEncoded.get();
  unsigned long length = FEncodedCapacity;
  const bool encoded = tjCompress2(FCompressor.get(), source->constBits(), width,
                                   static_cast<int>(source->bytesPerLine()), height, format, &buffer, &length,
                                   subsampling, std::clamp(quality, 1, 100), TJFLAG_NOREALLOC) == 0 &&
                       buffer == FEncoded.get() && length <= FEncodedCapacity;
  if (encoded)
    out.assign(buffer, buffer + length);
  else
    FCompressor.reset();
  return encoded;
}
