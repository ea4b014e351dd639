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
  ProcessPending();
}

// The failed item is gone; report it, and the rest of the queue still runs.
void TQtDispatcher::OnPostedError(std::exception_ptr error) { ReportError(error); }
