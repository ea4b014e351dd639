// The simulated camera's control surface for tests and benchmarks.
//
// The simulator implements every call declared in camera/EDSDK.h and behaves
// like one attached EOS body: properties with realistic values and
// descriptions, live view as 1024 x 680 JPEG frames of a synthetic scene, and
// a shutter that announces a new file on an SDK thread of its own. Everything
// here is thread-safe and may be called at any time; Reset puts the camera back
// in its default state (call it between tests, with the SDK terminated or not).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/EDSDK.h"

namespace SimCamera {

// One SDK call as the simulator saw it. Ref is the first reference argument
// (0 for none); Id a property ID, command or event; Param the inParam or
// command parameter; Size the data size; Data the 32-bit words written by
// EdsSetPropertyData (or the capacity record for EdsSetCapacity); Result what
// the call answered, Time when.
struct TCall {
  std::string Function;
  std::uintptr_t Ref = 0;
  std::uint32_t Id = 0;
  std::int64_t Param = 0;
  std::uint64_t Size = 0;
  std::vector<std::int32_t> Data;
  EdsError Result = EDS_ERR_OK;
  std::chrono::steady_clock::time_point Time;  // when the call returned
};

enum class TFault { None, Truncated, Corrupt };

// Back to one attached, non-legacy camera with default properties; clears the
// failure plan, delays, faults, the call log and ObjectsLeftAtTerminate.
// Objects the SDK still holds stay valid until EdsTerminateSDK.
void Reset();

// The next `count` calls of `function` (its SDK name, "EdsDownloadEvfImage")
// answer `error` without doing anything. A negative count answers it until
// ClearFailures or Reset.
void FailNext(const std::string& function, EdsError error, int count = 1);
void ClearFailures();

// Camera presence and kind. A detached camera answers EDS_ERR_DEVICE_NOT_FOUND,
// a transfer under way included, and leaves its session.
void SetCameraAttached(bool attached);
void SetLegacy(bool legacy);

// Queues the camera's shutdown state event on the SDK's event thread.
void RaiseShutdown();

// Picture and frame contents.
void SetPictureFault(TFault fault);
void SetFrameFault(TFault fault);
void SetFrameSize(int width, int height);    // default 1024 x 680
void SetPictureSize(int width, int height);  // default 5184 x 3456
void SetFilesPerShot(int files);             // default 1
// Frame downloads answered EDS_ERR_OBJECT_NOTREADY after live view is
// switched to the computer (default 2).
void SetNotReadyFrames(int frames);

// Delays, in milliseconds: from the shutter to the transfer event (default
// 150), between download chunks (default 0), and before every call of
// `function` (default none).
void SetShutterDelay(int ms);
void SetDownloadChunkDelay(int ms);
void SetCallDelay(const std::string& function, int ms);

// The camera's properties as it holds them (no session needed).
void SetProperty(EdsPropertyID id, EdsUInt32 value);
EdsUInt32 Property(EdsPropertyID id);
// The property no longer exists on the camera: reads, writes and
// descriptions of it answer EDS_ERR_PROPERTIES_UNAVAILABLE.
void RemoveProperty(EdsPropertyID id);
void SetPropertyDesc(EdsPropertyID id, const std::vector<EdsInt32>& codes);
void SetWhiteBalanceShift(EdsInt32 blueAmber, EdsInt32 greenMagenta);
EdsPoint ZoomPosition();
EdsPictureStyleDesc PictureStyleUser1();
int FocusPosition();         // lens position; 0 is sharp
std::uint64_t FramesServed();  // frames delivered so far
bool SessionOpen();
bool SdkInitialized();
int LiveObjects();  // references currently held by the SDK's user
// References the SDK's user still held when EdsTerminateSDK last ran (it frees
// them, so LiveObjects alone cannot show a leak once the SDK is down).
int ObjectsLeftAtTerminate();

// The call log, oldest first (bounded to the latest 100000 calls).
std::vector<TCall> Calls();
void ClearCalls();
// Calls of `function` in the log, optionally only those with property ID or
// command `id`.
std::vector<TCall> CallsOf(const std::string& function);
std::vector<TCall> CallsOf(const std::string& function, std::uint32_t id);

// The encoded picture and frame the simulator would deliver now (for
// benchmarks): a full picture at the current size and fault, and one frame.
std::vector<std::uint8_t> RenderPicture();
std::vector<std::uint8_t> RenderFrame();

}  // namespace SimCamera
