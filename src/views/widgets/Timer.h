// The timer every screen uses: enabled flag, millisecond interval and a
// handler. A timer with interval 0 does not run, whatever its enabled flag.
// Changing the interval of a running timer starts its period again. Like the
// toolkit's timers, a new one is enabled with an interval of 1000 ms; an error
// escaping the handler goes to the error report and the timer keeps running.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class TTimer : public QObject {
  Q_OBJECT
 public:
  explicit TTimer(QObject* parent = nullptr);

  void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }
  void SetInterval(int ms);
  int Interval() const { return FInterval; }
  // Running means a period is being counted (enabled and interval above 0).
  bool IsRunning() const { return FTimer.isActive(); }

  std::function<void(TTimer* Sender)> OnTimer;

 private:
  void Update();
  QTimer FTimer;
  bool FEnabled = true;
  int FInterval = 1000;
};
