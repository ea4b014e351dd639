#include "views/Frame.h"

TFrame::TFrame(QWidget* owner, const QString& className, qreal width, qreal height)
    : TControl(owner), FClassName(className) {
  SetName(className.startsWith('T') ? className.mid(1) : className);
  SetSize(width, height);
}
