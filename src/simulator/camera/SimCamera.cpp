// The simulated camera: the SDK calls of camera/EDSDK.h over one virtual body.
//
// References are numbers handed out once and looked up in a table, never
// dereferenced, so a stale or made-up reference is answered with
// EDS_ERR_INVALID_HANDLE. One lock guards the body and the table; it is never
// held while a user callback runs or while a picture or frame is rendered.
#include "simulator/camera/SimCamera.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "simulator/camera/SimScene.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
using TClock = std::chrono::steady_clock;

enum class TKind { CameraList, Camera, Stream, EvfImage, DirItem };

struct TObject {
  TKind Kind = TKind::Stream;
  int RefCount = 1;
  // Stream.
  TBytes Data;
  EdsProgressCallback Progress = nullptr;
  EdsVoid* ProgressContext = nullptr;
  // Evf image: the stream it fills.
  std::uintptr_t Stream = 0;
  // Directory item: the file the camera holds.
  std::shared_ptr<const TBytes> File;
  std::string FileName;
};

// Delivers the body's events on a thread of its own, like the SDK does.
class TEventThread {
 public:
  void Start() {
    std::lock_guard guard(FLock);
    if (FRunning) return;
    FRunning = true;
    FThread = std::thread([this] { Run(); });
  }
  void Stop() {
    {
      std::lock_guard guard(FLock);
      if (!FRunning) return;
      FRunning = false;
      FPending.clear();
    }
    FWake.notify_all();
    if (FThread.joinable()) FThread.join();
  }
  bool OnThisThread() const { return std::this_thread::get_id() == FThread.get_id(); }
  void Schedule(int delayMs, std::function<void()> work) {
    {
      std::lock_guard guard(FLock);
      if (!FRunning) return;
      FPending.emplace(TClock::now() + std::chrono::milliseconds(std::max(delayMs, 0)), std::move(work));
    }
    FWake.notify_all();
  }

 private:
  void Run() {
    std::unique_lock lock(FLock);
    while (FRunning) {
      if (FPending.empty()) {
        FWake.wait(lock);
        continue;
      }
      auto first = FPending.begin();
      if (TClock::now() < first->first) {
        FWake.wait_until(lock, first->first);
        continue;
      }
      auto work = std::move(first->second);
      FPending.erase(first);
      lock.unlock();
      work();
      lock.lock();
    }
  }

  std::mutex FLock;
  std::condition_variable FWake;
  std::multimap<TClock::time_point, std::function<void()>> FPending;
  std::thread FThread;
  bool FRunning = false;
};

struct TFailure {
  EdsError Error;
  int Count;  // negative: for ever
};

struct TSim {
  std::mutex Lock;
  bool SdkUp = false;
  std::unordered_map<std::uintptr_t, TObject> Objects;
  std::uintptr_t NextId = 1;

  // The body.
  bool Attached = true;
  bool Legacy = false;
  bool Session = false;
  bool UiLocked = false;
  std::map<EdsPropertyID, EdsUInt32> Props;
  std::set<EdsPropertyID> Removed;
  std::map<EdsPropertyID, std::vector<EdsInt32>> Descs;
  EdsInt32 WbShift[2] = {0, 0};
  EdsPoint ZoomPos{};
  EdsPictureStyleDesc User1{};
  EdsCapacity Capacity{};
  int Focus = 2;
  std::uint64_t Frames = 0;
  int NotReadyLeft = 0;
  int FileCounter = 0;

  EdsPropertyEventHandler PropertyHandler = nullptr;
  EdsVoid* PropertyContext = nullptr;
  EdsObjectEventHandler ObjectHandler = nullptr;
  EdsVoid* ObjectContext = nullptr;
  EdsStateEventHandler StateHandler = nullptr;
  EdsVoid* StateContext = nullptr;

  // Test settings.
  SimCamera::TFault PictureFault = SimCamera::TFault::None;
  SimCamera::TFault FrameFault = SimCamera::TFault::None;
  int FrameWidth = 1024, FrameHeight = 680;
  int PictureWidth = 5184, PictureHeight = 3456;
  int FilesPerShot = 1;
  int NotReadyFrames = 2;
  int ShutterDelay = 150;
  int ChunkDelay = 0;
  std::map<std::string, int> CallDelays;
  std::map<std::string, TFailure> Failures;

  // Call log, under its own lock.
  std::mutex LogLock;
  std::deque<SimCamera::TCall> Log;

  TEventThread Events;

