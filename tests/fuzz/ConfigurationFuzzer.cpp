// Any bytes as the configuration file: loading never fails, and a save of
// what was loaded reads back as the same records (the next pictures go to the
// same folder, every mode keeps its settings).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "configuration/Configuration.h"

namespace {

struct TRecords {
  std::int32_t Values[TakePictureModeCount][TakePictureConfigurationKindCount] = {};
  std::string SaveLocation;

  bool operator==(const TRecords& other) const {
    for (int m = 0; m < TakePictureModeCount; ++m)
      for (int k = 0; k < TakePictureConfigurationKindCount; ++k)
        if (Values[m][k] != other.Values[m][k]) return false;
    return SaveLocation == other.SaveLocation;
  }
};

TRecords Read(TConfiguration& config) {
  TRecords records;
  for (int m = 0; m < TakePictureModeCount; ++m) {
    auto* record = config.GetTakePictureConfiguraion(static_cast<TTakePictureMode>(m));
    if (!record) std::abort();
    for (int k = 0; k < TakePictureConfigurationKindCount; ++k)
      records.Values[m][k] = record->GetValue(static_cast<TTakePictureConfigurationKind>(k));
  }
  records.SaveLocation = config.General().SaveLocation;
  return records;
}

// A file of this process's own in memory-backed storage where there is one.
const std::string& FilePath() {
  static const std::string path = [] {
    const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/sulo-fuzz-" + std::to_string(::getpid()) + ".configuration";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TConfiguration first(path);
  first.Load();
  const TRecords loaded = Read(first);
  first.Save();

  TConfiguration second(path);
  second.Load();
  if (!(Read(second) == loaded)) {
    std::fprintf(stderr, "records changed by a save (save folder before: '%s', after: '%s')\n",
                 loaded.SaveLocation.c_str(), Read(second).SaveLocation.c_str());
    std::abort();
  }
  // A second save of an unchanged store writes the same bytes.
  std::ifstream in(path, std::ios::binary);
  const std::string once((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  second.Save();
  std::ifstream again(path, std::ios::binary);
  const std::string twice((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
  if (once != twice) {
    std::fprintf(stderr, "a second save changed the file\n");
    std::abort();
  }
  std::remove(path.c_str());
  return 0;
}
