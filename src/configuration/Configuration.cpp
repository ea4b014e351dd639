#include "configuration/Configuration.h"

#include <array>
#include <filesystem>
#include <stdexcept>

#include "configuration/IniFile.h"
#include "logging/Log.h"
#include "platform/Files.h"

TConfiguration* TConfiguration::FInstance = nullptr;

namespace {

using K = TTakePictureConfigurationKind;

struct TKey {
  const char* Name;
  K Kind;
  std::int32_t Absent;
};

// The keys of a mode section, in the order they are read and written.
constexpr std::array<TKey, 20> Keys{{
    {"Active", K::Activation, 0},
    {"Shutter", K::Shutter, 0},
    {"ShutterDelay", K::ShutterDelay, 0},
    {"Diaphragm", K::Diaphragm, 0},
    {"ISO", K::ISO, 0},
    {"WhiteBalance", K::WhiteBalance, 0},
    {"WhiteBalanceRevision", K::WhiteBalanceRevision, 0},
    {"FileSize", K::FileSize, 0},
    {"Lighting", K::Lighting, 0},
    {"LightingBrightness", K::LightingBrightness, 0},
    {"MotorLocation", K::MotorLocation, 0},
    {"MotorSpeed", K::MotorSpeed, 0},
    {"ColorGainG", K::ColorGainG, 0},
    {"ColorGainB", K::ColorGainB, 0},
    {"ColorTone", K::Hue, 0},
    {"Saturation", K::Saturation, 0},
    {"Contrast", K::Contrast, 0},
    {"Sharpness", K::Sharpness, 0},
    {"GuideX", K::GuideX, 271},
    {"GuideY", K::GuideY, 321},
}};

constexpr std::array<TTakePictureMode, 6> Modes{TTakePictureMode::Default,  TTakePictureMode::Sulo,
                                                TTakePictureMode::Portrait, TTakePictureMode::UV,
                                                TTakePictureMode::Polarization, TTakePictureMode::DermalLight};

const char* GeneralSection = "General";
const char* SaveLocationKey = "SaveLocation";

// The Default mode's section is read as "default" and written as "Default";
// names match without regard to case, so both are the same section.
std::string ReadSectionName(TTakePictureMode mode) {
  return mode == TTakePictureMode::Default ? "default" : ModeName(mode);
}

}  // namespace

TConfiguration::TConfiguration(std::string fileName)
    : FFileName(std::move(fileName)), FGeneralConfiguration(std::make_unique<TGeneralConfiguration>()) {
  Trace("Class App.Configuration Create");
}

TConfiguration::~TConfiguration() = default;

std::string TConfiguration::DefaultFileName() {
  std::filesystem::path exe = PathFromUtf8(ExecutablePath());
  if (exe.empty()) {
    std::error_code error;
    exe = std::filesystem::current_path(error) / "sulo";
  }
  return Utf8FromPath(exe.replace_extension(".configuration"));
}

void TConfiguration::Load() {
  TIniFile ini;
  ini.LoadFromFile(FFileName);
  FTakePictureConfigurations.clear();
  for (TTakePictureMode mode : Modes) {
    auto record = std::make_unique<TTakePictureConfiguration>();
    const std::string section = ReadSectionName(mode);
    Trace("LoadTakePictureConfiguration section : " + section);
    for (const TKey& key : Keys) {
      std::int32_t value = ini.ReadInteger(section, key.Name, key.Absent);
      // A Boolean is read as an integer: anything but 0 is True.
      if (key.Kind == K::Activation) value = value != 0 ? 1 : 0;
      record->SetValue(key.Kind, value);
    }
    FTakePictureConfigurations[mode] = std::move(record);
  }
  FGeneralConfiguration->SaveLocation = ini.ReadString(GeneralSection, SaveLocationKey).value_or("");
}

void TConfiguration::Save() {
  // Start from the file as it stands, so that what the store does not know
  // (comments, other sections and keys) survives, then replace it whole.
  TIniFile ini;
  ini.LoadFromFile(FFileName);
  for (const auto& [mode, record] : FTakePictureConfigurations) {
    const std::string section = ModeName(mode);
    Trace("section : " + section);
    for (const TKey& key : Keys) ini.WriteInteger(section, key.Name, record->GetValue(key.Kind));
  }
  ini.WriteString(GeneralSection, SaveLocationKey, FGeneralConfiguration->SaveLocation);
  try {
    ini.SaveToFile(FFileName);
  } catch (const std::runtime_error& e) {
    Trace(e.what());
    throw EConfigurationWrite(e.what());
  }
}

TTakePictureConfiguration* TConfiguration::GetTakePictureConfiguraion(TTakePictureMode mode) {
  switch (mode) {
    case TTakePictureMode::Default: Trace("GetTakePictureConfiguraion Mode DEFAULT"); break;
    default: Trace("GetTakePictureConfiguraion Mode " + ModeName(mode)); break;
  }
  Trace("GetTakePictureConfiguraion Count : " + std::to_string(FTakePictureConfigurations.size()));
  auto it = FTakePictureConfigurations.find(mode);
  return it == FTakePictureConfigurations.end() ? nullptr : it->second.get();
}
