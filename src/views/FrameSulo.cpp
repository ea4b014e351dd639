#include "views/FrameSulo.h"

TFrameSulo::TFrameSulo(QWidget* owner) : TFrame(owner, "TFrameSulo", 1086, 644) {
  ScaledLayoutContent = new TScaledLayout(this);
  ScaledLayoutContent->SetName("ScaledLayoutContent");
  ScaledLayoutContent->SetOriginalSize(1086, 644);
  ScaledLayoutContent->SetAlign(TAlignLayout::Client);

  LayoutPhoto = new TLayout(ScaledLayoutContent);
  LayoutPhoto->SetName("LayoutPhoto");
  LayoutPhoto->SetBounds(0, 0, 543, 644);
  RectanglePhotoBG = new TRectangle(LayoutPhoto);
  RectanglePhotoBG->SetName("RectanglePhotoBG");
  RectanglePhotoBG->SetFillColor(Qt::black);
  RectanglePhotoBG->SetAlign(TAlignLayout::Contents);

  LayoutFunction = new TLayout(ScaledLayoutContent);
  LayoutFunction->SetName("LayoutFunction");
  LayoutFunction->SetBounds(543, 0, 543, 644);
  RectangleFunctionBG = new TRectangle(LayoutFunction);
  RectangleFunctionBG->SetName("RectangleFunctionBG");
  RectangleFunctionBG->SetFillColor(QColor(0xEE, 0xF1, 0xF2));
  RectangleFunctionBG->SetAlign(TAlignLayout::Contents);
}
