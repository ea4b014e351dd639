// The simulated camera's private parts, shared by its source files.
//
// References are numbers handed out once and looked up in a table, never
// dereferenced, so a stale or made-up reference is answered with
// EDS_ERR_INVALID_HANDLE. One lock (TSim::Lock) guards the body and the table;
// it is never held while a user callback runs or while a picture or frame is
// rendered. The call log and the render caches have locks of their own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "simulator/camera/SimCamera.h"
#include "simulator/camera/SimScene.h"

namespace SimCamera::Internal {

using TBytes = std::vector<std::uint8_t>;
using TClock = std::chrono::steady_clock;

// ------------------------------------------------------------------ object table (SimObjects.cpp)

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

inline std::uintptr_t Id(EdsBaseRef ref) { return reinterpret_cast<std::uintptr_t>(ref); }

// ------------------------------------------------------------------ event thread (SimEvents.cpp)

// Delivers the body's events on a thread of its own, like the SDK does.
class TEventThread {
 public:
  void Start();
  // Joins the thread; pending events are dropped.
  void Stop();
  bool OnThisThread() const { return std::this_thread::get_id() == FThread.get_id(); }
  // Runs `work` on the thread after `delayMs`; nothing while stopped.
  void Schedule(int delayMs, std::function<void()> work);

 private:
  void Run();

  std::mutex FLock;
  std::condition_variable FWake;
  std::multimap<TClock::time_point, std::function<void()>> FPending;
  std::thread FThread;
  bool FRunning = false;
};

// ------------------------------------------------------------------ the body (SimCameraState.cpp)

struct TFailure {
  EdsError Error;
  int Count;  // negative: for ever
};

struct TSim {
  std::mutex Lock;
  bool SdkUp = false;
  std::unordered_map<std::uintptr_t, TObject> Objects;
  std::uintptr_t NextId = 1;
  int LeftAtTerminate = 0;

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
  TFault PictureFault = TFault::None;
  TFault FrameFault = TFault::None;
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
  std::deque<TCall> Log;

  TEventThread Events;

  // Render caches, under their own locks.
  std::mutex PictureLock;
  struct TPicture {
    int Width, Height;
    SimScene::TLook Look;
    std::shared_ptr<const TBytes> Bytes;
  };
  std::deque<TPicture> Pictures;  // latest first
  std::mutex FrameLock;
  std::tuple<int, int, EdsUInt32, int, int, int> FrameKey{-1, -1, 0, 0, 0, 0};
  SimScene::TLook FrameLook;
  TBytes FrameScene;
};

// The one body, in its default state from the first use. Never destroyed:
// the event thread and callers may outlive static destruction.
TSim& Sim();

constexpr int ZoomWidth = 518, ZoomHeight = 345;  // sensor area shown at x10

// Back to one attached, non-legacy camera with default properties.
void DefaultBody(TSim& s);

// The object table; the caller holds s.Lock.
EdsBaseRef NewObject(TSim& s, TKind kind);
TObject* Find(TSim& s, EdsBaseRef ref, TKind kind);
// Drops one reference; the object goes when none is left. Answers the
// references left, or nothing for an unknown reference.
bool ReleaseObject(TSim& s, EdsBaseRef ref, EdsUInt32& remaining);

// ------------------------------------------------------------------ call validation (SimCameraState.cpp)

void Record(TCall call);
TCall Named(const char* function, EdsBaseRef ref = nullptr);

// Applies the call's delay and failure plan, runs `body` unless a failure is
// planned, and logs the call with its result.
template <class F>
EdsError Call(TCall call, F body) {
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

// What an entry point needs before its body may run: the SDK up; an object of
// a kind; the camera reachable; the camera reachable and in session.
struct TNeed {
  enum TWhat { Sdk, Object, Camera, Session };
  TWhat What = Sdk;
  EdsBaseRef Ref = nullptr;
  TKind Kind = TKind::Stream;
};
inline TNeed NeedSdk() { return {TNeed::Sdk, nullptr, TKind::Stream}; }
inline TNeed NeedObject(EdsBaseRef ref, TKind kind) { return {TNeed::Object, ref, kind}; }
inline TNeed NeedCamera(EdsBaseRef camera) { return {TNeed::Camera, camera, TKind::Camera}; }
inline TNeed NeedSession(EdsBaseRef camera) { return {TNeed::Session, camera, TKind::Camera}; }

// The answer to an unmet need, EDS_ERR_OK when met; `object` is the object an
// Object need names. The caller holds s.Lock.
EdsError CheckNeed(TSim& s, const TNeed& need, TObject*& object);

// The common shape of an entry point: the call goes through Call, then the
// lock is taken, `need` checked and `body` run under the lock, as
// body(s, object) for an Object need and body(s) otherwise.
template <class F>
EdsError Locked(TCall call, const TNeed& need, F body) {
  return Call(std::move(call), [&]() -> EdsError {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    TObject* object = nullptr;
    if (EdsError e = CheckNeed(s, need, object)) return e;
    if constexpr (std::is_invocable_v<F&, TSim&, TObject&>)
      return body(s, *object);
    else
      return body(s);
  });
}

bool IsFourByte(EdsPropertyID id);
// Checks the id, inParam and size of a property access.
EdsError CheckAccess(TSim& s, EdsPropertyID id, EdsInt32 param, EdsUInt32 size, const void* data);
EdsPoint ClampZoomPosition(EdsPoint p);
// The first 32-bit words of written data, for the call log.
std::vector<std::int32_t> Words(const void* data, EdsUInt32 size);

// ------------------------------------------------------------------ events of the body (SimEvents.cpp)

// The shutter was released: schedules the transfer of each file on the event
// thread. The caller holds s.Lock.
void ScheduleTransfer(TSim& s);

// ------------------------------------------------------------------ scene and render cache (SimRender.cpp)

TBytes ApplyFault(TBytes bytes, TFault fault);
// How the scene looks now: the booth's lights and the body's exposure and
// colour settings. The caller holds s.Lock.
SimScene::TLook CurrentLook(TSim& s);
// The encoded picture at that size and look; the clean one is drawn once and
// cached (a few looks at a time).
std::shared_ptr<const TBytes> Picture(int width, int height, const SimScene::TLook& look, TFault fault);

struct TFrameRequest {
  int Width, Height;
  EdsUInt32 Zoom;
  EdsPoint Position;
  int Focus;
  std::uint64_t Number;
  TFault Fault;
  SimScene::TLook Look;
};

// One encoded live-view frame; the scene is drawn again only when the view changed.
TBytes Frame(const TFrameRequest& r);

}  // namespace SimCamera::Internal
