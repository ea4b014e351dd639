// The simulated camera's control surface (SimCamera.h): settings, faults and
// inspection for tests and benchmarks.
#include <algorithm>

#include "simulator/camera/SimCameraState.h"

namespace SimCamera {

using namespace Internal;

void Reset() {
  TSim& s = Sim();
  {
    std::lock_guard guard(s.Lock);
    DefaultBody(s);
    s.PictureFault = s.FrameFault = TFault::None;
    s.FrameWidth = 1024;
    s.FrameHeight = 680;
    s.PictureWidth = 5184;
    s.PictureHeight = 3456;
    s.FilesPerShot = 1;
    s.NotReadyFrames = 2;
    s.ShutterDelay = 150;
    s.ChunkDelay = 0;
    s.CallDelays.clear();
    s.Failures.clear();
    s.LeftAtTerminate = 0;
  }
  ClearCalls();
}

void FailNext(const std::string& function, EdsError error, int count) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  if (count == 0 || error == EDS_ERR_OK) {
    s.Failures.erase(function);
    return;
  }
  s.Failures[function] = {error, count};
}

void ClearFailures() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Failures.clear();
}

void SetCameraAttached(bool attached) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Attached = attached;
  if (!attached) s.Session = false;
}

void SetLegacy(bool legacy) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Legacy = legacy;
}

void RaiseShutdown() {
  Sim().Events.Schedule(0, [] {
    TSim& s = Sim();
    EdsStateEventHandler handler;
    EdsVoid* context;
    {
      std::lock_guard guard(s.Lock);
      handler = s.StateHandler;
      context = s.StateContext;
    }
    if (handler) handler(kEdsStateEvent_Shutdown, 0, context);
  });
}

namespace {

template <class T>
void Set(T TSim::*field, T value) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.*field = value;
}

}  // namespace

void SetPictureFault(TFault fault) { Set(&TSim::PictureFault, fault); }
void SetFrameFault(TFault fault) { Set(&TSim::FrameFault, fault); }
void SetFrameSize(int width, int height) {
  Set(&TSim::FrameWidth, std::clamp(width, 16, 8192));
  Set(&TSim::FrameHeight, std::clamp(height, 16, 8192));
}
void SetPictureSize(int width, int height) {
  Set(&TSim::PictureWidth, std::clamp(width, 16, 8192));
  Set(&TSim::PictureHeight, std::clamp(height, 16, 8192));
}
void SetFilesPerShot(int files) { Set(&TSim::FilesPerShot, std::clamp(files, 1, 10)); }
void SetNotReadyFrames(int frames) { Set(&TSim::NotReadyFrames, std::max(frames, 0)); }
void SetShutterDelay(int ms) { Set(&TSim::ShutterDelay, std::max(ms, 0)); }
void SetDownloadChunkDelay(int ms) { Set(&TSim::ChunkDelay, std::max(ms, 0)); }

void SetCallDelay(const std::string& function, int ms) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  if (ms > 0)
    s.CallDelays[function] = ms;
  else
    s.CallDelays.erase(function);
}

void SetProperty(EdsPropertyID id, EdsUInt32 value) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Removed.erase(id);
  s.Props[id] = value;
}

EdsUInt32 Property(EdsPropertyID id) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  auto it = s.Props.find(id);
  return it == s.Props.end() ? 0xFFFFFFFF : it->second;
}

void RemoveProperty(EdsPropertyID id) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Removed.insert(id);
}

void SetPropertyDesc(EdsPropertyID id, const std::vector<EdsInt32>& codes) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.Descs[id] = codes;
}

void SetWhiteBalanceShift(EdsInt32 blueAmber, EdsInt32 greenMagenta) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.WbShift[0] = blueAmber;
  s.WbShift[1] = greenMagenta;
}

EdsPoint ZoomPosition() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.ZoomPos;
}

EdsPictureStyleDesc PictureStyleUser1() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.User1;
}

int FocusPosition() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.Focus;
}

std::uint64_t FramesServed() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.Frames;
}

bool SessionOpen() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.Session;
}

bool SdkInitialized() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.SdkUp;
}

int LiveObjects() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return static_cast<int>(s.Objects.size());
}

int ObjectsLeftAtTerminate() {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  return s.LeftAtTerminate;
}

std::vector<TCall> Calls() {
  TSim& s = Sim();
  std::lock_guard guard(s.LogLock);
  return {s.Log.begin(), s.Log.end()};
}

void ClearCalls() {
  TSim& s = Sim();
  std::lock_guard guard(s.LogLock);
  s.Log.clear();
}

std::vector<TCall> CallsOf(const std::string& function) {
  std::vector<TCall> out;
  for (auto& c : Calls())
    if (c.Function == function) out.push_back(std::move(c));
  return out;
}

std::vector<TCall> CallsOf(const std::string& function, std::uint32_t id) {
  std::vector<TCall> out;
  for (auto& c : Calls())
    if (c.Function == function && c.Id == id) out.push_back(std::move(c));
  return out;
}

std::vector<std::uint8_t> RenderPicture() {
  TSim& s = Sim();
  int w, h;
  TFault fault;
  SimScene::TLook look;
  {
    std::lock_guard guard(s.Lock);
    w = s.PictureWidth;
    h = s.PictureHeight;
    fault = s.PictureFault;
    look = CurrentLook(s);
  }
  return *Picture(w, h, look, fault);
}

std::vector<std::uint8_t> RenderFrame() {
  TSim& s = Sim();
  TFrameRequest request;
  {
    std::lock_guard guard(s.Lock);
    request = {s.FrameWidth, s.FrameHeight, s.Props[kEdsPropID_Evf_Zoom], s.ZoomPos, s.Focus, ++s.Frames,
               s.FrameFault, CurrentLook(s)};
  }
  return Frame(request);
}

}  // namespace SimCamera
