#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QImageReader>
#include <QImageWriter>
#include <vector>

#include "ViewerTestUtil.h"
#include "support/TempDir.h"
#include "picture/ViewerPicture.h"

namespace {

QString Path(TTempDir& temp, const char* name) { return QString::fromStdString(temp.File(name)); }

TEST(ViewerPicture, OpensTheCommonFormatsAtEveryLevel) {
  TTempDir temp;
  const QImage source = Quadrants(640, 480);
  for (const char* format : {"jpg", "png", "tiff", "bmp"}) {
    SCOPED_TRACE(format);
    const bool jpeg = std::string(format) == "jpg";
    // The viewer opens what the toolkit reads; a build without a TIFF
    // writer (Windows here) has no reader either.
    if (!jpeg && !QImageWriter::supportedImageFormats().contains(format)) continue;
    const QString file = Path(temp, (std::string("picture.") + format).c_str());
    ASSERT_TRUE(jpeg ? SaveJpeg(source, file) : source.save(file, format));
    const auto picture = TViewerPicture::Open(file);
    EXPECT_EQ(picture->Size(), QSize(640, 480));
    EXPECT_EQ(picture->IsJpeg(), std::string(format) == "jpg");
    // Levels grow to the file's own size; each decodes at its stated size
    // with the quadrants where they belong.
    for (int level = 0; level < picture->LevelCount(); ++level) {
      const QImage image = picture->Decode(level);
      ASSERT_EQ(image.size(), picture->LevelSize(level));
      if (level > 0) {
        EXPECT_GT(picture->LevelSize(level).width(), picture->LevelSize(level - 1).width());
      }
      const QColor topRight = image.pixelColor(image.width() * 3 / 4, image.height() / 4);
      const QColor bottomLeft = image.pixelColor(image.width() / 4, image.height() * 3 / 4);
      EXPECT_GT(topRight.green(), 200);
      EXPECT_LT(topRight.red(), 60);
      EXPECT_GT(bottomLeft.blue(), 200);
    }
    EXPECT_EQ(picture->LevelSize(picture->LevelCount() - 1), QSize(640, 480));
  }
}

TEST(ViewerPicture, LevelForPicksTheSmallestThatCovers) {
  TTempDir temp;
  const QString file = Path(temp, "p.jpg");
  ASSERT_TRUE(SaveJpeg(Quadrants(800, 600), file));
  const auto picture = TViewerPicture::Open(file);
  EXPECT_EQ(picture->LevelSize(0), QSize(100, 75));  // 1/8
  EXPECT_EQ(picture->LevelSize(picture->LevelFor(QSize(100, 75))), QSize(100, 75));
  EXPECT_EQ(picture->LevelSize(picture->LevelFor(QSize(101, 10))), QSize(200, 150));  // 1/4
  EXPECT_EQ(picture->LevelSize(picture->LevelFor(QSize(5000, 10))), QSize(800, 600));
}

// The size limit, around the 52-megapixel line and far beyond it, read from
// the header before anything is decoded.
TEST(ViewerPicture, RefusesOversizedDamagedAndUnknownFiles) {
  TTempDir temp;
  QByteArray truncated = EncodeJpeg(Quadrants(640, 480));
  truncated.truncate(truncated.size() / 2);
  auto cut = [](QByteArray bytes) {
    bytes.truncate(bytes.size() / 2);
    return bytes;
  };
  struct TRow {
    const char* Name;
    QByteArray Bytes;
    const char* Why;  // part of the message
    bool DecodeFails;  // the header passes; the decode refuses
  };
  const TRow rows[] = {
      {"60 MP JPEG", JpegClaiming(9500, 6320), "megapixels", false},
      {"absurd JPEG", JpegClaiming(65000, 65000), "megapixels", false},
      {"60 MP PNG", PngClaiming(9500, 6320), "megapixels", false},
      {"absurd PNG", PngClaiming(1u << 30, 1u << 30), "", false},
      {"truncated JPEG", truncated, "damaged or incomplete", true},
      {"truncated BMP", cut(Encode(Quadrants(640, 480), "BMP")), "damaged or incomplete", false},
      {"truncated PNG", cut(Encode(Quadrants(640, 480), "PNG")), "damaged or incomplete", true},
      {"truncated TIFF", cut(Encode(Quadrants(640, 480), "TIFF")), "", true},
      {"not a picture", QByteArray("just some text, not a picture"), "not a picture", false},
      {"empty file", QByteArray(), "not a picture", false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const QString file = Path(temp, "refused.bin");
    ASSERT_TRUE(WriteFile(file, row.Bytes));
    try {
      const auto picture = TViewerPicture::Open(file);
      ASSERT_TRUE(row.DecodeFails) << "opened";
      picture->Decode(picture->LevelCount() - 1);
      ADD_FAILURE() << "decoded";
    } catch (const EPictureLoad& e) {
      EXPECT_NE(std::string(e.what()).find("Unable to open refused.bin"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(row.Why), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(TViewerPicture::Open(Path(temp, "missing.jpg")), EPictureLoad);
}

// A 50-megapixel body's picture (8688 x 5792) opens and decodes small.
TEST(ViewerPicture, FiftyMegapixelJpegOpens) {
  TTempDir temp;
  const int w = 8688, h = 5792;
  std::vector<unsigned char> gray(static_cast<std::size_t>(w) * h, 128);
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(encoder, gray.data(), w, w, h, TJPF_GRAY, &jpeg, &size, TJSAMP_GRAY, 80, 0), 0);
  const QString file = Path(temp, "fifty.jpg");
  ASSERT_TRUE(WriteFile(file, QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<int>(size))));
  tjFree(jpeg);
  tjDestroy(encoder);
  gray = {};
  const auto picture = TViewerPicture::Open(file);
  EXPECT_EQ(picture->Size(), QSize(w, h));
  EXPECT_EQ(picture->Decode(0).size(), QSize(1086, 724));
}

// Qt's own reader limit (128 MB by default) lies below our pixel limit: a
// 49-megapixel PNG must still open.
TEST(ViewerPicture, LargePngAboveQtsDefaultLimitOpens) {
  TTempDir temp;
  const QString file = Path(temp, "large.png");
  QImage image(7000, 7000, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  ASSERT_TRUE(image.save(file, "PNG", 50));
  image = QImage();
  const auto picture = TViewerPicture::Open(file);
  const QImage full = picture->Decode(picture->LevelCount() - 1);
  ASSERT_EQ(full.size(), QSize(7000, 7000));
  EXPECT_EQ(full.pixelColor(6990, 6990), QColor(Qt::darkCyan));
}

}  // namespace
