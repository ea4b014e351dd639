#include "picture/PictureComposer.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QRect>
#include <algorithm>
#include <cstring>
#include <string>

#include "PictureTestUtil.h"

namespace {

using namespace PictureTest;

constexpr QRgb Grey = 0xFF808080;
constexpr QRgb Magenta = 0xFFFF00FF;
constexpr QRgb Cyan = 0xFF00FFFF;

// Markers as the booth's artwork comes: larger than drawn, scaled down.
TPictureMarks Marks(int size, int offset) {
  TPictureMarks marks;
  marks.Left = Solid(200, 200, Magenta);
  marks.Right = Solid(200, 200, Cyan);
  marks.Width = marks.Height = size;
  marks.Offset = offset;
  return marks;
}

bool Compose(TPictureComposer& composer, const std::vector<std::uint8_t>& jpeg, const TPictureMarks& marks,
             bool mirror, QImage& out) {
  return composer.Compose(jpeg.data(), jpeg.size(), marks, mirror, out);
}

// The smallest rectangle holding every pixel near `colour`, and how many there are.
std::pair<QRect, long long> Find(const QImage& image, QRgb colour) {
  QRect box;
  long long count = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (Near(row[x], colour, 8)) {
        box |= QRect(x, y, 1, 1);
        ++count;
      }
  }
  return {box, count};
}

// Orientation: each quadrant's colour arrives where the turn puts it, for the
// chroma layouts and coding modes cameras and other programs write.
struct TOrientationCase {
  const char* Name;
  int Subsampling;
  int Flags;
};

const TOrientationCase OrientationCases[] = {
    {"Chroma444", TJSAMP_444, 0},
    {"Chroma422", TJSAMP_422, 0},
    {"Chroma420", TJSAMP_420, 0},
    {"Grey", TJSAMP_GRAY, 0},
    {"Progressive", TJSAMP_420, TJFLAG_PROGRESSIVE},
};

class PictureOrientationTest : public testing::TestWithParam<std::tuple<TOrientationCase, bool>> {};

TEST_P(PictureOrientationTest, CornersGoWhereTheTurnPutsThem) {
  const auto [c, mirror] = GetParam();
  const bool grey = c.Subsampling == TJSAMP_GRAY;
  const QRgb colours[4] = {grey ? 0xFF282828 : 0xFFFF0000, grey ? 0xFF646464 : 0xFF00FF00,
                           grey ? 0xFFAAAAAA : 0xFF0000FF, grey ? 0xFFE6E6E6 : 0xFFFFFFFF};
  // Sizes that are no multiple of the codec's blocks nor of the turn's tiles.
  const int width = 203, height = 117;
  const QImage source = Quadrants(width, height, colours);
  TPictureComposer composer;
  TPictureMarks noMarks = Marks(0, 0);
  QImage out;
  ASSERT_TRUE(Compose(composer, Jpeg(source, c.Subsampling, 95, c.Flags), noMarks, mirror, out));
  ASSERT_EQ(out.size(), QSize(height, width));
  EXPECT_EQ(out.format(), QImage::Format_RGB32);

  // Clockwise, the source's top left corner goes to the top right; mirrored, it stays top left.
  for (const QPoint at : {QPoint(20, 20), QPoint(height - 20, 20), QPoint(20, width - 20),
                          QPoint(height - 20, width - 20)}) {
    const QPoint from(at.y(), mirror ? at.x() : height - 1 - at.x());
    EXPECT_TRUE(Near(out.pixel(at), source.pixel(from), 12))
        << "at " << at.x() << "," << at.y() << ": " << std::hex << out.pixel(at) << " expected "
        << source.pixel(from);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureOrientationTest,
                         testing::Combine(testing::ValuesIn(OrientationCases), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) ? "Mirrored" : "Turned");
                         });

// The composed pixels are exactly those of the codec decoding the whole
// picture at once, turned pixel by pixel: camera-like noise, so that chroma
// upsampling across the decoder's strips shows, at sizes whose last strip is
// partial and whose sides are no multiple of the codec's blocks.
class PictureExactTest : public testing::TestWithParam<std::tuple<TOrientationCase, bool>> {};

