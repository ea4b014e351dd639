// The simulated camera's pictures and frames: the scene rendered under the
// booth's lights and the body's settings, encoded and cached, with the faults
// tests ask for.
#include <algorithm>
#include <cstdlib>

#include "simulator/camera/SimCameraState.h"
#include "simulator/camera/SimLook.h"
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

SimScene::TLook CurrentLook(TSim& s) {
  SimScene::TCameraSettings camera;
  auto read = [&](EdsPropertyID id, std::uint32_t& into) {
    if (auto it = s.Props.find(id); it != s.Props.end()) into = it->second;
  };
  read(kEdsPropID_Tv, camera.Tv);
  read(kEdsPropID_Av, camera.Av);
  read(kEdsPropID_ISOSpeed, camera.ISO);
  read(kEdsPropID_WhiteBalance, camera.WhiteBalance);
  read(kEdsPropID_ColorTemperature, camera.ColorTemperature);
  camera.ShiftBlueAmber = s.WbShift[0];
  camera.ShiftGreenMagenta = s.WbShift[1];
  return SimScene::LookOf(SimLights::Current(), camera);
}

std::shared_ptr<const TBytes> Picture(int width, int height, const SimScene::TLook& look, TFault fault) {
  // A booth goes through a few looks (one a mode, and what the settings
  // window tries): each is drawn once, and the oldest beyond these is let go.
  constexpr std::size_t Kept = 8;
  TSim& s = Sim();
  std::shared_ptr<const TBytes> whole;
  {
    std::lock_guard guard(s.PictureLock);
    auto it = std::find_if(s.Pictures.begin(), s.Pictures.end(), [&](const TSim::TPicture& p) {
      return p.Width == width && p.Height == height && p.Look == look;
    });
    if (it == s.Pictures.end()) {
      SimScene::TView view;
      view.Width = width;
      view.Height = height;
      view.Scale = SimScene::SensorWidth / width;
      view.Noise = true;
      view.Look = look;
      const TBytes rgb = SimScene::Render(view);
      s.Pictures.push_front({width, height, look,
                             std::make_shared<const TBytes>(
                                 SimScene::EncodeJpeg(rgb.data(), width, height, SimScene::PictureQuality))});
      if (s.Pictures.size() > Kept) s.Pictures.pop_back();
      whole = s.Pictures.front().Bytes;
    } else {
      whole = it->Bytes;
    }
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
  if (key != s.FrameKey || !(r.Look == s.FrameLook)) {
    SimScene::TView view;
    view.Width = r.Width;
    view.Height = r.Height;
    view.Defocus = std::abs(r.Focus);
    view.Look = r.Look;
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
    s.FrameLook = r.Look;
  }
  TBytes rgb = s.FrameScene;
  SimScene::DrawCounter(rgb, r.Width, r.Height, r.Number);
  return ApplyFault(SimScene::EncodeJpeg(rgb.data(), r.Width, r.Height, SimScene::FrameQuality), r.Fault);
}

}  // namespace SimCamera::Internal
