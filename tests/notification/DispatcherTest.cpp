#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "notification/Dispatcher.h"

TEST(DispatcherTest, PostRunsOnlyWhenTheUiThreadProcesses) {
  TManualDispatcher dispatcher;
  int ran = 0;
  std::thread worker([&] { dispatcher.Post([&] { ++ran; }); });
  worker.join();
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(dispatcher.ProcessPending(), 1u);
  EXPECT_EQ(ran, 1);
}

TEST(DispatcherTest, SendWaitsForTheUiThreadAndCarriesErrorsBack) {
  TManualDispatcher dispatcher;
  std::atomic<bool> returned{false};
  bool caught = false;
  std::thread worker([&] {
    dispatcher.Send([] {});
    try {
      dispatcher.Send([] { throw std::runtime_error("x"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
    returned = true;
  });
  while (!returned) dispatcher.WaitAndProcess(10);
  worker.join();
  EXPECT_TRUE(caught);
}

TEST(DispatcherTest, SendOnTheUiThreadRunsAtOnce) {
  TManualDispatcher dispatcher;
  int ran = 0;
  dispatcher.Send([&] { ++ran; });
  EXPECT_EQ(ran, 1);
}

TEST(DispatcherTest, ErrorInPostedWorkKeepsTheRestQueued) {
  TManualDispatcher dispatcher;
  int ran = 0;
  dispatcher.Post([] { throw std::runtime_error("first"); });
  dispatcher.Post([&] { ++ran; });
  EXPECT_THROW(dispatcher.ProcessPending(), std::runtime_error);
  EXPECT_EQ(ran, 0);
  dispatcher.ProcessPending();
  EXPECT_EQ(ran, 1);
}