  // Render caches, under their own locks.
  std::mutex PictureLock;
  std::map<std::tuple<int, int>, std::shared_ptr<const TBytes>> Pictures;
  std::mutex FrameLock;
  std::tuple<int, int, EdsUInt32, int, int, int> FrameKey{-1, -1, 0, 0, 0, 0};
  TBytes FrameScene;
};

// Never destroyed: the event thread and callers may outlive static destruction.
TSim& Sim() {
  static TSim* sim = new TSim;
  return *sim;
}

constexpr int ZoomWidth = 518, ZoomHeight = 345;  // sensor area shown at x10

void DefaultBody(TSim& s) {
  s.Attached = true;
  s.Legacy = false;
  s.UiLocked = false;
  s.Props = {
      {kEdsPropID_SaveTo, 1},
      {kEdsPropID_ImageQuality, 0x0013FF0F},
      {kEdsPropID_WhiteBalance, 0},
      {kEdsPropID_ColorTemperature, 5200},
      {kEdsPropID_PictureStyle, 0x81},
      {kEdsPropID_DriveMode, 0},
      {kEdsPropID_ISOSpeed, 0x48},
      {kEdsPropID_MeteringMode, 3},
      {kEdsPropID_Av, 0x38},
      {kEdsPropID_Tv, 0x70},
      {kEdsPropID_ExposureCompensation, 0},
      {kEdsPropID_Evf_OutputDevice, 1},
      {kEdsPropID_Evf_Mode, 0},
      {kEdsPropID_Evf_DepthOfFieldPreview, 0},
      {kEdsPropID_Evf_Zoom, kEdsEvfZoom_Fit},
  };
  s.Removed.clear();
  s.Descs.clear();
  s.Descs[kEdsPropID_ISOSpeed] = {0x48, 0x4B, 0x4D, 0x50, 0x53, 0x55, 0x58, 0x5B, 0x5D, 0x60,
                                  0x63, 0x65, 0x68, 0x6B, 0x6D, 0x70, 0x73, 0x75, 0x78};
  s.Descs[kEdsPropID_Av] = {0x20, 0x23, 0x25, 0x28, 0x2B, 0x2D, 0x30, 0x33, 0x35, 0x38,
                            0x3B, 0x3D, 0x40, 0x43, 0x45, 0x48, 0x4B, 0x4D, 0x50};
  auto& tv = s.Descs[kEdsPropID_Tv];
  tv = {0x0C};
  for (EdsInt32 base = 0x10; base <= 0xA0; base += 8) {
    tv.push_back(base);
    if (base < 0xA0) {
      tv.push_back(base + 3);
      tv.push_back(base + 5);
    }
  }
  s.Descs[kEdsPropID_ExposureCompensation] = {0xE8, 0xEB, 0xED, 0xF0, 0xF3, 0xF5, 0xF8, 0xFB, 0xFD, 0x00,
                                              0x03, 0x05, 0x08, 0x0B, 0x0D, 0x10, 0x13, 0x15, 0x18};
  s.Descs[kEdsPropID_MeteringMode] = {3, 4, 1, 5};
  s.Descs[kEdsPropID_ImageQuality] = {0x0013FF0F, 0x0012FF0F, 0x0113FF0F, 0x0112FF0F, 0x0213FF0F,
                                      0x0212FF0F, 0x0064FF0F, 0x00640013};
  s.Descs[kEdsPropID_PictureStyle] = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x21, 0x22, 0x23};
  s.Descs[kEdsPropID_WhiteBalance] = {0, 1, 2, 3, 4, 5, 6, 8, 9};
  auto& kelvin = s.Descs[kEdsPropID_ColorTemperature];
  kelvin.clear();
  for (EdsInt32 k = 2500; k <= 10000; k += 100) kelvin.push_back(k);
  s.Descs[kEdsPropID_DriveMode] = {0, 1, 0x11};
  s.WbShift[0] = s.WbShift[1] = 0;
  s.ZoomPos = {(5184 - ZoomWidth) / 2, (3456 - ZoomHeight) / 2};
  s.User1 = {0, 3, 0, 0, 0, 0};
  s.Capacity = {};
  s.Focus = 2;
  s.NotReadyLeft = 0;
}

struct TInit {
  TInit() { DefaultBody(Sim()); }
} Init;

// ------------------------------------------------------------------ helpers

std::uintptr_t Id(EdsBaseRef ref) { return reinterpret_cast<std::uintptr_t>(ref); }

EdsBaseRef NewObject(TSim& s, TKind kind) {
  const std::uintptr_t id = 0x10000 + (s.NextId++) * 16;
  TObject object;
  object.Kind = kind;
  s.Objects.emplace(id, std::move(object));
  return reinterpret_cast<EdsBaseRef>(id);
}

