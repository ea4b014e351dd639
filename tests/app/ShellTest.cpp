#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "FakeDialogs.h"
#include "WidgetTestUtil.h"
#include "app/QtDispatcher.h"
#include "board/ComPort.h"
#include "platform/SingleInstance.h"
#include "views/widgets/TavImageButton.h"
#include "views/widgets/Timer.h"

namespace {
std::string UniqueLockName(const char* what) { return std::string("sulo-test-") + what + "-" + std::to_string(getpid()); }
}  // namespace

TEST(ErrorReport, AnErrorLeavingAHandlerIsShownAndTheProgramGoesOn) {
  TFakeDialogs dialogs;
  TControl window;
  window.SetSize(200, 100);
  auto* button = new TTavImageButton(&window);
  button->SetBounds(10, 10, 50, 30);
  int clicks = 0;
  button->OnClick = [&](TControl*) {
    if (++clicks == 1) throw std::runtime_error("Port Not Open");
  };
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Click(button);
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0], (TFakeDialogs::TShown{"Sulo", "Port Not Open"}));
  Click(button);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dialogs.Errors.size(), 1u);
}

TEST(ErrorReport, APortErrorsHintIsShownAfterItsMessage) {
  TFakeDialogs dialogs;
  TTimer timer;
  int ticks = 0;
  timer.OnTimer = [&](TTimer* self) {
    ++ticks;
    self->SetEnabled(false);
    throw EComPort(CError_OpenFailed, 13, "Add the user to the dialout group.");
  };
  timer.SetInterval(5);
  EXPECT_TRUE(WaitFor([&] { return dialogs.Errors.size() == 1; }));
  EXPECT_EQ(dialogs.Errors[0].Text, "Unable to open com port (Error: 13)\n\nAdd the user to the dialout group.");
}

TEST(ErrorReport, ATimerHandlerErrorIsShownAndTheTimerKeepsRunning) {
  TFakeDialogs dialogs;
  TTimer timer;
  int ticks = 0;
  timer.OnTimer = [&](TTimer*) {
    if (++ticks == 1) throw std::runtime_error("Unable to write to sulo.configuration");
  };
  timer.SetInterval(5);
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0].Text, "Unable to write to sulo.configuration");
}

TEST(QtDispatcher, DeviceThreadsReachTheUiThreadThroughTheLoop) {
  TFakeDialogs dialogs;
  TQtDispatcher dispatcher;
  const auto ui = std::this_thread::get_id();
  std::atomic<int> ran{0};
  std::atomic<bool> sent{false};
  std::thread device([&] {
    dispatcher.Post([&] {
      EXPECT_EQ(std::this_thread::get_id(), ui);
      ++ran;
    });
    dispatcher.Post([] { throw std::runtime_error("posted work failed"); });
    dispatcher.Post([&] { ++ran; });
    dispatcher.Send([&] { ++ran; });  // returns once the UI thread has run it
    sent = true;
  });
  EXPECT_TRUE(WaitFor([&] { return sent.load(); }));
  device.join();
  EXPECT_EQ(ran.load(), 3);
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0].Text, "posted work failed");
}

// A shutdown wait serves the queue by calling ProcessPending itself: a failed
// posted item is reported there too and never escapes into the caller.
TEST(QtDispatcher, ServingTheQueueDirectlyNeverThrows) {
  TFakeDialogs dialogs;
  TQtDispatcher dispatcher;
  int ran = 0;
  dispatcher.Post([] { throw std::runtime_error("picture handler failed"); });
  dispatcher.Post([&] { ++ran; });
  EXPECT_NO_THROW(dispatcher.ProcessPending());
  EXPECT_EQ(ran, 1);
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0].Text, "picture handler failed");
}

TEST(SingleInstance, OneHolderAtATime) {
  const std::string name = UniqueLockName("one");
  {
    TSingleInstanceLock first(name);
    EXPECT_TRUE(first.Acquired());
    TSingleInstanceLock second(name);
    EXPECT_FALSE(second.Acquired());
    TSingleInstanceLock unrelated(name + "-other");
    EXPECT_TRUE(unrelated.Acquired());
  }
  TSingleInstanceLock again(name);
  EXPECT_TRUE(again.Acquired());
}

TEST(SingleInstance, ACrashedHolderDoesNotBlockTheNextStart) {
  const std::string name = UniqueLockName("crash");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TSingleInstanceLock held(name);
    const char ok = held.Acquired() ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    pause();  // killed while holding the lock
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, '1');
  EXPECT_FALSE(TSingleInstanceLock(name).Acquired());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(TSingleInstanceLock(name).Acquired());
}
