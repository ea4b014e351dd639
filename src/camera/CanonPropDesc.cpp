#include "camera/CanonPropDesc.h"

#include <algorithm>

namespace {
constexpr std::int32_t Invalid = -1;  // 0xFFFFFFFF
}

TCanonPropDesc::TCanonPropDesc() {
  CreateISOSpeedDesc();
  CreateMeteringModeDesc();
  CreateAvDesc();
  CreateTvDesc();
  CreateExposureCompensationDesc();
  CreateDriveModeDesc();
  CreateWhiteBalanceDesc();
  CreateColorTemperatureDesc();
  CreateImageQualityDesc();
}

void TCanonPropDesc::CreateISOSpeedDesc() {
  FISOSpeed = {
      {0x00, "Auto"},  {0x40, "50"},     {0x48, "100"},    {0x4B, "125"},      {0x4D, "160"},   {0x50, "200"},
      {0x53, "250"},   {0x55, "320"},    {0x58, "400"},    {0x5B, "500"},      {0x5D, "640"},   {0x60, "800"},
      {0x63, "1000"},  {0x65, "1250"},   {0x68, "1600"},   {0x6B, "2000"},     {0x6D, "2500"},  {0x70, "3200"},
      {0x73, "4000"},  {0x75, "5000"},   {0x78, "6400"},   {0x7B, "8000"},     {0x7D, "10000"}, {0x80, "12800"},
      {0x88, "25600"}, {0x90, "51200"},  {0x98, "102400"}, {Invalid, "Not valid"},
  };
}

void TCanonPropDesc::CreateMeteringModeDesc() {
  FMeteringMode = {
      {0x01, "Spot"}, {0x03, "Evaluative"}, {0x04, "Partial"}, {0x05, "Center-weighted averaging"},
      {Invalid, "Not valid"},
  };
}

void TCanonPropDesc::CreateAvDesc() {
  FAv = {
      {0x00, "00"},  {0x08, "1"},   {0x0B, "1.1"}, {0x0C, "1.2"}, {0x0D, "1.2"}, {0x10, "1.4"}, {0x13, "1.6"},
      {0x14, "1.8"}, {0x15, "1.8"}, {0x18, "2"},   {0x1B, "2.2"}, {0x1C, "2.5"}, {0x1D, "2.5"}, {0x20, "2.8"},
      {0x23, "3.2"}, {0x24, "3.5"}, {0x25, "3.5"}, {0x28, "4"},   {0x2B, "4.5"}, {0x2C, "4.5"}, {0x2D, "5.0"},
      {0x30, "5.6"}, {0x33, "6.3"}, {0x34, "6.7"}, {0x35, "7.1"}, {0x38, "8"},   {0x3B, "9"},   {0x3C, "9.5"},
      {0x3D, "10"},  {0x40, "11"},  {0x43, "13"},  {0x44, "13"},  {0x45, "14"},  {0x48, "16"},  {0x4B, "18"},
      {0x4C, "19"},  {0x4D, "20"},  {0x50, "22"},  {0x53, "25"},  {0x54, "27"},  {0x55, "29"},  {0x58, "32"},
      {0x5B, "36"},  {0x5C, "38"},  {0x5D, "40"},  {0x60, "45"},  {0x63, "51"},  {0x64, "54"},  {0x65, "57"},
      {0x68, "64"},  {0x6B, "72"},  {0x6C, "76"},  {0x6D, "80"},  {0x70, "91"},  {Invalid, "unknown"},
  };
}

