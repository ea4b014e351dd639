// The dispatcher of the Qt program: device threads queue work, and the Qt
// event loop runs it on the UI thread. An error escaping queued work goes to
// the error report; the rest of the queue still runs.
#pragma once

#include <QObject>
#include <atomic>

#include "notification/Dispatcher.h"

class TQtDispatcher : public TQueuedDispatcher {
 public:
  TQtDispatcher();
  ~TQtDispatcher() override;

 protected:
  void Wake() override;
  void OnPostedError(std::exception_ptr error) override;

 private:
  void Run();
  QObject FReceiver;  // lives on the UI thread; queued calls die with it
  std::atomic<bool> FWakePending{false};
};
