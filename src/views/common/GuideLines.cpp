#include "views/common/GuideLines.h"

Qt::CursorShape GuideLineCursor(qreal X, qreal Y, qreal lineX, qreal lineY) {
  const bool nearY = Y > lineY - 10 && Y <= lineY + 10;
  const bool nearX = X > lineX - 10 && X <= lineX + 10;
  if (nearX && nearY) return Qt::SizeFDiagCursor;
  if (nearX) return Qt::SizeHorCursor;
  if (nearY) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

TGuideLineDrag GuideLineDragFor(Qt::CursorShape shape) {
  switch (shape) {
    case Qt::SizeFDiagCursor:
      return {true, true};
    case Qt::SizeHorCursor:
      return {true, false};
    case Qt::SizeVerCursor:
      return {false, true};
    default:
      return {};
  }
}
