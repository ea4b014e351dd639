#include "views/widgets/Timer.h"

#include <algorithm>

#include "views/widgets/ErrorHook.h"

TTimerClock* TTimerClock::FInstance = nullptr;

TTimerClock::TTimerClock() { FInstance = this; }

TTimerClock::~TTimerClock() {
  if (FInstance == this) FInstance = nullptr;
  // Timers still counting on this clock stop with it.
  for (const TEntry& e : FEntries) e.Timer->FOnClock = false;
}

void TTimerClock::Advance(int ms) {
  const std::int64_t until = FNow + std::max(ms, 0);
  for (;;) {
    auto next = std::min_element(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) {
      return a.Due != b.Due ? a.Due < b.Due : a.Order < b.Order;
    });
    if (next == FEntries.end() || next->Due > until) break;
    FNow = next->Due;
    TTimer* timer = next->Timer;
    // Periodic, as on the system's clock; the handler may stop or restart it.
    next->Due += timer->FInterval;
    next->Order = ++FStarts;
    timer->Fire();
  }
  FNow = until;
}

void TTimerClock::Start(TTimer* timer, int interval) {
  Stop(timer);
  FEntries.push_back({timer, FNow + interval, ++FStarts});
}

void TTimerClock::Stop(TTimer* timer) {
  FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(), [timer](const TEntry& e) { return e.Timer == timer; }),
                 FEntries.end());
}

bool TTimerClock::IsRunning(const TTimer* timer) const {
  return std::any_of(FEntries.begin(), FEntries.end(), [timer](const TEntry& e) { return e.Timer == timer; });
}

TTimer::TTimer(QObject* parent) : QObject(parent), FOnClock(TTimerClock::FInstance != nullptr) {
  // The shot's timers place the rig and the shutter: a coarse timer may fire
  // up to 5 % early, which moves the rig by that much.
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Fire(); });
  Update();
}

TTimer::~TTimer() {
  if (FOnClock && TTimerClock::FInstance) TTimerClock::FInstance->Stop(this);
}

void TTimer::Fire() {
  if (OnTimer) Guarded([this] { OnTimer(this); });
}

bool TTimer::IsRunning() const {
  if (FOnClock) return TTimerClock::FInstance && TTimerClock::FInstance->IsRunning(this);
  return FTimer.isActive();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Update();
}

void TTimer::SetInterval(int ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  Update();
}

void TTimer::Update() {
  const bool run = FEnabled && FInterval > 0;
  if (FOnClock) {
    if (!TTimerClock::FInstance) return;
    if (run)
      TTimerClock::FInstance->Start(this, FInterval);
    else
      TTimerClock::FInstance->Stop(this);
    return;
  }
  if (run)
    FTimer.start(FInterval);
  else
    FTimer.stop();
}
