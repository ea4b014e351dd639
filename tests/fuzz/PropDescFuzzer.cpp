// Any property, any count and any codes into the choice-list builder: one
// choice per reported code (the count clamped to 0..128), every choice
// labelled, and the fixed lists whatever the camera reports.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "camera/CanonPropDesc.h"

namespace {

// The properties the settings window asks about, then anything at all.
constexpr EdsUInt32 Properties[] = {
    kEdsPropID_ISOSpeed,      kEdsPropID_MeteringMode, kEdsPropID_Av,        kEdsPropID_Tv,
    kEdsPropID_ExposureCompensation, kEdsPropID_DriveMode, kEdsPropID_WhiteBalance, kEdsPropID_ColorTemperature,
    kEdsPropID_ImageQuality,
};

bool FixedList(EdsUInt32 id) {
  return id == kEdsPropID_DriveMode || id == kEdsPropID_WhiteBalance || id == kEdsPropID_ColorTemperature;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TCanonPropDesc builder;
  if (size < 13) return 0;
  EdsUInt32 id;
  std::memcpy(&id, data, 4);
  if (data[12] & 1) id = Properties[id % std::size(Properties)];
  EdsPropertyDesc desc{};
  std::memcpy(&desc.form, data + 4, 4);
  std::memcpy(&desc.numElements, data + 8, 4);
  desc.access = data[12];
  const std::size_t codes = std::min<std::size_t>((size - 13) / 4, 128);
  std::memcpy(desc.propDesc, data + 13, codes * 4);

  const TDevicePropertyList list = builder.GetPropDesc(id, desc);
  const std::size_t expected = static_cast<std::size_t>(std::clamp(desc.numElements, 0, 128));
  if (FixedList(id)) {
    EdsPropertyDesc none{};
    if (list.size() != builder.GetPropDesc(id, none).size()) std::abort();
  } else if (list.size() != expected) {
    std::abort();
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].Text().empty()) std::abort();
    if (!FixedList(id) && list[i].ID() != desc.propDesc[i]) std::abort();
    if (builder.Label(id, list[i].ID()).empty()) std::abort();
  }
  return 0;
}