void TCanonPropDesc::CreateTvDesc() {
  FTv = {
      {0x0C, "Bulb"},  {0x10, "30\""},  {0x13, "25\""},  {0x14, "20\""},  {0x15, "20\""},  {0x18, "15\""},
      {0x1B, "13\""},  {0x1C, "10\""},  {0x1D, "10\""},  {0x20, "8\""},   {0x23, "6\""},   {0x24, "6\""},
      {0x25, "5\""},   {0x28, "4\""},   {0x2B, "3\"2"},  {0x2C, "3\""},   {0x2D, "2\"5"},  {0x30, "2\""},
      {0x33, "1\"6"},  {0x34, "1\"5"},  {0x35, "1\"3"},  {0x38, "1\""},   {0x3B, "0\"8"},  {0x3C, "0\"7"},
      {0x3D, "0\"6"},  {0x40, "0\"5"},  {0x43, "0\"4"},  {0x44, "0\"3"},  {0x45, "0\"3"},  {0x48, "4"},
      {0x4B, "5"},     {0x4C, "6"},     {0x4D, "6"},     {0x50, "8"},     {0x53, "10"},    {0x54, "10"},
      {0x55, "13"},    {0x58, "15"},    {0x5B, "20"},    {0x5C, "20"},    {0x5D, "25"},    {0x60, "30"},
      {0x63, "40"},    {0x64, "45"},    {0x65, "50"},    {0x68, "60"},    {0x6B, "80"},    {0x6C, "90"},
      {0x6D, "100"},   {0x70, "125"},   {0x73, "160"},   {0x74, "180"},   {0x75, "200"},   {0x78, "250"},
      {0x7B, "320"},   {0x7C, "350"},   {0x7D, "400"},   {0x80, "500"},   {0x83, "640"},   {0x84, "750"},
      {0x85, "800"},   {0x88, "1000"},  {0x8B, "1250"},  {0x8C, "1500"},  {0x8D, "1600"},  {0x90, "2000"},
      {0x93, "2500"},  {0x94, "3000"},  {0x95, "3200"},  {0x98, "4000"},  {0x9B, "5000"},  {0x9C, "6000"},
      {0x9D, "6400"},  {0xA0, "8000"},  {Invalid, "unknown"},
  };
}

void TCanonPropDesc::CreateExposureCompensationDesc() {
  FExposureCompensation = {
      {0x18, "+3"},     {0x15, "+2 2/3"}, {0x14, "+2 1/2"}, {0x13, "+2 1/3"}, {0x10, "+2"},     {0x0D, "+1 2/3"},
      {0x0C, "+1 1/2"}, {0x0B, "+1 1/3"}, {0x08, "+1"},     {0x05, "+2/3"},   {0x04, "+1/2"},   {0x03, "+1/3"},
      {0x00, "0"},      {0xFD, "-1/3"},   {0xFC, "-1/2"},   {0xFB, "-2/3"},   {0xF8, "-1"},     {0xF5, "-1 1/3"},
      {0xF4, "-1 1/2"}, {0xF3, "-1 2/3"}, {0xF0, "-2"},     {0xED, "-2 1/3"}, {0xEC, "-2 1/2"}, {0xEB, "-2 2/3"},
      {0xE8, "-3"},     {Invalid, "unknown"},
  };
}

void TCanonPropDesc::CreateDriveModeDesc() {
  FDriveMode = {{0x00, "Single"}, {0x11, "2-Sec Self-Timer"}};
}

void TCanonPropDesc::CreateWhiteBalanceDesc() {
  FWhiteBalance = {
      {0, "Auto"},
      {1, "Daylight"},
      {2, "Cloudy"},
      {3, "Tungsten"},
      {4, "Fluorescent"},
      {5, "Flash"},
      {6, "Manual"},
      {8, "Shade"},
      {9, "Color temperature"},
      {10, "Custom white balance: PC-1"},
      {11, "Custom white balance: PC-2"},
      {12, "Custom white balance: PC-3"},
      {15, "Manual 2"},
      {16, "Manual 3"},
      {18, "Manual 4"},
      {19, "Manual 5"},
      {20, "Custom white balance: PC-4"},
      {21, "Custom white balance: PC-5"},
  };
}

void TCanonPropDesc::CreateColorTemperatureDesc() {
  FColorTemperature.clear();
  for (std::int32_t n = 28; n <= 100; ++n) FColorTemperature.emplace_back(n * 100, std::to_string(n * 100));
}

