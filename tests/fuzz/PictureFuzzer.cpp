// Any bytes as a downloaded picture or a live-view frame, through the
// composer the shooting view uses: decode, quarter turn, markers, mirror,
// then the encoder that saves it. A picture that composes must encode, and
// its JPEG must compose again to the turned size.
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture/PictureComposer.h"

namespace {

QImage Marker(QColor colour) {
  QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setBrush(colour);
  painter.drawEllipse(4, 4, 40, 40);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One composer and one result buffer for the whole run, as the view keeps
  // them for its stream, so reuse across sizes is exercised too.
  static TPictureComposer composer;
  static QImage shown;
  static const TPictureMarks live = [] {
    TPictureMarks marks;
    marks.Left = Marker(Qt::red);
    marks.Right = Marker(Qt::blue);
    return marks;
  }();
  static const TPictureMarks picture = [] {
    TPictureMarks marks = live;
    marks.Width = marks.Height = 4 * 66;
    marks.Offset = 66;
    return marks;
  }();
  if (size < 1) return 0;
  const std::uint8_t flags = data[0];
  ++data;
  --size;
  const bool mirror = flags & 1;
  const TPictureMarks& marks = (flags & 2) ? picture : live;
  if (!composer.Compose(data, size, marks, mirror, shown)) return 0;
  if (shown.isNull() || shown.format() != QImage::Format_RGB32) std::abort();
  if (static_cast<long long>(shown.width()) * shown.height() > TPictureComposer::MaxPixels) std::abort();

  std::vector<std::uint8_t> jpeg;
  if (!composer.Encode(shown, TPictureComposer::DefaultQuality, jpeg) || jpeg.empty()) std::abort();
  TPictureComposer again;
  QImage turned;
  if (!again.Compose(jpeg.data(), jpeg.size(), TPictureMarks{}, false, turned)) std::abort();
  if (turned.width() != shown.height() || turned.height() != shown.width()) std::abort();
  if (flags & 4) composer.ReleaseBuffers();
  return 0;
}
