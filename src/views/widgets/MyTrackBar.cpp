#include "views/widgets/MyTrackBar.h"

#include <cmath>
#include <string>

#include "logging/Log.h"

TFrameMyTrackBar::TFrameMyTrackBar(QWidget* parent) : TControl(parent) {
  SetSize(306, 27);
  RoundRectBG = new TRectangle(this);
  RoundRectBG->SetName("RoundRectBG");
  RoundRectBG->SetBounds(3, 10, 270, 6);
  RoundRectBG->SetFillColor(Qt::white);
  RoundRectBG->SetCornerRadius(3);
  RoundRectBG->SetHitTest(false);
  RoundRectValue = new TRectangle(this);
  RoundRectValue->SetName("RoundRectValue");
  RoundRectValue->SetBounds(3, 10, 50, 6);
  RoundRectValue->SetFillColor(QColor(0x72, 0xCB, 0xD1));
  RoundRectValue->SetCornerRadius(3);
  RoundRectValue->SetHitTest(false);
  TavImageButtonTrack = new TTavImageButton(this);
  TavImageButtonTrack->SetName("TavImageButtonTrack");
  TavImageButtonTrack->SetBounds(0, 0, 27, 27);
  TavImageButtonTrack->BitmapDefault().LoadFromFile(":/images/track_thumb.svg");
  TavImageButtonTrack->BitmapMouseOver().LoadFromFile(":/images/track_thumb_over.svg");
  TavImageButtonTrack->BitmapPressed().LoadFromFile(":/images/track_thumb_pressed.svg");
  TavImageButtonTrack->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    TavImageButtonTrackMouseDown(s, b, k, x, y);
  };
  TavImageButtonTrack->OnMouseMove = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    TavImageButtonTrackMouseMove(s, b, k, x, y);
  };
  TavImageButtonTrack->OnMouseUp = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    TavImageButtonTrackMouseUp(s, b, k, x, y);
  };
  FMouseDown = false;
}

qreal TFrameMyTrackBar::Span() const { return RoundRectBG->Width() - TavImageButtonTrack->Width() + 30; }

void TFrameMyTrackBar::SetValue(int v) {
  FValue = v;
  UpdateTrack();
}

void TFrameMyTrackBar::UpdateTrack() {
  // An empty range has nowhere to go: the thumb rests at the start.
  const long double x = FMax == FMin ? 0.0L
                                     : static_cast<long double>(Span()) * (static_cast<long double>(FValue) - FMin) /
                                           (static_cast<long double>(FMax) - FMin);
  TavImageButtonTrack->SetPosition(static_cast<qreal>(x), TavImageButtonTrack->Y());
  RoundRectValue->SetWidth(static_cast<qreal>(x + 5));
  if (OnValueChanged) OnValueChanged(this);
}

QPointF TFrameMyTrackBar::WindowPoint(qreal X, qreal Y) const {
  const QPointF window = TavImageButtonTrack->LocalToAbsolute(QPointF(X, Y));
  const QPointF s = AbsoluteScale();
  return QPointF(window.x() / s.x(), window.y() / s.y());
}

void TFrameMyTrackBar::TavImageButtonTrackMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  FMouseDown = true;
  FMouseDownLeft = TavImageButtonTrack->X();
  FMouseDownPoint = WindowPoint(X, Y);
  Trace("FMouseDownLeft : " + std::to_string(static_cast<double>(FMouseDownLeft)));
  Trace("FMouseDownPoint.X : " + std::to_string(FMouseDownPoint.x()));
}

void TFrameMyTrackBar::TavImageButtonTrackMouseMove(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FMouseDown) return;
  const QPointF p = WindowPoint(X, Y);
  const long double w = RoundRectBG->Width();
  const long double t = TavImageButtonTrack->Width();
  long double left = p.x() - FMouseDownPoint.x() + FMouseDownLeft;
  if (left < -15) left = -15;
  if (left > w - t + 15) left = w - t + 15;
  FValue = static_cast<int>(std::trunc((left + 15) / static_cast<long double>(Span()) * (static_cast<long double>(FMax) - FMin))) + FMin;
  UpdateTrack();
}

void TFrameMyTrackBar::TavImageButtonTrackMouseUp(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) {
  FMouseDown = false;
}