TEST_P(PictureExactTest, SameBytesAsAWholeDecodeTurned) {
  const auto [c, mirror] = GetParam();
  for (const QSize size : {QSize(301, 250), QSize(64, 33), QSize(5, 3)}) {
    QImage source(size, QImage::Format_RGB32);
    std::uint32_t seed = 7;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        seed = seed * 1664525u + 1013904223u;
        source.setPixel(x, y, qRgb((x * 3 + static_cast<int>(seed >> 27)) & 255, (y * 5) & 255,
                                   static_cast<int>(seed >> 24)));
      }
    const std::vector<std::uint8_t> jpeg = Jpeg(source, c.Subsampling, 90, c.Flags);

    QImage whole(size, QImage::Format_RGB32);
    tjhandle handle = tjInitDecompress();
    const int result = tjDecompress2(handle, jpeg.data(), jpeg.size(), whole.bits(), size.width(),
                                     static_cast<int>(whole.bytesPerLine()), size.height(), TJPF_BGRX, 0);
    tjDestroy(handle);
    ASSERT_EQ(result, 0);

    TPictureComposer composer;
    QImage out;
    ASSERT_TRUE(Compose(composer, jpeg, Marks(0, 0), mirror, out));
    ASSERT_EQ(out.size(), size.transposed());
    for (int Y = 0; Y < out.height(); ++Y)
      for (int X = 0; X < out.width(); ++X)
        ASSERT_EQ(out.pixel(X, Y), whole.pixel(Y, mirror ? X : size.height() - 1 - X))
            << size.width() << "x" << size.height() << " at " << X << "," << Y;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureExactTest,
                         testing::Combine(testing::ValuesIn(OrientationCases), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) ? "Mirrored" : "Turned");
                         });

// Marker rectangles, found in the composed pixels. Rectangles are (left, top,
// right, bottom) with right and bottom excluded.
struct TMarkerCase {
  const char* Name;
  int Width;  // of the camera's JPEG
  int Height;
  int MarkSize;
  int Offset;
  bool Mirror;
  QRect Left;  // where the magenta (left-side) marker must be
  QRect Right;
};

QRect Span(int left, int top, int right, int bottom) { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }

const TMarkerCase MarkerCases[] = {
    {"LiveFrame", 1024, 680, 66, 50, false, Span(564, 908, 630, 974), Span(50, 908, 116, 974)},
    {"LiveFrameMirrored", 1024, 680, 66, 50, true, Span(50, 908, 116, 974), Span(564, 908, 630, 974)},
    {"Picture", 5184, 3456, 264, 66, false, Span(3126, 4854, 3390, 5118), Span(66, 4854, 330, 5118)},
    {"PictureMirrored", 5184, 3456, 264, 66, true, Span(66, 4854, 330, 5118), Span(3126, 4854, 3390, 5118)},
    // Markers reaching past the picture are cut at its edges.
    {"PastTheEdgesClipped", 400, 300, 66, -20, false, Span(254, 354, 300, 400), Span(0, 354, 46, 400)},
    {"TinyFrameOutside", 40, 30, 66, 50, false, QRect(), QRect()},
};

class PictureMarkerTest : public testing::TestWithParam<TMarkerCase> {};