void TCanonPropDesc::CreateImageQualityDesc() {
  FImageQuality = {
      {0x0064FF0F, "RAW"},
      {0x00640013, "RAW + Large Fine Jpeg"},
      {0x00640113, "RAW + Middle Fine Jpeg"},
      {0x00640213, "RAW + Small Fine Jpeg"},
      {0x00640012, "RAW + Large Normal Jpeg"},
      {0x00640112, "RAW + Middle Normal Jpeg"},
      {0x00640212, "RAW + Small Normal Jpeg"},
      {0x00640E13, "RAW + Small1 Fine Jpeg"},
      {0x00640E12, "RAW + Small1 Normal Jpeg"},
      {0x00640F13, "RAW + Small2 Jpeg"},
      {0x00641013, "RAW + Small3 Jpeg"},
      {0x00640010, "RAW + Large Jpeg"},
      {0x00640510, "RAW + Middle1 Jpeg"},
      {0x00640610, "RAW + Middle2 Jpeg"},
      {0x00640210, "RAW + Small Jpeg"},
      {0x0164FF0F, "Middle Raw(Ord(Small RAW1)"},
      {0x01640013, "Middle Raw(Ord(Small RAW1) + Large Fine Jpeg"},
      {0x01640113, "Middle Raw(Ord(Small RAW1) + Middle Fine Jpeg"},
      {0x01640213, "Middle Raw(Ord(Small RAW1) + Small Fine Jpeg"},
      {0x01640012, "Middle Raw(Ord(Small RAW1) + Large Normal Jpeg"},
      {0x01640112, "Middle Raw(Ord(Small RAW1) + Middle Normal Jpeg"},
      {0x01640212, "Middle Raw(Ord(Small RAW1) + Small Normal Jpeg"},
      {0x01640E13, "Middle RAW + Small1 Fine Jpeg"},
      {0x01640E12, "Middle RAW + Small1 Normal Jpeg"},
      {0x01640F13, "Middle RAW + Small2 Jpeg"},
      {0x01641013, "Middle RAW + Small3 Jpeg"},
      {0x01640010, "Middle Raw + Large Jpeg"},
      {0x01640510, "Middle Raw + Middle1 Jpeg"},
      {0x01640610, "Middle Raw + Middle2 Jpeg"},
      {0x01640210, "Middle Raw + Small Jpeg"},
      {0x0264FF0F, "Small RAW(Ord(Small RAW2)"},
      {0x02640013, "Small RAW(Ord(Small RAW2) + Large Fine Jpeg"},
      {0x02640113, "Small RAW(Ord(Small RAW2) + Middle Fine Jpeg"},
      {0x02640213, "Small RAW(Ord(Small RAW2) + Small Fine Jpeg"},
      {0x02640012, "Small RAW(Ord(Small RAW2) + Large Normal Jpeg"},
      {0x02640112, "Small RAW(Ord(Small RAW2) + Middle Normal Jpeg"},
      {0x02640212, "Small RAW(Ord(Small RAW2) + Small Normal Jpeg"},
      {0x02640E13, "Small RAW + Small1 Fine Jpeg"},
      {0x02640E12, "Small RAW + Small1 Normal Jpeg"},
      {0x02640F13, "Small RAW + Small2 Jpeg"},
      {0x02641013, "Small RAW + Small3 Jpeg"},
      {0x02640010, "Small RAW + Large Jpeg"},
      {0x02640510, "Small RAW + Middle1 Jpeg"},
      {0x02640610, "Small RAW + Middle2 Jpeg"},
      {0x02640210, "Small RAW + Small Jpeg"},
      {0x0013FF0F, "Large Fine Jpeg"},
      {0x0012FF0F, "Large Normal Jpeg"},
      {0x0113FF0F, "Middle Fine Jpeg"},
      {0x0112FF0F, "Middle Normal Jpeg"},
      {0x0213FF0F, "Small Fine Jpeg"},
      {0x0212FF0F, "Small Normal Jpeg"},
      {0x0E13FF0F, "Small1 Fine Jpeg"},
      {0x0E12FF0F, "Small1 Normal Jpeg"},
      {0x0F13FF0F, "Small2 Jpeg"},
      {0x1013FF0F, "Small3 Jpeg"},
      {0x0010FF0F, "Large Jpeg"},
      {0x0510FF0F, "Middle1 Jpeg"},
      {0x0610FF0F, "Middle2 Jpeg"},
      {0x0210FF0F, "Small Jpeg"},
      {0x00240000, "RAW"},
      {0x00240013, "RAW + Large Fine Jpeg"},
      {0x00240113, "RAW + Middle Fine Jpeg"},
      {0x00240213, "RAW + Small Fine Jpeg"},
      {0x00240012, "RAW + Large Normal Jpeg"},
      {0x00240112, "RAW + Middle Normal Jpeg"},
      {0x00240212, "RAW + Small Normal Jpeg"},
      {0x00130000, "Large Fine Jpeg"},
      {0x01130000, "Middle Fine Jpeg"},
      {0x02130000, "Small Fine Jpeg"},
      {0x00120000, "Large Normal Jpeg"},
      {0x01120000, "Middle Normal Jpeg"},
      {0x02120000, "Small Normal Jpeg"},
      {0x002F000F, "RAW"},
      {0x002F001F, "RAW + Large Jpeg"},
      {0x002F051F, "RAW + Middle1 Jpeg"},
      {0x002F061F, "RAW + Middle2 Jpeg"},
      {0x002F021F, "RAW + Small Jpeg"},
      {0x001F000F, "Large Jpeg"},
      {0x051F000F, "Middle1 Jpeg"},
      {0x061F000F, "Middle2 Jpeg"},
      {0x021F000F, "Small Jpeg"},
  };
}

