#include "views/common/Frame.h"

TFrame::TFrame(QWidget* owner, const QString& className, qreal width, qreal height)
    : TControl(owner), FClassName(className) {
  SetName(className.startsWith('T') ? className.mid(1) : className);
  // A view is a layout of controls: its own area takes no pointer input.
  FHitTest = false;
  SetSize(width, height);
}
