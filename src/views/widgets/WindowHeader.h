// The title bar of a borderless window: the dark band that drags the window,
// the logo at the left, and the minimise and close buttons at the right.
// The windows that carry one keep the controls under their own names and
// attach their own handlers.
#pragma once

#include <QPoint>
#include <QWidget>

#include "views/widgets/Control.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"

struct TWindowHeader {
  TLayout* LayoutHeader;
  TRectangle* RectangleHeaderBG;
  TLayout* LayoutLogo;
  TImage* ImageLogo;
  TLayout* LayoutBtnClose;
  TTavImageButton* TavImageButtonClose;
  TLayout* LayoutBtnMinimize;
  TTavImageButton* TavImageButtonMinimize;
};

// Builds the title bar, `width` units wide and 39 high, aligned to the top of
// `parent`.
TWindowHeader MakeWindowHeader(TControl* parent, qreal width);

// Moves a window with the pointer while a header press lasts: through the
// window system where it offers a move, else by following the pointer. A
// minimised, maximised or full-screen window does not move.
class TWindowDrag {
 public:
  explicit TWindowDrag(QWidget* window) : FWindow(window) {}
  void Begin();
  void Follow();
  void End() { FDragging = false; }
  // A pointer-following drag is under way.
  bool Dragging() const { return FDragging; }

 private:
  QWidget* FWindow;
  bool FDragging = false;
  QPoint FOffset;
};
