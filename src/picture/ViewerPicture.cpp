#include "picture/ViewerPicture.h"

#include <turbojpeg.h>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtGlobal>
#include <algorithm>
#include <mutex>

namespace {

struct TTjDeleter {
  void operator()(void* handle) const {
    if (handle) tjDestroy(handle);
  }
};
using TTjHandle = std::unique_ptr<void, TTjDeleter>;

// Qt's 32-bit formats are native-endian words 0xAARRGGBB.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int NativeArgb = TJPF_BGRA;
#else
constexpr int NativeArgb = TJPF_ARGB;
#endif

QString Shown(const QString& fileName) { return QFileInfo(fileName).fileName(); }

[[noreturn]] void Refuse(const QString& fileName, const QString& why) {
  throw EPictureLoad(QStringLiteral("Unable to open %1: %2").arg(Shown(fileName), why).toStdString());
}

void CheckPixels(const QString& fileName, qint64 width, qint64 height) {
  if (width <= 0 || height <= 0) Refuse(fileName, QStringLiteral("it is not a picture Sulo can read."));
  if (width * height > TViewerPicture::MaxPixels)
    Refuse(fileName, QStringLiteral("the picture is %1 x %2 pixels; Sulo shows pictures of up to %3 megapixels.")
                         .arg(width)
                         .arg(height)
                         .arg(TViewerPicture::MaxPixels / 1'000'000));
}

// Qt's readers refuse images above a process-wide allocation limit that lies
// below our own pixel limit; the header check above keeps allocations in
// bounds, so the reader's limit only needs room for 16-bit pictures.
void RaiseReaderLimit() {
  static std::once_flag once;
  std::call_once(once, [] {
    const int wanted = static_cast<int>(TViewerPicture::MaxPixels * 8 / (1024 * 1024)) + 1;
    const int current = QImageReader::allocationLimit();
    if (current != 0 && current < wanted) QImageReader::setAllocationLimit(wanted);
  });
}

bool LooksLikeJpeg(const QByteArray& head) {
  return head.size() >= 3 && static_cast<unsigned char>(head[0]) == 0xFF && static_cast<unsigned char>(head[1]) == 0xD8 &&
         static_cast<unsigned char>(head[2]) == 0xFF;
}

QImage To32Bit(QImage image) {
  const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
  if (image.format() != format) image.convertTo(format);
  return image;
}

// Whether an uncompressed BMP file holds fewer bytes than its header's rows
// need (the toolkit's reader shows such a file with black rows, no error).
bool BmpCutShort(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray h = file.read(34);
  if (h.size() < 34) return true;
  auto u32 = [&](int at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(h[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 3])) << 24;
  };
  const std::uint32_t offset = u32(10);
  const std::int64_t width = static_cast<std::int32_t>(u32(18));
  const std::int64_t height = static_cast<std::int32_t>(u32(22));
  const int bits = static_cast<unsigned char>(h[28]) | static_cast<unsigned char>(h[29]) << 8;
  const std::uint32_t compression = u32(30);
  if (compression != 0 && compression != 3) return false;  // run-length rows have no fixed size
  const std::int64_t stride = (width * bits + 31) / 32 * 4;
  return file.size() < static_cast<std::int64_t>(offset) + stride * (height < 0 ? -height : height);
}

}  // namespace