TObject* Find(TSim& s, EdsBaseRef ref, TKind kind) {
  auto it = s.Objects.find(Id(ref));
  if (it == s.Objects.end() || it->second.Kind != kind) return nullptr;
  return &it->second;
}

void Record(SimCamera::TCall call) {
  TSim& s = Sim();
  std::lock_guard guard(s.LogLock);
  s.Log.push_back(std::move(call));
  if (s.Log.size() > 100000) s.Log.pop_front();
}

// Applies the call's delay and failure plan, runs `body` unless a failure is
// planned, and logs the call with its result.
template <class F>
EdsError Call(SimCamera::TCall call, F body) {
  TSim& s = Sim();
  int delay = 0;
  EdsError planned = EDS_ERR_OK;
  {
    std::lock_guard guard(s.Lock);
    if (auto it = s.CallDelays.find(call.Function); it != s.CallDelays.end()) delay = it->second;
    if (auto it = s.Failures.find(call.Function); it != s.Failures.end()) {
      planned = it->second.Error;
      if (it->second.Count > 0 && --it->second.Count == 0) s.Failures.erase(it);
    }
  }
  if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  call.Result = planned != EDS_ERR_OK ? planned : body();
  const EdsError result = call.Result;
  call.Time = TClock::now();
  Record(std::move(call));
  return result;
}

// The body must be reachable and in session for most calls.
EdsError CheckCamera(TSim& s, EdsBaseRef camera, bool needSession) {
  if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
  if (!Find(s, camera, TKind::Camera)) return EDS_ERR_INVALID_HANDLE;
  if (!s.Attached) return EDS_ERR_DEVICE_NOT_FOUND;
  if (needSession && !s.Session) return EDS_ERR_SESSION_NOT_OPEN;
  return EDS_ERR_OK;
}

TBytes ApplyFault(TBytes bytes, SimCamera::TFault fault) {
  if (fault == SimCamera::TFault::Truncated) {
    bytes.resize(bytes.size() / 2);
  } else if (fault == SimCamera::TFault::Corrupt && bytes.size() > 16) {
    bytes[0] = 0x00;  // no start-of-image marker
    std::uint32_t x = 0x12345678;
    for (std::size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; i += 7) {
      x = x * 1664525u + 1013904223u;
      bytes[i] = static_cast<std::uint8_t>(x >> 24);
    }
  }
  return bytes;
}

std::shared_ptr<const TBytes> Picture(int width, int height, SimCamera::TFault fault) {
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
      slot = std::make_shared<const TBytes>(SimScene::EncodeJpeg(rgb.data(), width, height, 80));
    }
    whole = slot;
  }
  if (fault == SimCamera::TFault::None) return whole;
  return std::make_shared<const TBytes>(ApplyFault(*whole, fault));
}

struct TFrameRequest {
  int Width, Height;
  EdsUInt32 Zoom;
  EdsPoint Position;
  int Focus;
  std::uint64_t Number;
  SimCamera::TFault Fault;
};

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
  return ApplyFault(SimScene::EncodeJpeg(rgb.data(), r.Width, r.Height, 75), r.Fault);
}

bool IsFourByte(EdsPropertyID id) {
  switch (id) {
    case kEdsPropID_SaveTo:
    case kEdsPropID_ImageQuality:
    case kEdsPropID_WhiteBalance:
    case kEdsPropID_ColorTemperature:
    case kEdsPropID_PictureStyle:
    case kEdsPropID_DriveMode:
    case kEdsPropID_ISOSpeed:
    case kEdsPropID_MeteringMode:
    case kEdsPropID_Av:
    case kEdsPropID_Tv:
    case kEdsPropID_ExposureCompensation:
    case kEdsPropID_Evf_OutputDevice:
    case kEdsPropID_Evf_Mode:
    case kEdsPropID_Evf_DepthOfFieldPreview:
    case kEdsPropID_Evf_Zoom:
      return true;
    default:
      return false;
  }
}

// Checks the id, inParam and size of a property access.
EdsError CheckAccess(TSim& s, EdsPropertyID id, EdsInt32 param, EdsUInt32 size, const void* data) {
  if (s.Removed.count(id)) return EDS_ERR_PROPERTIES_UNAVAILABLE;
  if (!data) return EDS_ERR_INVALID_POINTER;
  if (IsFourByte(id)) {
    if (param != 0) return EDS_ERR_INVALID_PARAMETER;
    return size == 4 ? EDS_ERR_OK : EDS_ERR_INVALID_LENGTH;
  }
  if (id == kEdsPropID_WhiteBalanceShift || id == kEdsPropID_Evf_ZoomPosition) {
    if (param != 0) return EDS_ERR_INVALID_PARAMETER;
    return size == 8 ? EDS_ERR_OK : EDS_ERR_INVALID_LENGTH;
  }
  if (id == kEdsPropID_PictureStyleDesc) {
    if (static_cast<EdsUInt32>(param) != kEdsPictureStyle_User1) return EDS_ERR_PROPERTIES_UNAVAILABLE;
    return size == sizeof(EdsPictureStyleDesc) ? EDS_ERR_OK : EDS_ERR_INVALID_LENGTH;
  }
  return EDS_ERR_PROPERTIES_UNAVAILABLE;
}

