// A vertically scrolling box of design-unit controls.
//
// Controls go into Content(), which is as wide as the box less the scroll bar
// and as high as its children need (aligned ones included, with margins);
// the box shows a window of it and scrolls with the bar and the mouse wheel.
// With DisableMouseWheel set the box leaves wheel events to its parents.
#pragma once

#include "views/widgets/Control.h"

class QScrollBar;

class TVertScrollBox : public TControl {
  Q_OBJECT
 public:
  explicit TVertScrollBox(QWidget* parent = nullptr);

  TLayout* Content() const { return FContent; }
  void SetDisableMouseWheel(bool disable) { FDisableMouseWheel = disable; }
  bool DisableMouseWheel() const { return FDisableMouseWheel; }

  // How far the content is scrolled, in design units, and the most it can be.
  qreal ViewportPositionY() const { return FOffset; }
  qreal MaxViewportPositionY() const;
  void SetViewportPositionY(qreal offset);

  // Design units one wheel notch scrolls.
  static constexpr qreal WheelStep = 60;
  // The scroll bar's width in design units.
  static constexpr qreal BarWidth = 16;

  // Measures the content again (after controls were added to it or resized).
  void UpdateContent();

  void PlaceAligned(const QRectF& outer) override;

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  qreal ContentHeight() const;
  void PlaceBar();

  TLayout* FContent;
  QScrollBar* FBar;
  qreal FOffset = 0;
  bool FDisableMouseWheel = false;
  bool FUpdating = false;
};
