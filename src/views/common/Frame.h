// A view: a reusable panel of controls, named after its class without the
// leading T ("FrameSplash"), hosted in a layout by class name. Like a layout
// it takes no pointer input of its own.
#pragma once

#include <QString>

#include "views/widgets/Control.h"

class TFrame : public TControl {
  Q_OBJECT
 public:
  TFrame(QWidget* owner, const QString& className, qreal width, qreal height);
  const QString& ClassName() const { return FClassName; }

 private:
  QString FClassName;
};
