// The two movable guide lines of the shooting view and of the viewer panes:
// a vertical line at x and a horizontal line at y over a surface that takes
// the pointer.
#pragma once

#include <Qt>

// The pointer shape near the lines: within 10 units of a line (more than 10
// before it, at most 10 after it) the line can be dragged. Both lines: the
// diagonal shape; the vertical line: the horizontal resize shape; the
// horizontal line: the vertical resize shape; neither: the default.
Qt::CursorShape GuideLineCursor(qreal X, qreal Y, qreal lineX, qreal lineY);

// Which lines a press with the pointer shape `shape` drags.
struct TGuideLineDrag {
  bool Vertical = false;    // the line at x
  bool Horizontal = false;  // the line at y
};
TGuideLineDrag GuideLineDragFor(Qt::CursorShape shape);
