#include "notification/Dispatcher.h"

#include <chrono>
#include <exception>

struct TDone {
  std::mutex Lock;
  std::condition_variable Cond;
  bool Finished = false;
  std::exception_ptr Error;
};

void TQueuedDispatcher::Post(std::function<void()> work) {
  {
    std::lock_guard guard(FLock);
    FQueue.push_back({std::move(work), nullptr});
  }
  FArrived.notify_all();
  Wake();
}

void TQueuedDispatcher::Send(std::function<void()> work) {
  if (IsUiThread()) {
    work();
    return;
  }
  auto done = std::make_shared<TDone>();
  {
    std::lock_guard guard(FLock);
    FQueue.push_back({std::move(work), done});
  }
  FArrived.notify_all();
  Wake();
  std::unique_lock wait(done->Lock);
  done->Cond.wait(wait, [&] { return done->Finished; });
  if (done->Error) std::rethrow_exception(done->Error);
}

std::size_t TQueuedDispatcher::ProcessPending() {
  // Runs what was queued when the call began, one item at a time, so that an
  // error escaping posted work leaves the rest queued for the next call.
  std::size_t budget;
  {
    std::lock_guard guard(FLock);
    budget = FQueue.size();
  }
  std::size_t ran = 0;
  while (ran < budget) {
    TItem item;
    {
      std::lock_guard guard(FLock);
      if (FQueue.empty()) break;
      item = std::move(FQueue.front());
      FQueue.pop_front();
    }
    ++ran;
    if (!item.Done) {
      try {
        item.Work();
      } catch (...) {
        OnPostedError(std::current_exception());
      }
      continue;
    }
    std::exception_ptr error;
    try {
      item.Work();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard guard(item.Done->Lock);
    item.Done->Finished = true;
    item.Done->Error = error;
    item.Done->Cond.notify_all();
  }
  return ran;
}

std::size_t TQueuedDispatcher::WaitAndProcess(int ms) {
  {
    std::unique_lock wait(FLock);
    FArrived.wait_for(wait, std::chrono::milliseconds(ms), [&] { return !FQueue.empty(); });
  }
  return ProcessPending();
}

void TQueuedDispatcher::OnPostedError(std::exception_ptr error) { std::rethrow_exception(error); }
