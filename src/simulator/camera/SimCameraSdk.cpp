// The simulated camera's C entry points: the SDK calls of camera/EDSDK.h.
//
// Each call goes through Call (delay, failure plan, call log); most then run
// under the body's lock once their need is met (Locked). The two downloads
// let the lock go while they render or stream, as a real transfer takes time.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "simulator/camera/SimCameraState.h"

using namespace SimCamera::Internal;

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
    s.LeftAtTerminate = static_cast<int>(s.Objects.size());
    s.Objects.clear();
    s.PropertyHandler = nullptr;
    s.ObjectHandler = nullptr;
    s.StateHandler = nullptr;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetCameraList(EdsCameraListRef* outCameraListRef) {
  return Locked(Named("EdsGetCameraList"), NeedSdk(), [&](TSim& s) {
    if (!outCameraListRef) return EDS_ERR_INVALID_POINTER;
    *outCameraListRef = NewObject(s, TKind::CameraList);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetChildCount(EdsBaseRef inRef, EdsUInt32* outCount) {
  return Locked(Named("EdsGetChildCount", inRef), NeedObject(inRef, TKind::CameraList), [&](TSim& s, TObject&) {
    if (!outCount) return EDS_ERR_INVALID_POINTER;
    *outCount = s.Attached ? 1 : 0;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetChildAtIndex(EdsBaseRef inRef, EdsInt32 inIndex, EdsBaseRef* outRef) {
  auto call = Named("EdsGetChildAtIndex", inRef);
  call.Param = inIndex;
  return Locked(std::move(call), NeedObject(inRef, TKind::CameraList), [&](TSim& s, TObject&) {
    if (!outRef) return EDS_ERR_INVALID_POINTER;
    if (inIndex != 0 || !s.Attached) return EDS_ERR_INVALID_INDEX;
    *outRef = NewObject(s, TKind::Camera);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetDeviceInfo(EdsCameraRef inCameraRef, EdsDeviceInfo* outDeviceInfo) {
  return Locked(Named("EdsGetDeviceInfo", inCameraRef), NeedCamera(inCameraRef), [&](TSim& s) {
    if (!outDeviceInfo) return EDS_ERR_INVALID_POINTER;
    std::memset(outDeviceInfo, 0, sizeof *outDeviceInfo);
    std::snprintf(outDeviceInfo->szPortName, EDS_MAX_NAME, "SIM0");
    std::snprintf(outDeviceInfo->szDeviceDescription, EDS_MAX_NAME, "Canon EOS (simulated)");
    outDeviceInfo->deviceSubType = s.Legacy ? 0 : 1;
    return EDS_ERR_OK;
  });
}

// Answers even after EdsTerminateSDK (every reference is unknown by then).
EdsUInt32 EDSAPI EdsRelease(EdsBaseRef inRef) {
  EdsUInt32 remaining = 0xFFFFFFFF;
  Call(Named("EdsRelease", inRef), [&] {
    TSim& s = Sim();
    std::lock_guard guard(s.Lock);
    return ReleaseObject(s, inRef, remaining) ? EDS_ERR_OK : EDS_ERR_INVALID_HANDLE;
  });
  return remaining;
}

EdsError EDSAPI EdsSetPropertyEventHandler(EdsCameraRef inCameraRef, EdsPropertyEvent inEvent,
                                           EdsPropertyEventHandler inHandler, EdsVoid* inContext) {
  auto call = Named("EdsSetPropertyEventHandler", inCameraRef);
  call.Id = inEvent;
  return Locked(std::move(call), NeedCamera(inCameraRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedCamera(inCameraRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedCamera(inCameraRef), [&](TSim& s) {
    if (inEvent != kEdsStateEvent_All && inEvent != kEdsStateEvent_Shutdown) return EDS_ERR_INVALID_PARAMETER;
    s.StateHandler = inHandler;
    s.StateContext = inContext;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsOpenSession(EdsCameraRef inCameraRef) {
  return Locked(Named("EdsOpenSession", inCameraRef), NeedCamera(inCameraRef), [&](TSim& s) {
    s.Session = true;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsCloseSession(EdsCameraRef inCameraRef) {
  return Locked(Named("EdsCloseSession", inCameraRef), NeedSession(inCameraRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inCameraRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inCameraRef), [&](TSim& s) {
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
  return Locked(std::move(call), NeedSession(inCameraRef), [&](TSim& s) {
    if (inCapacity.bytesPerSector <= 0 || inCapacity.numberOfFreeClusters < 0) return EDS_ERR_INVALID_PARAMETER;
    s.Capacity = inCapacity;
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetDirectoryItemInfo(EdsDirectoryItemRef inDirItemRef, EdsDirectoryItemInfo* outDirItemInfo) {
  return Locked(Named("EdsGetDirectoryItemInfo", inDirItemRef), NeedObject(inDirItemRef, TKind::DirItem),
                [&](TSim&, TObject& item) {
                  if (!outDirItemInfo) return EDS_ERR_INVALID_POINTER;
                  std::memset(outDirItemInfo, 0, sizeof *outDirItemInfo);
                  outDirItemInfo->size = static_cast<EdsUInt32>(item.File ? item.File->size() : 0);
                  outDirItemInfo->format = 0xB101;  // our tag for JPEG
                  std::snprintf(outDirItemInfo->szFileName, EDS_MAX_NAME, "%s", item.FileName.c_str());
                  return EDS_ERR_OK;
                });
}

EdsError EDSAPI EdsCreateMemoryStream(EdsUInt64 inBufferSize, EdsStreamRef* outStream) {
  auto call = Named("EdsCreateMemoryStream");
  call.Size = inBufferSize;
  return Locked(std::move(call), NeedSdk(), [&](TSim& s) {
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
  return Locked(std::move(call), NeedObject(inRef, TKind::Stream), [&](TSim&, TObject& stream) {
    if (inProgressOption > 2) return EDS_ERR_INVALID_PARAMETER;
    stream.Progress = inProgressOption == 0 ? nullptr : inProgressCallback;
    stream.ProgressContext = inContext;
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
        // A camera unplugged mid-transfer sends nothing more.
        if (!s.Attached) return EDS_ERR_DEVICE_NOT_FOUND;
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
  return Locked(Named("EdsDownloadComplete", inDirItemRef), NeedObject(inDirItemRef, TKind::DirItem),
                [](TSim&, TObject&) { return EDS_ERR_OK; });
}

EdsError EDSAPI EdsDownloadCancel(EdsDirectoryItemRef inDirItemRef) {
  return Locked(Named("EdsDownloadCancel", inDirItemRef), NeedObject(inDirItemRef, TKind::DirItem),
                [](TSim&, TObject&) { return EDS_ERR_OK; });
}

EdsError EDSAPI EdsCreateEvfImageRef(EdsStreamRef inStreamRef, EdsEvfImageRef* outEvfImageRef) {
  return Locked(Named("EdsCreateEvfImageRef", inStreamRef), NeedObject(inStreamRef, TKind::Stream),
                [&](TSim& s, TObject&) {
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
      TObject* none = nullptr;
      if (EdsError e = CheckNeed(s, NeedSession(inCameraRef), none)) return e;
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
                 s.FrameFault, CurrentLook(s)};
    }
    // Rendering takes a while: the lock is let go meanwhile.
    TBytes frame = Frame(request);
    std::lock_guard guard(s.Lock);
    auto it = s.Objects.find(streamId);
    if (it == s.Objects.end() || it->second.Kind != TKind::Stream) return EDS_ERR_INVALID_HANDLE;
    it->second.Data = std::move(frame);
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetPointer(EdsStreamRef inStream, EdsVoid** outPointer) {
  return Locked(Named("EdsGetPointer", inStream), NeedObject(inStream, TKind::Stream), [&](TSim&, TObject& stream) {
    if (!outPointer) return EDS_ERR_INVALID_POINTER;
    *outPointer = stream.Data.data();
    return EDS_ERR_OK;
  });
}

EdsError EDSAPI EdsGetLength(EdsStreamRef inStream, EdsUInt64* outLength) {
  return Locked(Named("EdsGetLength", inStream), NeedObject(inStream, TKind::Stream), [&](TSim&, TObject& stream) {
    if (!outLength) return EDS_ERR_INVALID_POINTER;
    *outLength = stream.Data.size();
    return EDS_ERR_OK;
  });
}

}  // extern "C"