TEST_P(PictureMarkerTest, MarkersCoverTheirRectanglesExactly) {
  const TMarkerCase& c = GetParam();
  TPictureComposer composer;
  QImage out;
  ASSERT_TRUE(Compose(composer, Jpeg(Solid(c.Width, c.Height, Grey)), Marks(c.MarkSize, c.Offset), c.Mirror, out));
  ASSERT_EQ(out.size(), QSize(c.Height, c.Width));
  const auto [left, leftCount] = Find(out, Magenta);
  const auto [right, rightCount] = Find(out, Cyan);
  const auto [grey, greyCount] = Find(out, Grey);
  EXPECT_EQ(left, c.Left);
  EXPECT_EQ(right, c.Right);
  // Filled to the edge, and nothing else touched.
  EXPECT_EQ(leftCount, static_cast<long long>(c.Left.width()) * c.Left.height());
  EXPECT_EQ(rightCount, static_cast<long long>(c.Right.width()) * c.Right.height());
  EXPECT_EQ(greyCount + leftCount + rightCount, static_cast<long long>(out.width()) * out.height());
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureMarkerTest, testing::ValuesIn(MarkerCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A marker is scaled with filtering (a fine pattern becomes its average, not
// every fourth pixel) and blended by its alpha.
TEST(PictureComposerTest, MarkersAreScaledSmoothlyAndBlended) {
  TPictureMarks marks = Marks(66, 50);
  QImage checker(264, 264, QImage::Format_RGB32);
  for (int y = 0; y < checker.height(); ++y)
    for (int x = 0; x < checker.width(); ++x) checker.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
  marks.Left = checker;
  marks.Right = Solid(10, 10, qRgba(255, 0, 0, 128));
  TPictureComposer composer;
  QImage out;
  ASSERT_TRUE(Compose(composer, Jpeg(Solid(1024, 680, Grey)), marks, false, out));
  const QRgb scaled = out.pixel(597, 941);  // middle of the left-side marker
  EXPECT_TRUE(Near(scaled, qRgb(128, 128, 128), 24)) << std::hex << scaled;
  const QRgb blended = out.pixel(83, 941);  // half red over grey
  EXPECT_TRUE(Near(blended, qRgb(192, 64, 64), 4)) << std::hex << blended;
}

// The composer keeps scaled markers between frames; new artwork or a new size
// must still show.
TEST(PictureComposerTest, ChangedMarkersAreDrawnAnew) {
  const std::vector<std::uint8_t> frame = Jpeg(Solid(1024, 680, Grey));
  TPictureComposer composer;
  TPictureMarks marks = Marks(66, 50);
  QImage out;
  ASSERT_TRUE(Compose(composer, frame, marks, false, out));
  marks.Left = Solid(50, 50, 0xFFFFFF00);
  ASSERT_TRUE(Compose(composer, frame, marks, false, out));
  EXPECT_EQ(Find(out, 0xFFFFFF00).first, Span(564, 908, 630, 974));
  EXPECT_EQ(Find(out, Magenta).second, 0);
  marks.Width = marks.Height = 20;
  ASSERT_TRUE(Compose(composer, frame, marks, true, out));
  EXPECT_EQ(Find(out, 0xFFFFFF00).first, Span(50, 954, 70, 974));
  EXPECT_EQ(Find(out, Cyan).first, Span(610, 954, 630, 974));
}

// A steady stream writes into the same pixels; a bitmap shared with someone
// else (a copy handed to the screen) is not written over.
TEST(PictureComposerTest, ReusesTheBufferUnlessShared) {
  const QRgb first[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  const QRgb second[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
  const std::vector<std::uint8_t> a = Jpeg(Quadrants(1024, 680, first)), b = Jpeg(Quadrants(1024, 680, second));
  TPictureComposer composer;
  const TPictureMarks marks = Marks(66, 50);
  QImage out;
  ASSERT_TRUE(Compose(composer, a, marks, false, out));
  const uchar* pixels = out.constBits();
  ASSERT_TRUE(Compose(composer, b, marks, true, out));
  EXPECT_EQ(out.constBits(), pixels);
  EXPECT_TRUE(Near(out.pixel(300, 500), 0xFF000000, 12));

  const QImage shown = out;
  ASSERT_TRUE(Compose(composer, a, marks, false, out));
  EXPECT_NE(out.constBits(), shown.constBits());
  EXPECT_TRUE(Near(shown.pixel(300, 500), 0xFF000000, 12));
  EXPECT_FALSE(Near(out.pixel(300, 500), 0xFF000000, 12));
}

// The decoder's strip outlives calls: a frame after a picture works in the
// picture's wider strip, and no whole decoded bitmap is ever held. Released,
// the buffers are made again on the next call.
TEST(PictureComposerTest, BuffersOutliveCallsUntilReleased) {
  const std::size_t bitmap = std::size_t{5184} * 3456 * 4;
  const std::vector<std::uint8_t> frame = Jpeg(Solid(1024, 680, Grey));
  TPictureComposer composer;
  QImage out;
  ASSERT_TRUE(Compose(composer, frame, Marks(66, 50), false, out));
  const std::size_t frameHeld = composer.HeldBytes();
  ASSERT_TRUE(Compose(composer, Jpeg(Solid(5184, 3456, Grey), TJSAMP_420, 80), Marks(66, 50), false, out));
  const std::size_t pictureHeld = composer.HeldBytes();
  EXPECT_GT(pictureHeld, frameHeld);
  EXPECT_LT(pictureHeld, bitmap / 8);
  ASSERT_TRUE(Compose(composer, frame, Marks(66, 50), false, out));
  EXPECT_EQ(composer.HeldBytes(), pictureHeld);

  composer.ReleaseBuffers();
  EXPECT_LT(composer.HeldBytes(), frameHeld);
  ASSERT_TRUE(Compose(composer, frame, Marks(66, 50), true, out));
  EXPECT_EQ(Find(out, Magenta).first, Span(50, 908, 116, 974));
  std::vector<std::uint8_t> jpeg;
  EXPECT_TRUE(composer.Encode(out, TPictureComposer::DefaultQuality, jpeg));
}

// Bytes that are no whole JPEG: refused, `out` keeps its buffer, and the
// stream goes on. Anything found before the coded data (and a stream cut off
// anywhere) leaves its pixels as they were; damage inside the coded data is
// found only as the rows are decoded into the reused buffer.
struct TBadCase {
  const char* Name;
  std::vector<std::uint8_t> (*Spoil)(std::vector<std::uint8_t>);
  bool PixelsKept = true;
};

std::size_t MarkerAt(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return i;
  throw std::runtime_error("marker not found");
}

// The frame header's height and width (big-endian, after length and precision).
std::vector<std::uint8_t> WithSize(std::vector<std::uint8_t> jpeg, int width, int height) {
  const std::size_t sof = MarkerAt(jpeg, 0xC0);
  jpeg[sof + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[sof + 6] = static_cast<std::uint8_t>(height);
  jpeg[sof + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[sof + 8] = static_cast<std::uint8_t>(width);
  return jpeg;
}

const TBadCase BadCases[] = {
    {"Empty", [](std::vector<std::uint8_t>) { return std::vector<std::uint8_t>(); }},
    {"NotAJpeg", [](std::vector<std::uint8_t>) { return std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 13, 10, 26, 10}; }},
    {"HeaderOnly", [](std::vector<std::uint8_t> j) { j.resize(MarkerAt(j, 0xDA)); return j; }},
    {"CutInHalf", [](std::vector<std::uint8_t> j) { j.resize(j.size() / 2); return j; }},
    {"LastBytesMissing", [](std::vector<std::uint8_t> j) { j.resize(j.size() - 40); return j; }},
    {"StartMarkerFlipped", [](std::vector<std::uint8_t> j) { j[1] ^= 0x01; return j; }},
    {"FrameHeaderFlipped", [](std::vector<std::uint8_t> j) { j[MarkerAt(j, 0xC0) + 4] ^= 0x10; return j; }},
    {"ScanComponentFlipped", [](std::vector<std::uint8_t> j) { j[MarkerAt(j, 0xDA) + 5] ^= 0x40; return j; }},
    {"StrayMarkerInData",
     [](std::vector<std::uint8_t> j) {
       const std::size_t middle = MarkerAt(j, 0xDA) + (j.size() - MarkerAt(j, 0xDA)) / 2;
       j[middle] = 0xFF;
       j[middle + 1] = 0xD5;
       return j;
     },
     false},
    {"ZeroWidth", [](std::vector<std::uint8_t> j) { return WithSize(std::move(j), 0, 680); }},
    {"JustAboveLimit", [](std::vector<std::uint8_t> j) { return WithSize(std::move(j), 10000, 6001); }},
    {"Huge", [](std::vector<std::uint8_t> j) { return WithSize(std::move(j), 65535, 65535); }},
};

class PictureBadInputTest : public testing::TestWithParam<TBadCase> {};

TEST_P(PictureBadInputTest, RefusedAndPreviousFrameKept) {
  const std::vector<std::uint8_t> good = Jpeg(Quadrants(1024, 680, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}),
                                              TJSAMP_420, 90);
  TPictureComposer composer;
  const TPictureMarks marks = Marks(66, 50);
  QImage out;
  ASSERT_TRUE(Compose(composer, good, marks, false, out));
  const QImage before = out.copy();
  const uchar* pixels = out.constBits();
  const qint64 key = out.cacheKey();

  const std::vector<std::uint8_t> bad = GetParam().Spoil(good);
  EXPECT_FALSE(composer.Compose(bad.empty() ? nullptr : bad.data(), bad.size(), marks, true, out));
  EXPECT_EQ(out.constBits(), pixels);
  EXPECT_EQ(out.size(), before.size());
  EXPECT_EQ(out.format(), before.format());
  if (GetParam().PixelsKept) {
    EXPECT_EQ(out.cacheKey(), key);
    EXPECT_EQ(out, before);
  }

  ASSERT_TRUE(Compose(composer, good, marks, true, out));
  EXPECT_EQ(out.constBits(), pixels);
}

INSTANTIATE_TEST_SUITE_P(Inputs, PictureBadInputTest, testing::ValuesIn(BadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Encoding: what comes back decodes to the same picture, as a baseline JPEG,
// from every pixel format a caller might hand over.
struct TEncodeCase {
  const char* Name;
  QImage::Format Format;
};

const TEncodeCase EncodeCases[] = {
    {"Rgb32", QImage::Format_RGB32},        {"Argb32Premultiplied", QImage::Format_ARGB32_Premultiplied},
    {"Rgba8888", QImage::Format_RGBA8888},  {"Rgb888", QImage::Format_RGB888},
    {"Grey8", QImage::Format_Grayscale8},   {"Rgb16Converted", QImage::Format_RGB16},
};

class PictureEncodeTest : public testing::TestWithParam<TEncodeCase> {};

TEST_P(PictureEncodeTest, DecodesBackToTheSamePicture) {
  const QImage image = Quadrants(301, 203, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF})
                           .convertToFormat(GetParam().Format);
  TPictureComposer composer;
  std::vector<std::uint8_t> jpeg;
  ASSERT_TRUE(composer.Encode(image, TPictureComposer::DefaultQuality, jpeg));

  // Baseline: a baseline frame header and no progressive one.
  EXPECT_NO_THROW(MarkerAt(jpeg, 0xC0));
  EXPECT_THROW(MarkerAt(jpeg, 0xC2), std::runtime_error);
  tjhandle handle = tjInitDecompress();
  QImage back(image.size(), QImage::Format_RGB32);
  const int result = tjDecompress2(handle, jpeg.data(), jpeg.size(), back.bits(), back.width(),
                                   static_cast<int>(back.bytesPerLine()), back.height(), TJPF_BGRX, 0);
  tjDestroy(handle);
  ASSERT_EQ(result, 0);
  for (const QPoint at : {QPoint(40, 40), QPoint(260, 40), QPoint(40, 160), QPoint(260, 160)}) {
    const QRgb expected = image.convertToFormat(QImage::Format_RGB32).pixel(at);
    EXPECT_TRUE(Near(back.pixel(at), expected, 12)) << std::hex << back.pixel(at) << " expected " << expected;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureEncodeTest, testing::ValuesIn(EncodeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PictureComposerTest, EncodeFollowsQualityAndReusesTheBuffer) {
  QImage image(640, 480, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x % 256, (x * y) % 256, (y * 7) % 256));
  TPictureComposer composer;
  std::vector<std::uint8_t> fine, rough;
  ASSERT_TRUE(composer.Encode(image, 95, fine));
  ASSERT_TRUE(composer.Encode(image, 30, rough));
  EXPECT_LT(rough.size(), fine.size());

  const std::uint8_t* bytes = fine.data();
  const std::vector<std::uint8_t> firstResult = fine;
  ASSERT_TRUE(composer.Encode(image, 95, fine));
  EXPECT_EQ(fine.data(), bytes);
  EXPECT_EQ(fine, firstResult);

  EXPECT_FALSE(composer.Encode(QImage(), 95, fine));
  EXPECT_TRUE(fine.empty());
}

}  // namespace
