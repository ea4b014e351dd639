#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "configuration/FileLocations.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

enum class TShipped { Installed, BesideProgram };

struct TCase {
  const char* Name;
  bool ProgramFolderWritable;
  TShipped Shipped;
  const char* UserConfiguration;  // already in the user's folder; null: none
  bool PerUser;
  const char* Expected;           // the configuration the run then uses
};

void PrintTo(const TCase& row, std::ostream* out) { *out << row.Name; }

// Takes the write permission off `folder`; false where that does not stop
// its owner making files there (Windows folders ignore the read-only mark:
// an installed program's folder is kept from the operator by access rights).
bool MakeReadOnly(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  return !FolderIsWritable(Utf8FromPath(folder));
}

constexpr const char* NoReadOnlyFolders =
    "this system lets a folder's owner write in it whatever its read-only mark; the Windows check covers an "
    "installed program's read-only folder";

// An installed tree: <prefix>/bin/sulo, the shipped settings under
// <prefix>/share/sulo (or beside the program, as a Windows folder has them),
// and the user's folders under a home of its own.
class FileLocationsTest : public ::testing::TestWithParam<TCase> {
 protected:
  void SetUp() override {
    fs::create_directories(FBin);
    WriteFile(FBin / "sulo", "program");
  }
  void TearDown() override { fs::permissions(FBin, fs::perms::owner_all, fs::perm_options::add); }

  TTempDir FDir;
  fs::path FBin = FDir.Path() / "prefix" / "bin";
  fs::path FShare = FDir.Path() / "prefix" / "share" / "sulo";
  TUserFolders FUser{Utf8FromPath(FDir.Path() / "home" / ".config" / "sulo"),
                     Utf8FromPath(FDir.Path() / "home" / ".local" / "state" / "sulo")};
};

TEST_P(FileLocationsTest, ChoosesTheFolderAndKeepsTheUsersConfiguration) {
  const TCase& row = GetParam();
  if (row.Shipped == TShipped::Installed)
    WriteFile(FShare / "default.configuration", "shipped");
  else
    WriteFile(FBin / "sulo.configuration", "shipped");
  const fs::path userFile = fs::path(FUser.Configuration) / "sulo.configuration";
  if (row.UserConfiguration != nullptr) WriteFile(userFile, row.UserConfiguration);
  if (!row.ProgramFolderWritable && !MakeReadOnly(FBin)) GTEST_SKIP() << NoReadOnlyFolders;

  const TFileLocations files = PrepareFileLocations(Utf8FromPath(FBin / "sulo"), FUser);

  EXPECT_EQ(files.PerUser, row.PerUser);
  EXPECT_TRUE(files.Problems.empty()) << files.Problems.front();
  if (row.PerUser) {
    EXPECT_EQ(fs::path(files.ConfigurationFile), userFile);
    EXPECT_EQ(fs::path(files.LogFile), fs::path(FUser.Log) / "sulo.log");
    EXPECT_TRUE(fs::is_directory(FUser.Log));
    // The user may change the copy.
    EXPECT_TRUE((fs::status(userFile).permissions() & fs::perms::owner_write) != fs::perms::none);
  } else {
    EXPECT_EQ(fs::path(files.ConfigurationFile), FBin / "sulo.configuration");
    EXPECT_EQ(fs::path(files.LogFile), FBin / "sulo.log");
    EXPECT_FALSE(fs::exists(FUser.Log));
  }
  EXPECT_EQ(ReadFile(files.ConfigurationFile), row.Expected);
  // Nothing is left in the program's folder by the write check.
  EXPECT_EQ(std::distance(fs::directory_iterator(FBin), fs::directory_iterator()),
            row.Shipped == TShipped::Installed ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, FileLocationsTest,
    ::testing::Values(
        TCase{"WritableFolder", true, TShipped::BesideProgram, nullptr, false, "shipped"},
        TCase{"WritableFolderIgnoresUserConfiguration", true, TShipped::BesideProgram, "edited", false, "shipped"},
        // Root, or an elevated start, may write in an installed program's folder.
        TCase{"WritableInstalledFolderStaysPerUser", true, TShipped::Installed, "edited", true, "edited"},
        TCase{"ReadOnlyFolderFirstStart", false, TShipped::Installed, nullptr, true, "shipped"},
        TCase{"ReadOnlyFolderFirstStartShippedBesideProgram", false, TShipped::BesideProgram, nullptr, true, "shipped"},
        TCase{"ReadOnlyFolderKeepsEditedConfiguration", false, TShipped::Installed, "[Sulo]\nISO=99\n", true,
              "[Sulo]\nISO=99\n"}),
    [](const ::testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

TEST(FileLocationsFailureTest, AFolderThatCannotBeMadeIsReported) {
  TTempDir dir;
  const fs::path bin = dir.Path() / "bin";
  WriteFile(bin / "sulo", "program");
  WriteFile(dir.Path() / "share" / "sulo" / "default.configuration", "shipped");
  // A file where the user's folders would go.
  WriteFile(dir.Path() / "home", "not a folder");
  if (!MakeReadOnly(bin)) {
    fs::permissions(bin, fs::perms::owner_all, fs::perm_options::add);
    GTEST_SKIP() << NoReadOnlyFolders;
  }
  const TUserFolders user{Utf8FromPath(dir.Path() / "home" / "config"), Utf8FromPath(dir.Path() / "home" / "state")};

  const TFileLocations files = PrepareFileLocations(Utf8FromPath(bin / "sulo"), user);

  fs::permissions(bin, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_TRUE(files.PerUser);
  ASSERT_EQ(files.Problems.size(), 2u);
  EXPECT_NE(files.Problems[0].find(user.Configuration), std::string::npos);
  EXPECT_NE(files.Problems[1].find(user.Log), std::string::npos);
  EXPECT_EQ(fs::path(files.ConfigurationFile), fs::path(user.Configuration) / "sulo.configuration");
}

}  // namespace
