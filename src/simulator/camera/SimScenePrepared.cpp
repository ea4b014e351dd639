// The scene's JPEG encoding where the build has no JPEG library: the pictures
// prepared on the build host, looked up by size and quality.
#include "simulator/camera/SimScene.h"
#include "simulator/camera/SimScenePrepared.h"

namespace SimScene {

std::vector<std::uint8_t> EncodeJpeg(const std::uint8_t*, int width, int height, int quality) {
  for (std::size_t i = 0; i < PreparedPictureCount; ++i) {
    const TPreparedPicture& picture = PreparedPictures[i];
    if (picture.Width == width && picture.Height == height && picture.Quality == quality)
      return {picture.Begin, picture.End};
  }
  return {};
}

}  // namespace SimScene
