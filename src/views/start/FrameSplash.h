// The first screen: the product artwork, shown while the controller board is
// looked for. A click on the artwork moves on to the save-location view.
#pragma once

#include "views/common/Frame.h"
#include "views/widgets/StdCtrls.h"

class TFrameSplash : public TFrame {
  Q_OBJECT
 public:
  explicit TFrameSplash(QWidget* owner);

  TLayout* LayoutContent;
  TImage* ImageSplash;

  void ImageSplashClick(TControl* Sender);
};
