// The shooting view: the camera's live view on the left, the function panel
// on the right. For now the two panes only; the live view, the preview tools
// and the shot follow.
#pragma once

#include "views/Frame.h"
#include "views/widgets/Control.h"

class TFrameSulo : public TFrame {
  Q_OBJECT
 public:
  explicit TFrameSulo(QWidget* owner);

  TScaledLayout* ScaledLayoutContent;
  TLayout* LayoutPhoto;
  TRectangle* RectanglePhotoBG;
  TLayout* LayoutFunction;
  TRectangle* RectangleFunctionBG;
};
