// sulo_sim_pictures FOLDER
//
// Writes the simulated camera's pictures and live-view frames, as this build
// encodes them, for a build of the simulator that has no JPEG library (the
// Windows build): "<width>x<height>-q<quality>.jpg" for the sizes the
// simulator starts with and the size the camera tests use.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "simulator/camera/SimCamera.h"
#include "simulator/camera/SimScene.h"

namespace {

// The simulator's default picture size, the camera tests' size, and the
// default frame size.
constexpr std::pair<int, int> PictureSizes[] = {{5184, 3456}, {640, 427}};
constexpr std::pair<int, int> FrameSizes[] = {{1024, 680}};

bool Write(const std::filesystem::path& folder, int width, int height, int quality,
           const std::vector<std::uint8_t>& jpeg) {
  const auto path =
      folder / (std::to_string(width) + "x" + std::to_string(height) + "-q" + std::to_string(quality) + ".jpg");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
  if (jpeg.empty() || !out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  bool ok = true;
  SimCamera::Reset();
  for (const auto& [width, height] : PictureSizes) {
    SimCamera::SetPictureSize(width, height);
    ok = Write(folder, width, height, SimScene::PictureQuality, SimCamera::RenderPicture()) && ok;
  }
  for (const auto& [width, height] : FrameSizes) {
    SimCamera::SetFrameSize(width, height);
    ok = Write(folder, width, height, SimScene::FrameQuality, SimCamera::RenderFrame()) && ok;
  }
  SimCamera::Reset();
  return ok ? 0 : 1;
}
