// The single-instance lock between processes. The test program starts itself
// again as the other instance:
//   --try-lock NAME          exits 0 when it gets the lock, 3 when refused;
//   --hold-lock NAME FILE    takes the lock, writes "1" (got it) or "0" to
//                            FILE and waits to be killed.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "platform/SingleInstance.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int Refused = 3;

std::string UniqueName(const std::string& what) {
  return "sulo-test-" + what + "-" + std::to_string(std::random_device{}());
}

int TryLockInAnotherProcess(const std::string& name) {
  TChildProcess child(ExecutablePath(), {"--try-lock", name});
  EXPECT_TRUE(child.Started());
  return child.Wait();
}

// What the holder wrote to `file`, once it has written it (empty after 20 s).
std::string WaitForReport(const std::string& file) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < until) {
    std::ifstream in(PathFromUtf8(file));
    std::string report;
    if (in >> report) return report;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

TEST(SingleInstanceTest, AnotherProcessIsRefusedWhileTheLockIsHeld) {
  const std::string name = UniqueName("held");
  {
    TSingleInstanceLock running(name);
    ASSERT_TRUE(running.Acquired());
    EXPECT_EQ(TryLockInAnotherProcess(name), Refused);
    EXPECT_EQ(TryLockInAnotherProcess(name + "-other"), 0);
  }
  EXPECT_EQ(TryLockInAnotherProcess(name), 0) << "the lock outlived its holder";
}

TEST(SingleInstanceTest, AKilledHolderDoesNotBlockTheNextStart) {
  TTempDir dir;
  const std::string name = UniqueName("killed");
  const std::string report = dir.File("holder.txt");
  TChildProcess holder(ExecutablePath(), {"--hold-lock", name, report});
  ASSERT_TRUE(holder.Started());
  ASSERT_EQ(WaitForReport(report), "1");
  EXPECT_FALSE(TSingleInstanceLock(name).Acquired());
  holder.Kill();
  holder.Wait();
  EXPECT_TRUE(TSingleInstanceLock(name).Acquired());
}

TEST(SingleInstanceTest, OneHolderAtATimeInOneProcessToo) {
  const std::string name = UniqueName("one");
  TSingleInstanceLock first(name);
  EXPECT_TRUE(first.Acquired());
  EXPECT_FALSE(TSingleInstanceLock(name).Acquired());
  EXPECT_TRUE(first.Acquired()) << "a refused second lock must not take the first one's name away";
}

// Names reach the system as UTF-8 text, not through a local code page that
// would make both of these "sulo-?".
TEST(SingleInstanceTest, NamesDifferingOnlyInKoreanLettersAreDistinct) {
  const std::string base = UniqueName("name");
  TSingleInstanceLock ga(base + "-가");
  ASSERT_TRUE(ga.Acquired());
  EXPECT_TRUE(TSingleInstanceLock(base + "-나").Acquired());
  EXPECT_EQ(TryLockInAnotherProcess(base + "-가"), Refused);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  if (arguments.size() == 3 && arguments[1] == "--try-lock")
    return TSingleInstanceLock(arguments[2]).Acquired() ? 0 : Refused;
  if (arguments.size() == 4 && arguments[1] == "--hold-lock") {
    TSingleInstanceLock lock(arguments[2]);
    std::ofstream(PathFromUtf8(arguments[3])) << (lock.Acquired() ? "1" : "0") << std::endl;
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
