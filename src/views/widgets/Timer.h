// The timer every screen uses: enabled flag, millisecond interval and a
// handler. A timer with interval 0 does not run, whatever its enabled flag.
// Changing the interval of a running timer starts its period again. Like the
// toolkit's timers, a new one is enabled with an interval of 1000 ms; an error
// escaping the handler goes to the error report and the timer keeps running.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

class TTimer;

// A clock the timers count on instead of the system's, for tests that drive
// time by hand. While one exists, every timer started counts on it and fires
// only from Advance, at its time and in the order the timers fall due; a
// timer made before it keeps the system's clock. One at a time, on the UI
// thread.
class TTimerClock {
 public:
  TTimerClock();
  ~TTimerClock();
  TTimerClock(const TTimerClock&) = delete;
  TTimerClock& operator=(const TTimerClock&) = delete;

  static TTimerClock* FInstance;

  std::int64_t Now() const { return FNow; }
  // Moves the clock on by `ms`, firing on the way every timer that falls due.
  void Advance(int ms);

 private:
  friend class TTimer;
  struct TEntry {
    TTimer* Timer;
    std::int64_t Due;
    std::uint64_t Order;  // of starting: timers due together fire in this order
  };
  void Start(TTimer* timer, int interval);
  void Stop(TTimer* timer);
  bool IsRunning(const TTimer* timer) const;
  std::int64_t FNow = 0;
  std::uint64_t FStarts = 0;
  std::vector<TEntry> FEntries;
};

class TTimer : public QObject {
  Q_OBJECT
 public:
  explicit TTimer(QObject* parent = nullptr);
  ~TTimer() override;

  void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }
  void SetInterval(int ms);
  int Interval() const { return FInterval; }
  // Running means a period is being counted (enabled and interval above 0).
  bool IsRunning() const;

  std::function<void(TTimer* Sender)> OnTimer;

 private:
  friend class TTimerClock;
  void Update();
  void Fire();
  QTimer FTimer;
  bool FEnabled = true;
  int FInterval = 1000;
  // Made while a TTimerClock existed: counts on it, not on the system's clock.
  bool FOnClock = false;
};
