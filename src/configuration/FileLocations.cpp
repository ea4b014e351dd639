#include "configuration/FileLocations.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* UserConfigurationName = "sulo.configuration";
constexpr const char* UserLogName = "sulo.log";

// The shipped configuration, or an empty path when none is found.
// Where a package's tree keeps the shipped configuration.
fs::path InstalledShippedConfiguration(const fs::path& executable) {
  return executable.parent_path().parent_path() / "share" / "sulo" / "default.configuration";
}

fs::path ShippedConfiguration(const fs::path& executable) {
  std::error_code error;
  const fs::path installed = InstalledShippedConfiguration(executable);
  if (fs::is_regular_file(installed, error)) return installed;
  fs::path beside = executable;
  beside.replace_extension(".configuration");
  if (fs::is_regular_file(beside, error)) return beside;
  return {};
}

bool MakeFolder(const std::string& folder, std::vector<std::string>& problems) {
  std::error_code error;
  fs::create_directories(PathFromUtf8(folder), error);
  if (fs::is_directory(PathFromUtf8(folder), error)) return true;
  problems.push_back("Unable to make the folder " + folder);
  return false;
}

void CopyShipped(const fs::path& executable, const std::string& target, std::vector<std::string>& problems) {
  std::error_code error;
  const fs::path to = PathFromUtf8(target);
  if (fs::exists(to, error) || error) return;
  const fs::path shipped = ShippedConfiguration(executable);
  if (shipped.empty()) {
    problems.push_back("No shipped configuration beside " + Utf8FromPath(executable));
    return;
  }
  // copy_file refuses when the file exists, so an edited configuration that
  // appeared in the meantime is never replaced.
  if (!fs::copy_file(shipped, to, fs::copy_options::none, error)) {
    problems.push_back("Unable to copy " + Utf8FromPath(shipped) + " to " + target);
    return;
  }
  // The shipped file may be read-only; the user's copy is theirs to change.
  fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
}

}  // namespace

bool FolderIsWritable(const std::string& folder) {
  try {
    std::error_code error;
    const fs::path path = PathFromUtf8(folder);
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::is_directory(status)) return false;
    if ((status.permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
        fs::perms::none)
      return false;
    // The permission bits do not tell whether this user may write there:
    // making and removing a folder of our own does.
    std::random_device seed;
    const fs::path probe = path / (".sulo-probe-" + std::to_string(seed()));
    if (!fs::create_directory(probe, error)) return false;
    fs::remove(probe, error);
    return true;
  } catch (...) {
    return false;
  }
}

TFileLocations PrepareFileLocations(const std::string& executablePath, const TUserFolders& user) {
  TFileLocations result;
  try {
    fs::path executable = PathFromUtf8(executablePath);
    if (executable.empty()) {
      std::error_code error;
      executable = fs::current_path(error) / "sulo";
    }
    fs::path beside = executable;
    const std::string besideConfiguration = Utf8FromPath(beside.replace_extension(".configuration"));
    const std::string besideLog = Utf8FromPath(beside.replace_extension(".log"));

    // An installed program (a package's tree, or the Windows installer's
    // folder with its uninstaller) keeps its files per user even when its
    // folder could be written: root or an elevated start would otherwise
    // leave a second configuration beside the program and hide the user's.
    std::error_code error;
    const bool installed = fs::is_regular_file(InstalledShippedConfiguration(executable), error) ||
                           fs::is_regular_file(executable.parent_path() / "uninstall.exe", error);
    const bool writable = !installed && FolderIsWritable(Utf8FromPath(executable.parent_path()));
    if (writable || user.Configuration.empty()) {
      if (!writable)
        result.Problems.push_back("No folder of the user's own; the configuration stays beside the program");
      result.ConfigurationFile = besideConfiguration;
      result.LogFile = besideLog;
      return result;
    }

    result.PerUser = true;
    result.ConfigurationFile = Utf8FromPath(PathFromUtf8(user.Configuration) / UserConfigurationName);
    const std::string logFolder = user.Log.empty() ? user.Configuration : user.Log;
    result.LogFile = Utf8FromPath(PathFromUtf8(logFolder) / UserLogName);
    if (MakeFolder(user.Configuration, result.Problems)) CopyShipped(executable, result.ConfigurationFile, result.Problems);
    if (logFolder != user.Configuration) MakeFolder(logFolder, result.Problems);
  } catch (const std::exception& error) {
    result.Problems.push_back(std::string("Unable to prepare the configuration: ") + error.what());
    if (result.ConfigurationFile.empty()) result.ConfigurationFile = UserConfigurationName;
    if (result.LogFile.empty()) result.LogFile = UserLogName;
  }
  return result;
}
