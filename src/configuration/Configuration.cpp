#include "configuration/Configuration.h"
TConfiguration* TConfiguration::FInstance = nullptr;
TConfiguration::TConfiguration(std::string fileName) : FFileName(std::move(fileName)), FGeneralConfiguration(std::make_unique<TGeneralConfiguration>()) {}
TConfiguration::~TConfiguration() = default;
std::string TConfiguration::DefaultFileName() { return "sulo.configuration"; }
void TConfiguration::Load() {}
void TConfiguration::Save() {}
TTakePictureConfiguration* TConfiguration::GetTakePictureConfiguraion(TTakePictureMode mode) {
  auto it = FTakePictureConfigurations.find(mode);
  return it == FTakePictureConfigurations.end() ? nullptr : it->second.get();
}
