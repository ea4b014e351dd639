// Any bytes as a file opened in a viewer pane: opening either refuses with a
// message for the operator or gives a picture whose every level decodes to
// its stated size (or refuses, for a file that is cut short).
#include <unistd.h>

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>

#include "picture/ViewerPicture.h"

namespace {

// Decoding a large level costs far more than it can find; the smallest and
// any level up to this size are decoded.
constexpr long long DecodeLimit = 4'000'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const extensions[] = {".jpg", ".png", ".bmp", ".JPG"};
  const QString name = QString("/tmp/sulo-fuzz-%1%2").arg(::getpid()).arg(extensions[data[0] % 4]);
  {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
  }
  try {
    const auto picture = TViewerPicture::Open(name);
    if (!picture || picture->LevelCount() < 1) std::abort();
    const QSize full = picture->Size();
    if (full.isEmpty() || static_cast<long long>(full.width()) * full.height() > TViewerPicture::MaxPixels) std::abort();
    for (int level = 0; level < picture->LevelCount(); ++level) {
      const QSize want = picture->LevelSize(level);
      if (level > 0 && static_cast<long long>(want.width()) * want.height() > DecodeLimit) break;
      try {
        const QImage image = picture->Decode(level);
        if (image.size() != want) std::abort();
      } catch (const EPictureLoad&) {
      }
    }
  } catch (const EPictureLoad& e) {
    if (QString::fromUtf8(e.what()).isEmpty()) std::abort();
  }
  QFile::remove(name);
  return 0;
}
