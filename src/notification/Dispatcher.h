// How device threads reach the UI thread.
//
// The camera worker and the board-scan thread hand work to the UI thread
// through this interface: Post queues it and returns; Send queues it and waits
// until the UI thread has run it. Called on the UI thread itself, Send runs the
// work at once. The UI thread runs what is queued in ProcessPending, which the
// app's event loop calls when woken and which a shutdown path may call while
// it waits for a device thread (so a device thread blocked in Send is served
// and cannot deadlock with it).
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class IDispatcher {
 public:
  virtual ~IDispatcher() = default;
  virtual void Post(std::function<void()> work) = 0;
  virtual void Send(std::function<void()> work) = 0;
  // UI thread only: runs everything queued so far. Returns how many ran.
  virtual std::size_t ProcessPending() = 0;
  virtual bool IsUiThread() const = 0;
};

// A queue-based dispatcher. Subclasses override Wake to make the UI thread
// call ProcessPending soon (the app posts an event to its loop); the manual
// dispatcher used by tests does nothing there, and the test calls
// ProcessPending itself.
class TQueuedDispatcher : public IDispatcher {
 public:
  TQueuedDispatcher() : FUiThread(std::this_thread::get_id()) {}

  void Post(std::function<void()> work) override;
  void Send(std::function<void()> work) override;
  std::size_t ProcessPending() override;
  bool IsUiThread() const override { return std::this_thread::get_id() == FUiThread; }

  // Hands the UI role to the calling thread (tests that drive from a thread).
  void AdoptCurrentThread() { FUiThread = std::this_thread::get_id(); }

  // Waits up to `ms` for work to arrive, then runs it (tests).
  std::size_t WaitAndProcess(int ms);

 protected:
  virtual void Wake() {}
  // Posted work has no caller waiting for it. By default its error leaves
  // ProcessPending (the rest stays queued); the app reports it instead, so
  // that nothing that serves the queue, a shutdown wait included, is ever
  // interrupted by it.
  virtual void OnPostedError(std::exception_ptr error);

 private:
  struct TItem {
    std::function<void()> Work;
    std::shared_ptr<struct TDone> Done;
  };
  std::mutex FLock;
  std::condition_variable FArrived;
  std::deque<TItem> FQueue;
  std::thread::id FUiThread;
};

using TManualDispatcher = TQueuedDispatcher;
