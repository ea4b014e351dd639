// The simulated camera's event thread and the events the body raises on it.
#include <algorithm>
#include <cstdio>

#include "simulator/camera/SimCameraState.h"

namespace SimCamera::Internal {

void TEventThread::Start() {
  std::lock_guard guard(FLock);
  if (FRunning) return;
  FRunning = true;
  FThread = std::thread([this] { Run(); });
}

void TEventThread::Stop() {
  {
    std::lock_guard guard(FLock);
    if (!FRunning) return;
    FRunning = false;
    FPending.clear();
  }
  FWake.notify_all();
  if (FThread.joinable()) FThread.join();
}

void TEventThread::Schedule(int delayMs, std::function<void()> work) {
  {
    std::lock_guard guard(FLock);
    if (!FRunning) return;
    FPending.emplace(TClock::now() + std::chrono::milliseconds(std::max(delayMs, 0)), std::move(work));
  }
  FWake.notify_all();
}

void TEventThread::Run() {
  std::unique_lock lock(FLock);
  while (FRunning) {
    if (FPending.empty()) {
      FWake.wait(lock);
      continue;
    }
    auto first = FPending.begin();
    if (TClock::now() < first->first) {
      FWake.wait_until(lock, first->first);
      continue;
    }
    auto work = std::move(first->second);
    FPending.erase(first);
    lock.unlock();
    work();
    lock.lock();
  }
}

void ScheduleTransfer(TSim& s) {
  const int files = std::max(s.FilesPerShot, 1);
  const int width = s.PictureWidth, height = s.PictureHeight;
  const TFault fault = s.PictureFault;
  // The picture shows the booth as it was when the shutter opened.
  const SimScene::TLook look = CurrentLook(s);
  for (int k = 0; k < files; ++k) {
    s.Events.Schedule(s.ShutterDelay + 50 * k, [width, height, look, fault] {
      auto file = Picture(width, height, look, fault);
      TSim& sim = Sim();
      EdsObjectEventHandler handler;
      EdsVoid* context;
      EdsBaseRef item;
      {
        std::lock_guard guard(sim.Lock);
        if (!sim.SdkUp) return;
        handler = sim.ObjectHandler;
        context = sim.ObjectContext;
        item = NewObject(sim, TKind::DirItem);
        TObject* object = Find(sim, item, TKind::DirItem);
        object->File = file;
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.JPG", ++sim.FileCounter % 10000);
        object->FileName = name;
        if (!handler) {
          sim.Objects.erase(Id(item));  // nobody listens: the body keeps the file
          return;
        }
      }
      handler(kEdsObjectEvent_DirItemRequestTransfer, item, context);
    });
  }
}

}  // namespace SimCamera::Internal
