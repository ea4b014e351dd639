// A controller over the simulated camera, driven from the test thread as the
// UI thread, with a listener on the event bus.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "camera/Canon.h"
#include "notification/Interfaces.h"
#include "simulator/camera/SimCamera.h"
#include "support/TraceCapture.h"

class TBusListener : public IConnectionListener, public ICanon, public IDeviceShutdown {
 public:
  void SuloIsConnect(bool) override {}
  void CameraIsConnect(bool IsConnect) override {
    Connects.push_back(IsConnect);
    Threads.push_back(std::this_thread::get_id());
  }
  void OnOpen() override {
    ++Opens;
    Threads.push_back(std::this_thread::get_id());
  }
  void Shutdown() override {
    ++Shutdowns;
    Threads.push_back(std::this_thread::get_id());
  }
  std::vector<bool> Connects;
  int Opens = 0;
  int Shutdowns = 0;
  std::vector<std::thread::id> Threads;
};

class TCameraFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SimCamera::Reset();
    SimCamera::SetPictureSize(640, 427);  // full size only where it matters: it is slow to draw
    TNotificationCenter::FInstance = &FCenter;
    FCenter.Add<IConnectionListener>(&FListener);
    FCenter.Add<ICanon>(&FListener);
    FCenter.Add<IDeviceShutdown>(&FListener);
    FGlobal = std::make_unique<TGlobal>(FDispatcher);
  }

  void TearDown() override {
    // As the shooting view does: no handlers once it is gone. A live view
    // left running ends when the shutdown grace is over.
    if (FGlobal) {
      Canon().SetOnLiveView(nullptr);
      Canon().SetShutdownGrace(std::chrono::milliseconds(200));
    }
    FGlobal.reset();  // finalises the controller if a test did not
    FDispatcher.ProcessPending();
    FCenter.Remove<IConnectionListener>(&FListener);
    FCenter.Remove<ICanon>(&FListener);
    FCenter.Remove<IDeviceShutdown>(&FListener);
    TNotificationCenter::FInstance = nullptr;
    SimCamera::Reset();
  }

  TCanon& Canon() { return FGlobal->Canon(); }

  // Serves the UI thread until `done` holds; false after `ms`.
  bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      FDispatcher.WaitAndProcess(5);
    }
    return true;
  }

  // Serves the UI thread for `ms` (used only to show that nothing happens).
  void Serve(int ms) {
    WaitFor([] { return false; }, ms);
  }

  // Waits until the worker has run everything queued so far.
  bool WaitIdle() {
    return WaitFor([&] { return Canon().QueueCount() == 0; }) && (Serve(150), true);
  }

  void InitializeAndOpen() {
    Canon().Initialize();
    Canon().Open();
    ASSERT_TRUE(WaitFor([&] { return !SimCamera::CallsOf("EdsOpenSession").empty() && Canon().QueueCount() == 0; }));
    Serve(100);
  }

  static std::size_t Count(const std::string& function) { return SimCamera::CallsOf(function).size(); }
  static std::vector<SimCamera::TCall> Writes(EdsPropertyID id) { return SimCamera::CallsOf("EdsSetPropertyData", id); }

  TTraceCapture FTrace;
  TManualDispatcher FDispatcher;
  TNotificationCenter FCenter;
  TBusListener FListener;
  std::unique_ptr<TGlobal> FGlobal;
};
