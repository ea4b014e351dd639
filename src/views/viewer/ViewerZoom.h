// The zoom and pan of one viewer pane, kept apart from any widget.
//
// Requested is the factor last asked for the pane's group. The wheel moves it
// in steps of 0.5 without an upper limit and lets it fall to 0.5 or 0; the
// picture is then shown at max(1, Requested), scaled about its top-left
// corner and placed at Position inside the pane. Fix keeps the shown picture
// covering the pane, so Position stays in [W - EW, 0] x [H - EH, 0] for a pane
// of W x H and a shown size of EW x EH.
#pragma once

#include <QPointF>
#include <QSizeF>

class TViewerZoom {
 public:
  static constexpr float WheelStep = 0.5f;

  // The factor one wheel notch leaves: up adds a step, down takes one off and
  // stops at 0.
  static float AfterWheel(float requested, bool up);

  // The pane's size; the picture is clamped again to the new size.
  void SetPaneSize(QSizeF size);
  QSizeF PaneSize() const { return FPane; }

  // The group's factor arrives: below 1 the picture is shown at 1 from the
  // top-left corner; from 1 up it is shown at the factor where it was.
  void SetRequested(float scale);
  float Requested() const { return FRequested; }
  float Displayed() const { return FDisplayed; }
  // The shown picture's size: the pane's size times the shown scale.
  QSizeF ExpandedSize() const { return FPane * FDisplayed; }

  QPointF Position() const { return FPosition; }
  // Places the picture as given, without the clamp.
  void SetPosition(QPointF position) { FPosition = position; }
  // Keeps the shown picture over the whole pane.
  void Fix();

  // A point of the pane in the picture's own, unzoomed coordinates.
  QPointF ToPicture(QPointF panePoint) const;
  // One drag step: the picture moves by how far the pointer (in picture
  // coordinates) is from the grab point, then is clamped. Over successive
  // steps the grabbed point catches up with the pointer.
  void DragStep(QPointF grab, QPointF pointerInPicture);

 private:
  QSizeF FPane{0, 0};
  float FRequested = 1.0f;
  float FDisplayed = 1.0f;
  QPointF FPosition{0, 0};
};
