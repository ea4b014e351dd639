#include "views/widgets/FitScaledLayout.h"

#include <algorithm>

void TFitScaledLayout::PlaceAligned(const QRectF& outer) {
  const QSizeF original = OriginalSize();
  if (original.isEmpty()) {
    TScaledLayout::PlaceAligned(outer);
    return;
  }
  const qreal s = std::max<qreal>(0, std::min(outer.width() / original.width(), outer.height() / original.height()));
  const QSizeF size = original * s;
  TScaledLayout::PlaceAligned(QRectF(outer.center() - QPointF(size.width() / 2, size.height() / 2), size));
}