EdsPoint ClampZoomPosition(EdsPoint p) {
  p.x = std::clamp<EdsInt32>(p.x, 0, 5184 - ZoomWidth);
  p.y = std::clamp<EdsInt32>(p.y, 0, 3456 - ZoomHeight);
  return p;
}

std::vector<std::int32_t> Words(const void* data, EdsUInt32 size) {
  std::vector<std::int32_t> words;
  if (!data) return words;
  const std::size_t n = std::min<std::size_t>(size, 64) / 4;
  words.resize(n);
  if (n) std::memcpy(words.data(), data, n * 4);
  return words;
}

void ScheduleTransfer(TSim& s) {
  const int files = std::max(s.FilesPerShot, 1);
  const int width = s.PictureWidth, height = s.PictureHeight;
  const SimCamera::TFault fault = s.PictureFault;
  for (int k = 0; k < files; ++k) {
    s.Events.Schedule(s.ShutterDelay + 50 * k, [width, height, fault] {
      auto file = Picture(width, height, fault);
      TSim& sim = Sim();
      EdsObjectEventHandler handler;
      EdsVoid* context;
      EdsBaseRef item;
      {
        std::lock_guard guard(sim.Lock);
        if (!sim.SdkUp) return;
        handler = sim.ObjectHandler;
        context = sim.ObjectContext;
        item = NewObject(sim, TKind::DirItem);
        TObject* object = Find(sim, item, TKind::DirItem);
        object->File = file;
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.JPG", ++sim.FileCounter % 10000);
        object->FileName = name;
        if (!handler) {
          sim.Objects.erase(Id(item));  // nobody listens: the body keeps the file
          return;
        }
      }
      handler(kEdsObjectEvent_DirItemRequestTransfer, item, context);
    });
  }
}

SimCamera::TCall Named(const char* function, EdsBaseRef ref = nullptr) {
  SimCamera::TCall call;
  call.Function = function;
  call.Ref = Id(ref);
  return call;
}

}  // namespace

// ====================================================================== SDK calls