std::shared_ptr<const TViewerPicture> TViewerPicture::Open(const QString& fileName) {
  RaiseReaderLimit();
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) Refuse(fileName, QStringLiteral("the file cannot be read."));
  std::shared_ptr<TViewerPicture> picture(new TViewerPicture);
  picture->FFileName = fileName;

  if (LooksLikeJpeg(file.peek(3))) {
    if (file.size() > MaxJpegFileBytes)
      Refuse(fileName, QStringLiteral("the file is larger than %1 MB.").arg(MaxJpegFileBytes / (1024 * 1024)));
    picture->FJpeg.resize(static_cast<std::size_t>(file.size()));
    if (file.read(reinterpret_cast<char*>(picture->FJpeg.data()), file.size()) != file.size())
      Refuse(fileName, QStringLiteral("the file cannot be read."));
    TTjHandle handle(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!handle || tjDecompressHeader3(handle.get(), picture->FJpeg.data(), static_cast<unsigned long>(picture->FJpeg.size()),
                                       &width, &height, &subsampling, &colorspace) != 0)
      Refuse(fileName, QStringLiteral("the picture is damaged or incomplete."));
    CheckPixels(fileName, width, height);
    if (colorspace != TJCS_CMYK && colorspace != TJCS_YCCK) {
      int count = 0;
      const tjscalingfactor* factors = tjGetScalingFactors(&count);
      std::vector<std::pair<int, int>> scales;
      for (int i = 0; i < count; ++i)
        if (factors[i].num <= factors[i].denom) scales.emplace_back(factors[i].num, factors[i].denom);
      std::sort(scales.begin(), scales.end(),
                [](auto a, auto b) { return static_cast<long>(a.first) * b.second < static_cast<long>(b.first) * a.second; });
      for (auto [num, denom] : scales) {
        const tjscalingfactor f{num, denom};
        const QSize size(TJSCALED(width, f), TJSCALED(height, f));
        if (!picture->FLevels.empty() && picture->FLevels.back() == size) continue;
        picture->FLevels.push_back(size);
        picture->FJpegScales.emplace_back(num, denom);
      }
      if (!picture->FLevels.empty() && picture->FLevels.back() == QSize(width, height)) return picture;
      picture->FLevels.clear();
      picture->FJpegScales.clear();
    }
    // CMYK pictures go through Qt's reader, which converts them but shows a
    // cut-off file without complaint: the codec reads it through first.
    std::vector<unsigned char> probe(static_cast<std::size_t>(TJSCALED(width, (tjscalingfactor{1, 8}))) *
                                     static_cast<std::size_t>(TJSCALED(height, (tjscalingfactor{1, 8}))) * 4);
    if (tjDecompress2(handle.get(), picture->FJpeg.data(), static_cast<unsigned long>(picture->FJpeg.size()), probe.data(),
                      TJSCALED(width, (tjscalingfactor{1, 8})), 0, TJSCALED(height, (tjscalingfactor{1, 8})), TJPF_CMYK,
                      TJFLAG_STOPONWARNING) != 0)
      Refuse(fileName, QStringLiteral("the picture is damaged or incomplete."));
    picture->FJpeg.clear();
    picture->FJpeg.shrink_to_fit();
  }
  file.close();

  QImageReader reader(fileName);
  reader.setAutoTransform(false);
  const QSize size = reader.canRead() ? reader.size() : QSize();
  if (!size.isValid()) Refuse(fileName, QStringLiteral("it is not a picture Sulo can read."));
  CheckPixels(fileName, size.width(), size.height());
  if (reader.format() == "bmp" && BmpCutShort(fileName)) Refuse(fileName, QStringLiteral("the picture is damaged or incomplete."));
  for (int divisor : {8, 4, 2, 1}) {
    const QSize level((size.width() + divisor - 1) / divisor, (size.height() + divisor - 1) / divisor);
    if (picture->FLevels.empty() || picture->FLevels.back() != level) picture->FLevels.push_back(level);
  }
  return picture;
}

int TViewerPicture::LevelFor(QSize need) const {
  for (int i = 0; i < LevelCount(); ++i)
    if (LevelSize(i).width() >= need.width() && LevelSize(i).height() >= need.height()) return i;
  return LevelCount() - 1;
}

QImage TViewerPicture::Decode(int level) const {
  level = std::clamp(level, 0, LevelCount() - 1);
  return IsJpeg() ? DecodeJpeg(level) : DecodeOther(level);
}

QImage TViewerPicture::DecodeJpeg(int level) const {
  const QSize size = LevelSize(level);
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) Refuse(FFileName, QStringLiteral("there is not enough memory to show it."));
  TTjHandle handle(tjInitDecompress());
  // A warning (data ending early, a damaged segment) stops the decode: such a
  // picture would be shown partly grey.
  if (!handle || tjDecompress2(handle.get(), FJpeg.data(), static_cast<unsigned long>(FJpeg.size()), image.bits(),
                               size.width(), static_cast<int>(image.bytesPerLine()), size.height(), NativeArgb,
                               TJFLAG_STOPONWARNING) != 0)
    Refuse(FFileName, QStringLiteral("the picture is damaged or incomplete."));
  return image;
}

QImage TViewerPicture::DecodeOther(int level) const {
  const QSize size = LevelSize(level);
  QImageReader reader(FFileName);
  reader.setAutoTransform(false);
  if (size != Size() && reader.supportsOption(QImageIOHandler::ScaledSize)) reader.setScaledSize(size);
  QImage image = reader.read();
  if (image.isNull()) Refuse(FFileName, QStringLiteral("the picture is damaged or incomplete."));
  if (image.size() != size) image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return To32Bit(std::move(image));
}
