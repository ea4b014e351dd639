// The simulated camera's pictures and frames: the scene rendered, encoded and
// cached, with the faults tests ask for.
#include <cstdlib>

#include "simulator/camera/SimCameraState.h"
#include "simulator/camera/SimScene.h"

namespace SimCamera::Internal {

TBytes ApplyFault(TBytes bytes, TFault fault) {
  if (fault == TFault::Truncated) {
    bytes.resize(bytes.size() / 2);
  } else if (fault == TFault::Corrupt && bytes.size() > 16) {
    bytes[0] = 0x00;  // no start-of-image marker
    std::uint32_t x = 0x12345678;
    for (std::size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; i += 7) {
      x = x * 1664525u + 1013904223u;
      bytes[i] = static_cast<std::uint8_t>(x >> 24);
    }
  }
  return bytes;
}

std::shared_ptr<const TBytes> Picture(int width, int height, TFault fault) {
  TSim& s = Sim();
  std::shared_ptr<const TBytes> whole;
  {
    std::lock_guard guard(s.PictureLock);
    auto& slot = s.Pictures[{width, height}];
    if (!slot) {
      SimScene::TView view;
      view.Width = width;
      view.Height = height;
      view.Scale = SimScene::SensorWidth / width;
      view.Noise = true;
      const TBytes rgb = SimScene::Render(view);
      slot = std::make_shared<const TBytes>(SimScene::EncodeJpeg(rgb.data(), width, height, SimScene::PictureQuality));
    }
    whole = slot;
  }
  if (fault == TFault::None) return whole;
  return std::make_shared<const TBytes>(ApplyFault(*whole, fault));
}

TBytes Frame(const TFrameRequest& r) {
  TSim& s = Sim();
  std::lock_guard guard(s.FrameLock);
  const bool zoomed = r.Zoom >= 5;
  const auto key = std::make_tuple(r.Width, r.Height, r.Zoom, zoomed ? r.Position.x : 0, zoomed ? r.Position.y : 0,
                                   std::abs(r.Focus));
  if (key != s.FrameKey) {
    SimScene::TView view;
    view.Width = r.Width;
    view.Height = r.Height;
    view.Defocus = std::abs(r.Focus);
    if (zoomed) {
      const double area = SimScene::SensorWidth / r.Zoom;
      view.X0 = r.Position.x;
      view.Y0 = r.Position.y;
      view.Scale = area / r.Width;
    } else {
      view.Scale = SimScene::SensorWidth / r.Width;
    }
    s.FrameScene = SimScene::Render(view);
    s.FrameKey = key;
  }
  TBytes rgb = s.FrameScene;
  SimScene::DrawCounter(rgb, r.Width, r.Height, r.Number);
  return ApplyFault(SimScene::EncodeJpeg(rgb.data(), r.Width, r.Height, SimScene::FrameQuality), r.Fault);
}

}  // namespace SimCamera::Internal