extern "C" {

EdsError EDSAPI EdsInitializeSDK() {
  return Call(Named("EdsInitializeSDK"), [] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    s.SdkUp = true;
    s.Events.Start();
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsTerminateSDK() {
  return Call(Named("EdsTerminateSDK"), [] {
    TSim& s = Sim();
    if (s.Events.OnThisThread()) return EDS_ERR_INTERNAL_ERROR;
    s.Events.Stop();  // pending transfers and state events are dropped
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    s.SdkUp = false;
    s.Session = false;
    s.Objects.clear();
    s.PropertyHandler = nullptr;
    s.ObjectHandler = nullptr;
    s.StateHandler = nullptr;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetCameraList(EdsCameraListRef* outCameraListRef) {
  return Call(Named("EdsGetCameraList"), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    if (!outCameraListRef) return EDS_ERR_INVALID_POINTER;
    *outCameraListRef = NewObject(s, TKind::CameraList);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetChildCount(EdsBaseRef inRef, EdsUInt32* outCount) {
  return Call(Named("EdsGetChildCount", inRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    if (!Find(s, inRef, TKind::CameraList)) return EDS_ERR_INVALID_HANDLE;
    if (!outCount) return EDS_ERR_INVALID_POINTER;
    *outCount = s.Attached ? 1 : 0;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetChildAtIndex(EdsBaseRef inRef, EdsInt32 inIndex, EdsBaseRef* outRef) {
  auto call = Named("EdsGetChildAtIndex", inRef);
  call.Param = inIndex;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    if (!Find(s, inRef, TKind::CameraList)) return EDS_ERR_INVALID_HANDLE;
    if (!outRef) return EDS_ERR_INVALID_POINTER;
    if (inIndex != 0 || !s.Attached) return EDS_ERR_INVALID_INDEX;
    *outRef = NewObject(s, TKind::Camera);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetDeviceInfo(EdsCameraRef inCameraRef, EdsDeviceInfo* outDeviceInfo) {
  return Call(Named("EdsGetDeviceInfo", inCameraRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, false)) return e;
    if (!outDeviceInfo) return EDS_ERR_INVALID_POINTER;
    std::memset(outDeviceInfo, 0, sizeof *outDeviceInfo);
    std::snprintf(outDeviceInfo->szPortName, EDS_MAX_NAME, "SIM0");
    std::snprintf(outDeviceInfo->szDeviceDescription, EDS_MAX_NAME, "Canon EOS (simulated)");
    outDeviceInfo->deviceSubType = s.Legacy ? 0 : 1;
    return EDS_ERR_OK;
  });
}

EdsUInt32 EDSAPI EdsRelease(EdsBaseRef inRef) {
  EdsUInt32 remaining = 0xFFFFFFFF;
  Call(Named("EdsRelease", inRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    auto it = s.Objects.find(Id(inRef));
    if (it == s.Objects.end()) return EDS_ERR_INVALID_HANDLE;
    remaining = static_cast<EdsUInt32>(--it->second.RefCount);
    if (remaining == 0) s.Objects.erase(it);
    return EDS_ERR_OK;
  });
  return remaining;
}

EdsError EDSAPI EdsSetPropertyEventHandler(EdsCameraRef inCameraRef, EdsPropertyEvent inEvent,
                                           EdsPropertyEventHandler inHandler, EdsVoid* inContext) {
  auto call = Named("EdsSetPropertyEventHandler", inCameraRef);
  call.Id = inEvent;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, false)) return e;
    if (inEvent != kEdsPropertyEvent_All) return EDS_ERR_INVALID_PARAMETER;
    s.PropertyHandler = inHandler;
    s.PropertyContext = inContext;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSetObjectEventHandler(EdsCameraRef inCameraRef, EdsObjectEvent inEvent,
                                         EdsObjectEventHandler inHandler, EdsVoid* inContext) {
  auto call = Named("EdsSetObjectEventHandler", inCameraRef);
  call.Id = inEvent;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, false)) return e;
    if (inEvent != kEdsObjectEvent_All && inEvent != kEdsObjectEvent_DirItemRequestTransfer)
      return EDS_ERR_INVALID_PARAMETER;
    s.ObjectHandler = inHandler;
    s.ObjectContext = inContext;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSetCameraStateEventHandler(EdsCameraRef inCameraRef, EdsStateEvent inEvent,
                                              EdsStateEventHandler inHandler, EdsVoid* inContext) {
  auto call = Named("EdsSetCameraStateEventHandler", inCameraRef);
  call.Id = inEvent;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, false)) return e;
    if (inEvent != kEdsStateEvent_All && inEvent != kEdsStateEvent_Shutdown) return EDS_ERR_INVALID_PARAMETER;
    s.StateHandler = inHandler;
    s.StateContext = inContext;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsOpenSession(EdsCameraRef inCameraRef) {
  return Call(Named("EdsOpenSession", inCameraRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, false)) return e;
    s.Session = true;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsCloseSession(EdsCameraRef inCameraRef) {
  return Call(Named("EdsCloseSession", inCameraRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, true)) return e;
    s.Session = false;
    s.UiLocked = false;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetPropertyData(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsInt32 inParam,
                                   EdsUInt32 inPropertySize, EdsVoid* outPropertyData) {
  auto call = Named("EdsGetPropertyData", inRef);
  call.Id = inPropertyID;
  call.Param = inParam;
  call.Size = inPropertySize;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inRef, true)) return e;
    if (EdsError e = CheckAccess(s, inPropertyID, inParam, inPropertySize, outPropertyData)) return e;
    if (IsFourByte(inPropertyID)) {
      const EdsUInt32 value = s.Props[inPropertyID];
      std::memcpy(outPropertyData, &value, 4);
    } else if (inPropertyID == kEdsPropID_WhiteBalanceShift) {
      std::memcpy(outPropertyData, s.WbShift, 8);
    } else if (inPropertyID == kEdsPropID_Evf_ZoomPosition) {
      std::memcpy(outPropertyData, &s.ZoomPos, 8);
    } else {
      std::memcpy(outPropertyData, &s.User1, sizeof s.User1);
    }
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSetPropertyData(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsInt32 inParam,
                                   EdsUInt32 inPropertySize, const EdsVoid* inPropertyData) {
  auto call = Named("EdsSetPropertyData", inRef);
  call.Id = inPropertyID;
  call.Param = inParam;
  call.Size = inPropertySize;
  call.Data = Words(inPropertyData, inPropertySize);
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inRef, true)) return e;
    if (EdsError e = CheckAccess(s, inPropertyID, inParam, inPropertySize, inPropertyData)) return e;
    if (IsFourByte(inPropertyID)) {
      EdsUInt32 value;
      std::memcpy(&value, inPropertyData, 4);
      if (auto d = s.Descs.find(inPropertyID); d != s.Descs.end()) {
        if (std::find(d->second.begin(), d->second.end(), static_cast<EdsInt32>(value)) == d->second.end())
          return EDS_ERR_INVALID_PARAMETER;
      }
      switch (inPropertyID) {
        case kEdsPropID_SaveTo:
          if (value < 1 || value > 3) return EDS_ERR_INVALID_PARAMETER;
          break;
        case kEdsPropID_Evf_Zoom:
          if (value != 1 && value != 5 && value != 10) return EDS_ERR_INVALID_PARAMETER;
          break;
        case kEdsPropID_Evf_Mode:
        case kEdsPropID_Evf_DepthOfFieldPreview:
          if (value > 1) return EDS_ERR_INVALID_PARAMETER;
          break;
        case kEdsPropID_Evf_OutputDevice:
          if ((value & kEdsEvfOutputDevice_PC) && !(s.Props[inPropertyID] & kEdsEvfOutputDevice_PC))
            s.NotReadyLeft = s.NotReadyFrames;  // the body needs a moment before the first frame
          break;
        default:
          break;
      }
      s.Props[inPropertyID] = value;
    } else if (inPropertyID == kEdsPropID_WhiteBalanceShift) {
      EdsInt32 pair[2];
      std::memcpy(pair, inPropertyData, 8);
      if (pair[0] < -9 || pair[0] > 9 || pair[1] < -9 || pair[1] > 9) return EDS_ERR_INVALID_PARAMETER;
      s.WbShift[0] = pair[0];
      s.WbShift[1] = pair[1];
    } else if (inPropertyID == kEdsPropID_Evf_ZoomPosition) {
      EdsPoint p;
      std::memcpy(&p, inPropertyData, 8);
      s.ZoomPos = ClampZoomPosition(p);
    } else {
      std::memcpy(&s.User1, inPropertyData, sizeof s.User1);
    }
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetPropertyDesc(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsPropertyDesc* outPropertyDesc) {
  auto call = Named("EdsGetPropertyDesc", inRef);
  call.Id = inPropertyID;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inRef, true)) return e;
    if (!outPropertyDesc) return EDS_ERR_INVALID_POINTER;
    auto d = s.Descs.find(inPropertyID);
    if (s.Removed.count(inPropertyID) || d == s.Descs.end()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
    std::memset(outPropertyDesc, 0, sizeof *outPropertyDesc);
    outPropertyDesc->form = 1;
    outPropertyDesc->access = 1;
    const std::size_t n = std::min<std::size_t>(d->second.size(), 128);
    outPropertyDesc->numElements = static_cast<EdsInt32>(n);
    std::copy_n(d->second.begin(), n, outPropertyDesc->propDesc);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSendStatusCommand(EdsCameraRef inCameraRef, EdsCameraStatusCommand inStatusCommand,
                                     EdsInt32 inParam) {
  auto call = Named("EdsSendStatusCommand", inCameraRef);
  call.Id = inStatusCommand;
  call.Param = inParam;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, true)) return e;
    if (inStatusCommand == kEdsCameraStatusCommand_UILock) {
      s.UiLocked = true;
    } else if (inStatusCommand == kEdsCameraStatusCommand_UIUnLock) {
      s.UiLocked = false;
    } else {
      return EDS_ERR_INVALID_PARAMETER;
    }
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSendCommand(EdsCameraRef inCameraRef, EdsCameraCommand inCommand, EdsInt32 inParam) {
  auto call = Named("EdsSendCommand", inCameraRef);
  call.Id = inCommand;
  call.Param = inParam;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, true)) return e;
    if (inCommand == kEdsCameraCommand_TakePicture) {
      if (inParam != 0) return EDS_ERR_INVALID_PARAMETER;
      if (s.Props[kEdsPropID_SaveTo] & kEdsSaveTo_Host) ScheduleTransfer(s);
      return EDS_ERR_OK;
    }
    if (inCommand == kEdsCameraCommand_DriveLensEvf) {
      if (!(s.Props[kEdsPropID_Evf_OutputDevice] & kEdsEvfOutputDevice_PC)) return EDS_ERR_NOT_SUPPORTED;
      int step;
      switch (inParam) {
        case 1: step = -1; break;
        case 2: step = -3; break;
        case 3: step = -9; break;
        case 0x8001: step = 1; break;
        case 0x8002: step = 3; break;
        case 0x8003: step = 9; break;
        default: return EDS_ERR_INVALID_PARAMETER;
      }
      s.Focus = std::clamp(s.Focus + step, -30, 30);
      return EDS_ERR_OK;
    }
    return EDS_ERR_NOT_SUPPORTED;
  });
}

EdsError EDSAPI EdsSetCapacity(EdsCameraRef inCameraRef, EdsCapacity inCapacity) {
  auto call = Named("EdsSetCapacity", inCameraRef);
  call.Data = {inCapacity.numberOfFreeClusters, inCapacity.bytesPerSector, inCapacity.reset};
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (EdsError e = CheckCamera(s, inCameraRef, true)) return e;
    if (inCapacity.bytesPerSector <= 0 || inCapacity.numberOfFreeClusters < 0) return EDS_ERR_INVALID_PARAMETER;
    s.Capacity = inCapacity;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetDirectoryItemInfo(EdsDirectoryItemRef inDirItemRef, EdsDirectoryItemInfo* outDirItemInfo) {
  return Call(Named("EdsGetDirectoryItemInfo", inDirItemRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    TObject* item = Find(s, inDirItemRef, TKind::DirItem);
    if (!item) return EDS_ERR_INVALID_HANDLE;
    if (!outDirItemInfo) return EDS_ERR_INVALID_POINTER;
    std::memset(outDirItemInfo, 0, sizeof *outDirItemInfo);
    outDirItemInfo->size = static_cast<EdsUInt32>(item->File ? item->File->size() : 0);
    outDirItemInfo->format = 0xB101;  // our tag for JPEG
    std::snprintf(outDirItemInfo->szFileName, EDS_MAX_NAME, "%s", item->FileName.c_str());
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsCreateMemoryStream(EdsUInt64 inBufferSize, EdsStreamRef* outStream) {
  auto call = Named("EdsCreateMemoryStream");
  call.Size = inBufferSize;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    if (!outStream) return EDS_ERR_INVALID_POINTER;
    if (inBufferSize > (1ull << 30)) return EDS_ERR_INVALID_LENGTH;
    *outStream = NewObject(s, TKind::Stream);
    Find(s, *outStream, TKind::Stream)->Data.reserve(static_cast<std::size_t>(inBufferSize));
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsSetProgressCallback(EdsBaseRef inRef, EdsProgressCallback inProgressCallback,
                                       EdsProgressOption inProgressOption, EdsVoid* inContext) {
  auto call = Named("EdsSetProgressCallback", inRef);
  call.Param = inProgressOption;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    TObject* stream = Find(s, inRef, TKind::Stream);
    if (!stream) return EDS_ERR_INVALID_HANDLE;
    if (inProgressOption > 2) return EDS_ERR_INVALID_PARAMETER;
    stream->Progress = inProgressOption == 0 ? nullptr : inProgressCallback;
    stream->ProgressContext = inContext;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsDownload(EdsDirectoryItemRef inDirItemRef, EdsUInt64 inReadSize, EdsStreamRef outStream) {
  auto call = Named("EdsDownload", inDirItemRef);
  call.Size = inReadSize;
  return Call(std::move(call), [&] {
    TSim& s = Sim();
    std::shared_ptr<const TBytes> file;
    EdsProgressCallback progress;
    EdsVoid* context;
    int chunkDelay;
    {
      std::lock_guard guard(s.Lock);
      if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
      TObject* item = Find(s, inDirItemRef, TKind::DirItem);
      TObject* stream = Find(s, outStream, TKind::Stream);
      if (!item || !stream) return EDS_ERR_INVALID_HANDLE;
      if (!item->File || inReadSize > item->File->size()) return EDS_ERR_INVALID_LENGTH;
      file = item->File;
      progress = stream->Progress;
      context = stream->ProgressContext;
      chunkDelay = s.ChunkDelay;
      stream->Data.clear();
    }
    // Streams the file in ten chunks, reporting progress after each.
    const std::size_t total = static_cast<std::size_t>(inReadSize);
    const std::size_t chunk = std::max<std::size_t>(total / 10, 1);
    std::size_t done = 0;
    do {
      const std::size_t n = std::min(chunk, total - done);
      {
        std::lock_guard guard(s.Lock);
        TObject* stream = Find(s, outStream, TKind::Stream);
        if (!stream) return EDS_ERR_INVALID_HANDLE;
        stream->Data.insert(stream->Data.end(), file->begin() + done, file->begin() + done + n);
      }
      done += n;
      if (chunkDelay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunkDelay));
      if (progress) {
        EdsBool cancel = 0;
        progress(static_cast<EdsUInt32>(total ? done * 100 / total : 100), context, &cancel);
        if (cancel) return EDS_ERR_INTERNAL_ERROR;
      }
    } while (done < total);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsDownloadComplete(EdsDirectoryItemRef inDirItemRef) {
  return Call(Named("EdsDownloadComplete", inDirItemRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    return Find(s, inDirItemRef, TKind::DirItem) ? EDS_ERR_OK : EDS_ERR_INVALID_HANDLE;
  });
}

EdsError EDSAPI EdsDownloadCancel(EdsDirectoryItemRef inDirItemRef) {
  return Call(Named("EdsDownloadCancel", inDirItemRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    return Find(s, inDirItemRef, TKind::DirItem) ? EDS_ERR_OK : EDS_ERR_INVALID_HANDLE;
  });
}

EdsError EDSAPI EdsCreateEvfImageRef(EdsStreamRef inStreamRef, EdsEvfImageRef* outEvfImageRef) {
  return Call(Named("EdsCreateEvfImageRef", inStreamRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    if (!Find(s, inStreamRef, TKind::Stream)) return EDS_ERR_INVALID_HANDLE;
    if (!outEvfImageRef) return EDS_ERR_INVALID_POINTER;
    *outEvfImageRef = NewObject(s, TKind::EvfImage);
    Find(s, *outEvfImageRef, TKind::EvfImage)->Stream = Id(inStreamRef);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsDownloadEvfImage(EdsCameraRef inCameraRef, EdsEvfImageRef inEvfImageRef) {
  return Call(Named("EdsDownloadEvfImage", inCameraRef), [&] {
    TSim& s = Sim();
    TFrameRequest request;
    std::uintptr_t streamId;
    {
      std::lock_guard guard(s.Lock);
      if (EdsError e = CheckCamera(s, inCameraRef, true)) return e;
      TObject* image = Find(s, inEvfImageRef, TKind::EvfImage);
      if (!image) return EDS_ERR_INVALID_HANDLE;
      streamId = image->Stream;
      if (!s.Objects.count(streamId)) return EDS_ERR_INVALID_HANDLE;
      if (!(s.Props[kEdsPropID_Evf_OutputDevice] & kEdsEvfOutputDevice_PC)) return EDS_ERR_OBJECT_NOTREADY;
      if (s.NotReadyLeft > 0) {
        --s.NotReadyLeft;
        return EDS_ERR_OBJECT_NOTREADY;
      }
      request = {s.FrameWidth, s.FrameHeight, s.Props[kEdsPropID_Evf_Zoom], s.ZoomPos, s.Focus, ++s.Frames,
                 s.FrameFault};
    }
    TBytes frame = Frame(request);
    std::lock_guard guard(s.Lock);
    auto it = s.Objects.find(streamId);
    if (it == s.Objects.end() || it->second.Kind != TKind::Stream) return EDS_ERR_INVALID_HANDLE;
    it->second.Data = std::move(frame);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetPointer(EdsStreamRef inStream, EdsVoid** outPointer) {
  return Call(Named("EdsGetPointer", inStream), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    TObject* stream = Find(s, inStream, TKind::Stream);
    if (!stream) return EDS_ERR_INVALID_HANDLE;
    if (!outPointer) return EDS_ERR_INVALID_POINTER;
    *outPointer = stream->Data.data();
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetLength(EdsStreamRef inStream, EdsUInt64* outLength) {
  return Call(Named("EdsGetLength", inStream), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
    TObject* stream = Find(s, inStream, TKind::Stream);
    if (!stream) return EDS_ERR_INVALID_HANDLE;
    if (!outLength) return EDS_ERR_INVALID_POINTER;
    *outLength = stream->Data.size();
    return EDS_ERR_OK;
  });
}

}  // extern "C"

// ====================================================================== control surface

namespace SimCamera {

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

template <class T>
static void Set(T TSim::*field, T value) {
  TSim& s = Sim();
  std::lock_guard guard(s.Lock);
  s.*field = value;
}

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
  {
    std::lock_guard guard(s.Lock);
    w = s.PictureWidth;
    h = s.PictureHeight;
    fault = s.PictureFault;
  }
  return *Picture(w, h, fault);
}

std::vector<std::uint8_t> RenderFrame() {
  TSim& s = Sim();
  TFrameRequest request;
  {
    std::lock_guard guard(s.Lock);
    request = {s.FrameWidth, s.FrameHeight, s.Props[kEdsPropID_Evf_Zoom], s.ZoomPos, s.Focus, ++s.Frames,
               s.FrameFault};
  }
  return Frame(request);
}

}  // namespace SimCamera
