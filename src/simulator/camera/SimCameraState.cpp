// The simulated body's state, its defaults, and the checks every call passes.
#include <algorithm>
#include <cstring>

#include "simulator/camera/SimCameraState.h"

namespace SimCamera::Internal {

TSim& Sim() {
  static TSim* sim = [] {
    auto* s = new TSim;
    DefaultBody(*s);
    return s;
  }();
  return *sim;
}

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

void Record(TCall call) {
  TSim& s = Sim();
  std::lock_guard guard(s.LogLock);
  s.Log.push_back(std::move(call));
  if (s.Log.size() > 100000) s.Log.pop_front();
}

TCall Named(const char* function, EdsBaseRef ref) {
  TCall call;
  call.Function = function;
  call.Ref = Id(ref);
  return call;
}

EdsError CheckNeed(TSim& s, const TNeed& need, TObject*& object) {
  if (!s.SdkUp) return EDS_ERR_INTERNAL_ERROR;
  switch (need.What) {
    case TNeed::Sdk:
      return EDS_ERR_OK;
    case TNeed::Object:
      object = Find(s, need.Ref, need.Kind);
      return object ? EDS_ERR_OK : EDS_ERR_INVALID_HANDLE;
    case TNeed::Camera:
    case TNeed::Session:
      if (!Find(s, need.Ref, TKind::Camera)) return EDS_ERR_INVALID_HANDLE;
      if (!s.Attached) return EDS_ERR_DEVICE_NOT_FOUND;
      if (need.What == TNeed::Session && !s.Session) return EDS_ERR_SESSION_NOT_OPEN;
      return EDS_ERR_OK;
  }
  return EDS_ERR_INTERNAL_ERROR;
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

}  // namespace SimCamera::Internal