const TCanonPropDesc::TMap* TCanonPropDesc::MapOf(EdsUInt32 PropID) const {
  switch (PropID) {
    case kEdsPropID_ISOSpeed: return &FISOSpeed;
    case kEdsPropID_MeteringMode: return &FMeteringMode;
    case kEdsPropID_Av: return &FAv;
    case kEdsPropID_Tv: return &FTv;
    case kEdsPropID_ExposureCompensation: return &FExposureCompensation;
    case kEdsPropID_ImageQuality: return &FImageQuality;
    default: return nullptr;
  }
}

const TDevicePropertyList* TCanonPropDesc::ListOf(EdsUInt32 PropID) const {
  switch (PropID) {
    case kEdsPropID_DriveMode: return &FDriveMode;
    case kEdsPropID_WhiteBalance: return &FWhiteBalance;
    case kEdsPropID_ColorTemperature: return &FColorTemperature;
    default: return nullptr;
  }
}

std::string TCanonPropDesc::Label(EdsUInt32 PropID, std::int32_t code) const {
  if (const TMap* map = MapOf(PropID)) {
    auto it = map->find(code);
    if (it != map->end()) return it->second;
  } else if (const TDevicePropertyList* list = ListOf(PropID)) {
    for (const auto& entry : *list)
      if (entry.ID() == code) return entry.Text();
  }
  return std::to_string(code);
}

TDevicePropertyList TCanonPropDesc::GetPropDesc(EdsUInt32 PropID, const EdsPropertyDesc& PropDesc) const {
  if (const TDevicePropertyList* list = ListOf(PropID)) return *list;  // copies, whatever the camera lists
  TDevicePropertyList result;
  const int count = std::clamp<EdsInt32>(PropDesc.numElements, 0, 128);
  result.reserve(static_cast<std::size_t>(count));
  const TMap* map = MapOf(PropID);
  for (int i = 0; i < count; ++i) {
    const std::int32_t code = PropDesc.propDesc[i];
    if (map) {
      auto it = map->find(code);
      result.emplace_back(code, it != map->end() ? it->second : std::to_string(code));
    } else {
      result.emplace_back(code, std::to_string(code));
    }
  }
  return result;
}
