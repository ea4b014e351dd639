// The one-up viewer: five rows of two panes, one group per row, in a
// vertically scrolling list. The wheel zooms inside a pane and scrolls the
// list everywhere else: the panes switch the list's wheel off while the
// pointer is over them (IViewerWheelControl).
#pragma once

#include <array>

#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "views/viewer/FrameViewer.h"
#include "views/widgets/FitScaledLayout.h"
#include "views/widgets/VertScrollBox.h"

class TFrameViewerOne : public TFrame, public IViewerWheelControl {
  Q_OBJECT
 public:
  static constexpr int RowCount = 5;
  static constexpr int ColumnCount = 2;

  explicit TFrameViewerOne(QWidget* owner);
  ~TFrameViewerOne() override;

  TRectangle* Rectangle1;
  TFitScaledLayout* ScaledLayout2;
  TVertScrollBox* VertScrollBox;
  std::array<TScaledLayout*, RowCount> ScaledLayoutContainer;  // ScaledLayout0Container ...
  std::array<TFitScaledLayout*, RowCount> ScaledLayoutCenter;   // ScaledLayout0Center ...
  // Layout00 ... Layout41 and FrameViewer00 ... FrameViewer41, by [row][column].
  std::array<std::array<TLayout*, ColumnCount>, RowCount> Layout;
  std::array<std::array<TFrameViewer*, ColumnCount>, RowCount> FrameViewer;

  // IViewerWheelControl: True keeps the list still under the wheel.
  void SetWheelDisable(bool IsEnable) override;
};
