#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/viewer/ViewerZoom.h"

namespace {

struct TWheelRow {
  const char* Name;
  std::vector<bool> Steps;  // true: wheel up
  std::vector<float> Requested;
  std::vector<float> Displayed;
};

// Each notch as the pane applies it: the new factor, then the group's call.
TEST(ViewerZoom, WheelStepsAndTheShownScale) {
  const TWheelRow rows[] = {
      {"up from the start, no upper limit", {true, true, true, true}, {1.5f, 2.0f, 2.5f, 3.0f}, {1.5f, 2.0f, 2.5f, 3.0f}},
      {"down to 0 and back up",
       {false, false, false, true, true, true},
       {0.5f, 0.0f, 0.0f, 0.5f, 1.0f, 1.5f},
       {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.5f}},
  };
  for (const TWheelRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TViewerZoom zoom;
    zoom.SetPaneSize(QSizeF(368, 552));
    for (std::size_t i = 0; i < row.Steps.size(); ++i) {
      zoom.SetRequested(TViewerZoom::AfterWheel(zoom.Requested(), row.Steps[i]));
      zoom.Fix();
      EXPECT_FLOAT_EQ(zoom.Requested(), row.Requested[i]) << "step " << i;
      EXPECT_FLOAT_EQ(zoom.Displayed(), row.Displayed[i]) << "step " << i;
      EXPECT_EQ(zoom.ExpandedSize(), QSizeF(368, 552) * row.Displayed[i]) << "step " << i;
    }
  }
}

TEST(ViewerZoom, ClampKeepsThePictureOverThePane) {
  struct TRow {
    const char* Name;
    float Scale;
    QPointF Asked;
    QPointF Expected;
  };
  const TRow rows[] = {
      {"2.0, far left and up", 2.0f, QPointF(-5000, -5000), QPointF(-368, -552)},
      {"2.0, far right and down", 2.0f, QPointF(5000, 5000), QPointF(0, 0)},
      {"2.0, inside", 2.0f, QPointF(-100, -200), QPointF(-100, -200)},
      {"1.0 allows no offset", 1.0f, QPointF(-40, -40), QPointF(0, 0)},
      {"3.0, mixed", 3.0f, QPointF(10, -2000), QPointF(0, -1104)},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TViewerZoom zoom;
    zoom.SetPaneSize(QSizeF(368, 552));
    zoom.SetRequested(row.Scale);
    zoom.SetPosition(row.Asked);
    zoom.Fix();
    EXPECT_EQ(zoom.Position(), row.Expected);
  }
}

// Dragged at 2.0, then the factor falls below 1: the picture is back at the
// top-left corner and can no longer be moved off the pane.
TEST(ViewerZoom, BelowOneShowsAtOneFromTheCorner) {
  TViewerZoom zoom;
  zoom.SetPaneSize(QSizeF(368, 552));
  zoom.SetRequested(2.0f);
  zoom.SetPosition(QPointF(-200, -300));
  zoom.SetRequested(0.5f);
  EXPECT_EQ(zoom.Position(), QPointF(0, 0));
  EXPECT_EQ(zoom.ExpandedSize(), QSizeF(368, 552));
  zoom.DragStep(QPointF(10, 10), QPointF(-300, -300));
  EXPECT_EQ(zoom.Position(), QPointF(0, 0));
}

// From 1.5 after a drag, a step down to 1.0 brings the picture back.
TEST(ViewerZoom, StepDownToOneAfterADragReturnsToTheCorner) {
  TViewerZoom zoom;
  zoom.SetPaneSize(QSizeF(368, 552));
  zoom.SetRequested(1.5f);
  zoom.SetPosition(QPointF(-150, -250));
  zoom.Fix();
  ASSERT_EQ(zoom.Position(), QPointF(-150, -250));
  zoom.SetRequested(TViewerZoom::AfterWheel(zoom.Requested(), false));
  zoom.Fix();
  EXPECT_EQ(zoom.Position(), QPointF(0, 0));
}

// The grabbed point of the picture comes to lie under a still pointer.
TEST(ViewerZoom, DragCatchesUpWithThePointer) {
  TViewerZoom zoom;
  zoom.SetPaneSize(QSizeF(368, 552));
  zoom.SetRequested(2.0f);
  const QPointF grab = zoom.ToPicture(QPointF(200, 300));  // (100, 150)
  EXPECT_EQ(grab, QPointF(100, 150));
  const QPointF pointer(150, 250);  // 50 left and up of the press
  for (int i = 0; i < 60; ++i) zoom.DragStep(grab, zoom.ToPicture(pointer));
  EXPECT_NEAR(zoom.Position().x(), -50, 1e-3);
  EXPECT_NEAR(zoom.Position().y(), -50, 1e-3);
  EXPECT_NEAR(zoom.ToPicture(pointer).x(), grab.x(), 1e-3);
}

}  // namespace
