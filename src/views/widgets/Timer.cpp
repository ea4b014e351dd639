#include "views/widgets/Timer.h"

#include "views/widgets/ErrorHook.h"

TTimer::TTimer(QObject* parent) : QObject(parent) {
  // The shot's timers place the rig and the shutter: a coarse timer may fire
  // up to 5 % early, which moves the rig by that much.
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] {
    if (OnTimer) Guarded([this] { OnTimer(this); });
  });
  Update();
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
  if (FEnabled && FInterval > 0)
    FTimer.start(FInterval);
  else
    FTimer.stop();
}
