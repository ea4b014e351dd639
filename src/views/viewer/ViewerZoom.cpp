#include "views/viewer/ViewerZoom.h"

#include <algorithm>

float TViewerZoom::AfterWheel(float requested, bool up) {
  if (up) return requested + WheelStep;
  return std::max(0.0f, requested - WheelStep);
}

void TViewerZoom::SetPaneSize(QSizeF size) {
  FPane = size;
  Fix();
}

void TViewerZoom::SetRequested(float scale) {
  FRequested = scale;
  if (scale < 1.0f) {
    FDisplayed = 1.0f;
    FPosition = QPointF(0, 0);
  } else {
    FDisplayed = scale;
  }
}

void TViewerZoom::Fix() {
  const QSizeF shown = ExpandedSize();
  qreal x = std::min<qreal>(FPosition.x(), 0);
  qreal y = std::min<qreal>(FPosition.y(), 0);
  x = std::max<qreal>(x, FPane.width() - shown.width());
  y = std::max<qreal>(y, FPane.height() - shown.height());
  FPosition = QPointF(x, y);
}

QPointF TViewerZoom::ToPicture(QPointF panePoint) const { return (panePoint - FPosition) / FDisplayed; }

void TViewerZoom::DragStep(QPointF grab, QPointF pointerInPicture) {
  FPosition += pointerInPicture - grab;
  Fix();
}
