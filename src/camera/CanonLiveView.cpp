// The controller's live view: switching the camera's output to the computer
// and back, the chain of frame commands, and the lens and zoom commands that
// only work while live view runs. Frames reach the UI thread synchronously.
#include <thread>

#include "camera/Canon.h"
#include "camera/ReleaseAtExit.h"
#include "logging/Log.h"

// ====================================================================== live view

void TCanon::StartLiveView() {
  Trace("TCanon.StartLiveView");
  Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandStartEvf, "CommandStartEvf"));
  Trace("TCanon.StartLiveView CommandDownloadEvf");
  Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandDownloadEvf, "CommandDownloadEvf"));
  Trace("TCanon.StartLiveView CommandDownloadEvf end");
}

void TCanon::StopLiveView() {
  Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandStopEvf, "CommandStopEvf", RepeatLimit));
}

bool TCanon::CommandStartEvf() {
  Trace("CommandStartEvf");
  EdsUInt32 mode = 0;
  EdsError err = EdsGetPropertyData(FCamera, kEdsPropID_Evf_Mode, 0, sizeof mode, &mode);
  if (err == EDS_ERR_OK && mode == 0) {
    mode = 1;
    err = EdsSetPropertyData(FCamera, kEdsPropID_Evf_Mode, 0, sizeof mode, &mode);
  }
  Trace("CommandStartEvf1");
  if (err == EDS_ERR_OK) {
    FEvfOutputDevice |= kEdsEvfOutputDevice_PC;
    err = EdsSetPropertyData(FCamera, kEdsPropID_Evf_OutputDevice, 0, sizeof FEvfOutputDevice, &FEvfOutputDevice);
  }
  Check(err);
  return err != EDS_ERR_DEVICE_BUSY;
}

bool TCanon::CommandStopEvf() {
  if (!(FEvfOutputDevice & kEdsEvfOutputDevice_PC)) return true;
  EdsUInt32 preview = 0;
  EdsError err = EdsGetPropertyData(FCamera, kEdsPropID_Evf_DepthOfFieldPreview, 0, sizeof preview, &preview);
  if (err == EDS_ERR_OK && preview != 0) {
    const EdsUInt32 off = kEdsEvfDepthOfFieldPreview_OFF;
    err = EdsSetPropertyData(FCamera, kEdsPropID_Evf_DepthOfFieldPreview, 0, sizeof off, &off);
    if (err == EDS_ERR_OK) std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  if (err == EDS_ERR_OK) {
    FEvfOutputDevice &= ~kEdsEvfOutputDevice_PC;
    err = EdsSetPropertyData(FCamera, kEdsPropID_Evf_OutputDevice, 0, sizeof FEvfOutputDevice, &FEvfOutputDevice);
  }
  Check(err);
  return err == EDS_ERR_OK;
}


bool TCanon::CommandDownloadEvf() {
  if (!(FEvfOutputDevice & kEdsEvfOutputDevice_PC)) return true;  // live view is off: the chain ends
  EdsStreamRef stream = nullptr;
  EdsEvfImageRef image = nullptr;
  // Both are given back whatever the frame gave, the stream first.
  TReleaseAtExit releaseImage(image);
  TReleaseAtExit releaseStream(stream);
  EdsError err = EdsCreateMemoryStream(0, &stream);
  if (err == EDS_ERR_OK) err = EdsCreateEvfImageRef(stream, &image);
  Check(err);
  if (err == EDS_ERR_OK) {
    err = EdsDownloadEvfImage(FCamera, image);
    Check(err);
  }
  if (err == EDS_ERR_OK) {
    if (auto copy = CopyStream(stream)) SynchronizedLiveView(std::move(copy));
  }
  if (err == EDS_ERR_OBJECT_NOTREADY || err == EDS_ERR_DEVICE_BUSY) return false;
  PushFromWorker(std::make_unique<TCommandNoRef>(this, &TCanon::CommandDownloadEvf, "CommandDownloadEvf"));
  return true;
}

// ====================================================================== focus and zoom

void TCanon::Focus(std::int32_t Param) {
  Push(std::make_unique<TCommandParam>(this, &TCanon::CommandFocus, Param, "CommandFocus", RepeatLimit));
}

void TCanon::Zoom() {
  Push(std::make_unique<TCommandParam>(this, &TCanon::CommandZoom, static_cast<std::int32_t>(kEdsEvfZoom_x10),
                                       "CommandZoom", RepeatLimit));
}

void TCanon::Fit() {
  Push(std::make_unique<TCommandParam>(this, &TCanon::CommandZoom, static_cast<std::int32_t>(kEdsEvfZoom_Fit),
                                       "CommandZoom", RepeatLimit));
}

bool TCanon::CommandFocus(std::int32_t Param) {
  const EdsError err = EdsSendCommand(FCamera, kEdsCameraCommand_DriveLensEvf, Param);
  return err == EDS_ERR_OK || err == EDS_ERR_DEVICE_BUSY;
}

bool TCanon::CommandZoom(std::int32_t Param) {
  const EdsUInt32 value = static_cast<EdsUInt32>(Param);
  const EdsError err = EdsSetPropertyData(FCamera, kEdsPropID_Evf_Zoom, 0, sizeof value, &value);
  return err == EDS_ERR_OK || err == EDS_ERR_DEVICE_BUSY;
}

EdsPoint TCanon::GetZoomPosition() {
  EdsPoint point{0, 0};
  const EdsError err = EdsGetPropertyData(FCamera, kEdsPropID_Evf_ZoomPosition, 0, sizeof point, &point);
  Check(err);
  if (err != EDS_ERR_OK) point = {0, 0};
  return point;
}

void TCanon::SetZoomPosition(const EdsPoint& Value) {
  Check(EdsSetPropertyData(FCamera, kEdsPropID_Evf_ZoomPosition, 0, sizeof Value, &Value));
}

// ====================================================================== UI-thread delivery

void TCanon::SynchronizedLiveView(std::unique_ptr<TMemoryStream> Stream) {
  TMemoryStream* stream = Stream.get();
  try {
    // The worker waits here until the frame handler has run.
    FDispatcher.Send([this, stream] {
      if (FOnLiveView) FOnLiveView(this, *stream);
    });
  } catch (const std::exception& e) {
    Trace(std::string("TCanon: live-view handler failed: ") + e.what());
  } catch (...) {
    Trace("TCanon: live-view handler failed");
  }
}
