// The three-up viewer: two rows of three panes, one group per row, without
// scrolling.
#pragma once

#include <array>

#include "views/common/Frame.h"
#include "views/viewer/FrameViewer.h"
#include "views/widgets/FitScaledLayout.h"

class TFrameViewerThree : public TFrame {
  Q_OBJECT
 public:
  static constexpr int RowCount = 2;
  static constexpr int ColumnCount = 3;

  explicit TFrameViewerThree(QWidget* owner);

  TRectangle* Rectangle2;
  TFitScaledLayout* ScaledLayout1;
  std::array<TScaledLayout*, RowCount> ScaledLayoutContainer;  // ScaledLayout0Container, ScaledLayout1Container
  std::array<TFitScaledLayout*, RowCount> ScaledLayoutCenter;   // ScaledLayout0Center, ScaledLayout1Center
  // Layout00 ... Layout12 and FrameViewer00 ... FrameViewer12, by [row][column].
  std::array<std::array<TLayout*, ColumnCount>, RowCount> Layout;
  std::array<std::array<TFrameViewer*, ColumnCount>, RowCount> FrameViewer;
};
