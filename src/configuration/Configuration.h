// The configuration store: one settings record per shooting mode and the
// general settings, kept in one INI-style file next to the program.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "configuration/TakePicture.h"

// A refused write: "Unable to write to <path>".
class EConfigurationWrite : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TGeneralConfiguration {
 public:
  std::string SaveLocation;
};

class TConfiguration {
 public:
  // The process-wide store; made and destroyed explicitly by the program.
  static TConfiguration* FInstance;

  // The store reads and writes `fileName`; by default the running
  // executable's path with its extension replaced by ".configuration".
  explicit TConfiguration(std::string fileName = DefaultFileName());
  ~TConfiguration();

  static std::string DefaultFileName();
  const std::string& GetFileName() const { return FFileName; }

  // Reads the whole file. Never fails: what cannot be read takes its absent
  // value. Destroys every record held before.
  void Load();
  // Writes the whole store. The file is replaced atomically; on a refused
  // write the old file stays whole and EConfigurationWrite is raised.
  void Save();

  // The store's record for `mode`, or nullptr before the first load.
  TTakePictureConfiguration* GetTakePictureConfiguraion(TTakePictureMode mode);

  TGeneralConfiguration& General() { return *FGeneralConfiguration; }

 private:
  std::string FFileName;
  std::unique_ptr<TGeneralConfiguration> FGeneralConfiguration;
  std::map<TTakePictureMode, std::unique_ptr<TTakePictureConfiguration>> FTakePictureConfigurations;
};
