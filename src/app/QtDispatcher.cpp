#include "app/QtDispatcher.h"

#include <QMetaObject>

#include "app/ErrorReport.h"

TQtDispatcher::TQtDispatcher() = default;
TQtDispatcher::~TQtDispatcher() = default;

void TQtDispatcher::Wake() {
  // One queued call serves everything queued before it runs.
  if (FWakePending.exchange(true)) return;
  QMetaObject::invokeMethod(&FReceiver, [this] { Run(); }, Qt::QueuedConnection);
}

void TQtDispatcher::Run() {
  FWakePending = false;
  for (;;) {
    try {
      ProcessPending();
      return;
    } catch (...) {
      // The failed item is gone; report it and carry on with the rest.
      ReportError(std::current_exception());
    }
  }
}
