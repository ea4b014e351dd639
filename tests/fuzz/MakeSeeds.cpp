// Writes the picture seeds of the fuzzers: JPEGs from the simulated camera (a
// small picture and a live-view frame), each also cut short, with bits
// flipped, and with a header claiming huge dimensions.
//
//   fuzz_make_seeds <picture corpus folder> <viewer corpus folder>
#include <QBuffer>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "simulator/camera/SimCamera.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

void Write(const std::string& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Sets the frame header's height and width (the first SOF marker).
TBytes ClaimSize(TBytes jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = height >> 8;
      jpeg[i + 6] = height & 0xFF;
      jpeg[i + 7] = width >> 8;
      jpeg[i + 8] = width & 0xFF;
      break;
    }
  }
  return jpeg;
}

TBytes Flipped(TBytes jpeg, std::size_t every) {
  for (std::size_t i = jpeg.size() / 3; i < jpeg.size(); i += every) jpeg[i] ^= 0x10;
  return jpeg;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <picture corpus> <viewer corpus>\n", argv[0]);
    return 2;
  }
  SimCamera::Reset();
  SimCamera::SetPictureSize(192, 128);
  SimCamera::SetFrameSize(160, 106);
  const TBytes picture = SimCamera::RenderPicture();
  const TBytes frame = SimCamera::RenderFrame();
  const struct {
    const char* Name;
    TBytes Bytes;
  } seeds[] = {
      {"picture", picture},
      {"frame", frame},
      {"picture-cut", TBytes(picture.begin(), picture.begin() + picture.size() / 2)},
      {"frame-header-only", TBytes(frame.begin(), frame.begin() + std::min<std::size_t>(frame.size(), 700))},
      {"picture-flipped", Flipped(picture, 97)},
      {"frame-flipped", Flipped(frame, 13)},
      {"picture-claims-65500x65500", ClaimSize(picture, 65500, 65500)},
      {"frame-claims-8000x8000", ClaimSize(frame, 8000, 8000)},
      {"frame-claims-1x1", ClaimSize(frame, 1, 1)},
  };
  // The picture harness reads a flags byte first (mirror, picture markers);
  // the viewer harness an extension byte (0 is ".jpg").
  for (const auto& seed : seeds) {
    for (std::uint8_t flags : {0, 3}) {
      TBytes withFlags{flags};
      withFlags.insert(withFlags.end(), seed.Bytes.begin(), seed.Bytes.end());
      Write(std::string(argv[1]) + "/" + seed.Name + "-" + std::to_string(flags), withFlags);
    }
    TBytes asJpg{0};
    asJpg.insert(asJpg.end(), seed.Bytes.begin(), seed.Bytes.end());
    Write(std::string(argv[2]) + "/" + seed.Name, asJpg);
  }
  // Other formats a pane opens: the picture as PNG and BMP (extension bytes 1
  // and 2), and the BMP cut short.
  QImage image;
  image.loadFromData(picture.data(), static_cast<int>(picture.size()), "JPEG");
  for (const auto& [format, extension] : {std::pair{"PNG", 1}, std::pair{"BMP", 2}}) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    image.scaled(48, 32).save(&buffer, format);
    TBytes bytes{static_cast<std::uint8_t>(extension)};
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    Write(std::string(argv[2]) + "/picture-" + format, bytes);
    if (extension == 2) {
      bytes.resize(bytes.size() / 2);
      Write(std::string(argv[2]) + "/picture-BMP-cut", bytes);
    }
  }
  return 0;
}
