#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/UserFolders.h"

namespace {

// Sets or clears one variable for the test and puts the old value back.
class TScopedVariable {
 public:
  TScopedVariable(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    if (value != nullptr)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~TScopedVariable() {
    if (FOld)
      ::setenv(FName, FOld->c_str(), 1);
    else
      ::unsetenv(FName);
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

struct TCase {
  const char* ConfigHome;
  const char* StateHome;
  const char* Configuration;
  const char* Log;
};

class UserFoldersTest : public ::testing::TestWithParam<TCase> {};

TEST_P(UserFoldersTest, FollowsTheBaseDirectoryVariables) {
  const TCase& row = GetParam();
  TScopedVariable home("HOME", "/home/booth");
  TScopedVariable config("XDG_CONFIG_HOME", row.ConfigHome);
  TScopedVariable state("XDG_STATE_HOME", row.StateHome);
  const TUserFolders folders = UserFolders();
  EXPECT_EQ(folders.Configuration, row.Configuration);
  EXPECT_EQ(folders.Log, row.Log);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, UserFoldersTest,
    ::testing::Values(TCase{nullptr, nullptr, "/home/booth/.config/sulo", "/home/booth/.local/state/sulo"},
                      TCase{"/srv/cfg", "/srv/state", "/srv/cfg/sulo", "/srv/state/sulo"},
                      TCase{"", "", "/home/booth/.config/sulo", "/home/booth/.local/state/sulo"},
                      // A relative value is not a base directory and is ignored.
                      TCase{"cfg", "state", "/home/booth/.config/sulo", "/home/booth/.local/state/sulo"}));

}  // namespace
