// A scaling layout that keeps its proportions: its content, laid out at the
// original design size, is scaled evenly to the largest size that fits the
// place alignment gives it, and centred there.
#pragma once

#include "views/widgets/Control.h"

class TFitScaledLayout : public TScaledLayout {
  Q_OBJECT
 public:
  using TScaledLayout::TScaledLayout;
  void PlaceAligned(const QRectF& outer) override;
};
