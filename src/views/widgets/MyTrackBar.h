// The small track bar: a white track, a filled part in the accent colour and
// an image-button thumb that is dragged along it.
#pragma once

#include <functional>

#include "views/widgets/Control.h"
#include "views/widgets/TavImageButton.h"

class TFrameMyTrackBar : public TControl {
  Q_OBJECT
 public:
  explicit TFrameMyTrackBar(QWidget* parent = nullptr);

  // Bounds are stored only: the thumb moves at the next SetValue or drag.
  void SetMin(int v) { FMin = v; }
  void SetMax(int v) { FMax = v; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  // Not clamped.
  void SetValue(int v);
  int Value() const { return FValue; }

  // Places the thumb and the filled part for the value, then announces it.
  void UpdateTrack();

  std::function<void(TFrameMyTrackBar* Sender)> OnValueChanged;

  TRectangle* RoundRectBG;
  TRectangle* RoundRectValue;
  TTavImageButton* TavImageButtonTrack;

 private:
  void TavImageButtonTrackMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void TavImageButtonTrackMouseMove(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void TavImageButtonTrackMouseUp(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  // The pointer in window coordinates, expressed in this frame's design units.
  QPointF WindowPoint(qreal X, qreal Y) const;
  // Travel of the thumb's x over the whole range.
  qreal Span() const;

  int FMin = 0;
  int FMax = 100;
  int FValue = 0;
  bool FMouseDown = false;
  long double FMouseDownLeft = 0;
  QPointF FMouseDownPoint;
};
